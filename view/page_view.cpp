#include "view/page_view.h"

#include "settings/persisted_state.h"
#include "view/busy_dialog.h"
#include "view/link_peek_popup.h"
#include "view/page_bridge.h"
#include "view/page_find_bar.h"
#include "view/page_scheme.h"
#include "view/pinpoint_dlg.h"
#include "view/view_page.h"
#include "view/word_marks.h"

#include <QApplication>
#include <QDesktopServices>
#include <QVBoxLayout>
#include <QWebEngineLoadingInfo>
#include <QWebEngineView>

#include <utility>

namespace velto {

namespace {

constexpr ReportOrigin kShowOrigin{"ページの表示", "C2ndView::_show()"};

} // namespace

C2ndView::C2ndView(CVeltoDoc& doc, QWidget* parent) : QWidget(parent), doc_(doc)
{
    // Pages name their pictures by the page scheme, which serves the image folder.
    doc_.set_image_url(page_image_url());
    scheme_ = new PageSchemeHandler(doc_.image_dir());
    profile_ = make_page_profile(scheme_, this);
    page_ = new ViewPage(profile_);
    bridge_ = page_->bridge();

    browser_ = new QWebEngineView(this);
    browser_->installEventFilter(this);
    browser_->setPage(page_);
    browser_->setAcceptDrops(false);
    browser_->setContextMenuPolicy(Qt::CustomContextMenu);
    for (QObject* child : browser_->children())
        guard_browser_child(child);

    marks_ = new WordMarks(bridge_, this);

    // The find bar sits under the page, never over its text.
    find_bar_ = new PageFindBar(*this, this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(browser_, 1);
    layout->addWidget(find_bar_);
    open_external_ = [](const QUrl& url) { QDesktopServices::openUrl(url); };
    build_context_menu();

    connect(page_, &QWebEnginePage::linkHovered, this, [this](const QString& url) {
        emit statusTextChanged(QString::fromStdString(_set_status_for_url(url.toStdString())));
    });
    connect(page_, &QWebEnginePage::loadingChanged, this,
            [this](const QWebEngineLoadingInfo& info) { page_load_changed(info); });
    connect(page_, &ViewPage::internalLinkRequested, this, [this](const QString& id) { follow_link(id.toStdString()); });
    // Shift+click: the link's id was reported with the click just before.
    connect(page_, &ViewPage::internalLinkBelowRequested, this, [this](const QString& id) {
        emit openBelowRequested(id, QString::fromStdString(pinpoint_source_key_));
    });
    connect(page_, &ViewPage::comparisonLinkRequested, this,
            [this](const QUrl& url) { emit comparisonRequested(url.toString()); });
    connect(page_, &ViewPage::externalLinkRequested, this, [this](const QUrl& url) {
        if (open_external_)
            open_external_(url);
    });
    connect(page_, &QWebEnginePage::scrollPositionChanged, this, [this] {
        // Until the page is there, a change may still be the page before's.
        if (!loading_)
            assumed_position_.reset();
        close_peek(); // the link has moved away from its preview
    });
    connect(page_, &QWebEnginePage::selectionChanged, this, &C2ndView::commandStateChanged);
    connect(marks_, &WordMarks::findStringChanged, this, &C2ndView::commandStateChanged);
    connect(find_bar_, &PageFindBar::textFound, this, [this](const QString& text) {
        last_find_text_ = text.toStdString();
        emit findTextChanged(text);
    });
    connect(browser_, &QWidget::customContextMenuRequested, this, &C2ndView::request_context_menu);
    connect(bridge_, &PageBridge::focused, this, &C2ndView::page_focused);
    connect(this, &C2ndView::pageLoaded, this, &C2ndView::reveal_pending);
    connect(bridge_, &PageBridge::anchorClicked, this, &C2ndView::page_clicked);
    connect(bridge_, &PageBridge::mousePressedInPage, this, &C2ndView::mouse_pressed);
    connect(bridge_, &PageBridge::mouseMovedInPage, this, &C2ndView::mouse_moved);
    connect(bridge_, &PageBridge::mouseReleasedInPage, this, &C2ndView::mouse_released);
    connect(bridge_, &PageBridge::contextMenuAskedInPage, this, &C2ndView::context_menu_asked);
    connect(bridge_, &PageBridge::linkEnteredInPage, this, &C2ndView::link_entered);
    connect(bridge_, &PageBridge::linkLeftInPage, this, &C2ndView::link_left);
}

C2ndView::~C2ndView()
{
    if (doc_.page_view() == this)
        doc_.set_page_view(nullptr);
    _restore_page_setup();
    // The browser goes before its page, the page before its profile.
    delete peek_popup_;
    peek_popup_ = nullptr;
    delete browser_;
    browser_ = nullptr;
    delete page_;
    page_ = nullptr;
}

void C2ndView::register_url_scheme() { register_page_scheme(); }

QWebEnginePage* C2ndView::page() const { return page_; }

void C2ndView::set_own_history()
{
    if (!own_history_)
        own_history_ = std::make_unique<NavigationHistory>();
}

bool C2ndView::has_focus_within() const
{
    const QWidget* focus = QApplication::focusWidget();
    return focus && (focus == this || isAncestorOf(focus));
}

void C2ndView::OnInitialUpdate(const std::string& page_shown)
{
    if (!is_second_view())
        doc_.set_page_view(this);
    if (!pinpoint_dlg_) {
        pinpoint_dlg_ = new CPinPointDlg(this);
        pinpoint_dlg_->bind(&doc_);
        connect(pinpoint_dlg_, &CPinPointDlg::chosen, this, [this](const QString& key, const QString& choice) {
            pinpoint_chosen(key.toStdString(), choice.toStdString());
        });
        connect(pinpoint_dlg_, &CPinPointDlg::pageAsked, this, [this](const QString& id) {
            if (_show(id.toStdString()) && pane_ && synchronisation_active())
                pane_->_sync(current_id_);
        });
        connect(pinpoint_dlg_, &CPinPointDlg::openBelow, this, &C2ndView::openBelowRequested);
    }
    if (is_second_view()) {
        if (!page_shown.empty())
            _show(page_shown);
        emit commandStateChanged();
        return;
    }

    // The browser stays empty until the first page, which is its first
    // navigation: a blank page before it would only hold the first page up.
    const std::string start = page_shown.empty() ? start_page_id(doc_.settings(), doc_.display()) : page_shown;
    bool shown = _show(start);
    // A page remembered from an earlier run may be gone from the database; the
    // failure has been reported, and the reader starts on the cover instead.
    if (!shown && start != kCoverPageId)
        shown = _show(std::string(kCoverPageId));
    if (shown) {
        if (pane_ && synchronisation_active())
            pane_->_sync(current_id_);
        _focus_page();
    }
    _save_page_setup();
    emit commandStateChanged();
}

bool C2ndView::_show(const std::string& id)
{
    // A rebuild request holds for this call only, whatever becomes of it.
    const bool forced = std::exchange(forced_rebuild_, false);
    if (id.size() != kPageIdLength)
        return false;
    close_peek();

    const bool abbreviated = doc_._is_abbreviated(id);
    bool use_cache = true;
    bool rebuild_here = forced;
    if (abbreviated) {
        if (from_link_) {
            // The full text of a large article: a repeated request is dropped once.
            if (id == last_link_id_) {
                last_link_id_.clear();
                return false;
            }
            // Its own full-text link rebuilds the page shown; a link from
            // another page is an ordinary navigation.
            if (id == last_shown_id_)
                rebuild_here = true;
        } else {
            // Composed afresh in short form: the cache may hold the full text.
            use_cache = false;
        }
    }
    if (!rebuild_here && id == last_shown_id_)
        return false;

    const bool full_text = abbreviated && from_link();
    if (full_text)
        start_busy();

    std::string html;
    bool from_cache = false;
    if (use_cache) {
        if (const auto it = cache_.find(id); it != cache_.end()) {
            html = it->second;
            from_cache = true;
        }
    }
    if (!from_cache && !doc_._html_build(id, from_link(), html)) {
        stop_busy();
        search_highlight_pending_ = false; // meant for a page that did not come
        return false;
    }

    int left_x = 0, left_y = 0;
    _scroll_position(left_x, left_y);

    // The engine begins the navigation while the page file is written: it
    // asks the scheme for the page, which answers on this thread, only once
    // this call is over, and the file is there by then.
    const QUrl url = scheme_->publish(id, {});
    page_->load(url);
    std::string file;
    if (!doc_._write_page(id, html, file) || !scheme_->attach(url, file)) {
        // The page shown stays; a page still loading is asked for again.
        scheme_->withdraw(url);
        if (loading_)
            page_->load(loading_url_);
        else
            page_->triggerAction(QWebEnginePage::Stop);
        stop_busy();
        search_highlight_pending_ = false;
        report_failure("ページのファイルを作業フォルダに書き込むことができませんでした。\n\n");
        return false;
    }
    loading_url_ = url;
    loading_ = true;
    load_retried_ = false;
    assumed_position_ = QPoint(0, 0); // a page starts at its top

    // The short form of a large article never goes into the cache, so that its
    // full-text link finds the full text or composes it.
    const bool short_form = !from_link() && doc_._is_abbreviated(id);
    const std::string left_id = last_shown_id_;
    if (abbreviated && from_link_) {
        last_link_id_ = id;
        last_shown_id_ = id;
    }
    if (use_cache && !from_cache && !short_form)
        cache_[id] = std::move(html);
    current_id_ = id;
    shown_in_full_ = from_link();
    marks_->page_replaced();
    // A page put into the browser is a new document: its links need their colours.
    links_coloured_ = false;

    if (rebuild_here) {
        emit pageShown(QString::fromStdString(id));
        emit commandStateChanged();
        return true;
    }
    doc_._status_caption(id);
    const HistoryEntry left{left_id, left_x, left_y};
    if (own_history_)
        own_history_->_history_add(left, doc_.pages());
    else
        doc_._history_add(left);
    last_shown_id_ = id;
    if (last_link_id_ != id)
        last_link_id_.clear();
    _pin_image_gone();
    emit pageShown(QString::fromStdString(id));
    emit commandStateChanged();
    return true;
}

// The wait window is made when it is first needed: at start-up the page comes first.
void C2ndView::start_busy()
{
    if (!busy_)
        busy_ = new BusyDialog(this);
    busy_->start();
}

void C2ndView::stop_busy()
{
    if (busy_)
        busy_->stop();
}

void C2ndView::_focus_page() { browser_->setFocus(Qt::OtherFocusReason); }

void C2ndView::page_load_changed(const QWebEngineLoadingInfo& info)
{
    const QUrl url = info.url();
    if (!is_page_scheme_url(url) || url.path() != loading_url_.path())
        return; // an earlier page, or the blank page before the first
    const auto status = info.status();
    if (status == QWebEngineLoadingInfo::LoadStartedStatus)
        return;
    // The engine may drop a load that starts while it is still ending a
    // navigation of its own (a link it was told not to follow): stopped, or
    // failed without an error. The page file is still published: once more.
    const bool dropped = status == QWebEngineLoadingInfo::LoadStoppedStatus ||
                         (status == QWebEngineLoadingInfo::LoadFailedStatus &&
                          info.errorDomain() == QWebEngineLoadingInfo::NoErrorDomain);
    if (dropped && !load_retried_) {
        load_retried_ = true;
        page_->load(loading_url_);
        return;
    }
    loading_ = false;
    stop_busy();
    if (status == QWebEngineLoadingInfo::LoadSucceededStatus) {
        _after_load();
        emit pageLoaded();
    } else if (status == QWebEngineLoadingInfo::LoadFailedStatus) {
        report_failure("ページを読み込むことができませんでした。\n\n");
    }
}

void C2ndView::page_focused(const QString& address)
{
    // Only the page shown, once it is there: a page on its way out must not
    // take the scroll position meant for the next one.
    if (!loading_ && QUrl(address).path() == loading_url_.path())
        _after_load();
}

bool C2ndView::open_link(const std::string& id, const std::string& anchor_id)
{
    pinpoint_source_key_ = anchor_id;
    return follow_link(id);
}

bool C2ndView::follow_link(const std::string& decoded)
{
    if (decoded.size() == kSentenceIdLength) {
        // A citation of a paragraph or item: its article, scrolled there and
        // marked; a target the reader chose for the link (狙撃) wins.
        const std::string chosen = doc_.toggles().PinPoint ? doc_._pinpoint_target(pinpoint_source_key_) : std::string();
        const std::string& place = chosen.size() == kSentenceIdLength ? chosen : decoded;
        const bool shown = show_at(place.substr(0, kPageIdLength), place, provision_scope(place));
        emit linkFollowed(QString::fromStdString(decoded.substr(0, kPageIdLength)), shown);
        return shown;
    }
    from_link_ = true;
    std::string id = decoded;
    std::string mark;
    if (id.size() == kPageIdLength)
        mark = _resolve_pinpoint(pinpoint_source_key_, id);
    const bool shown = _show(id);
    if (shown) {
        if (!mark.empty())
            _request_mark(mark);
        if (pane_ && synchronisation_active())
            pane_->_sync(id);
    } else if (!mark.empty() && id == current_id_) {
        // A target on the page shown: the reader goes there all the same.
        _request_mark(mark);
    }
    from_link_ = false;
    emit linkFollowed(QString::fromStdString(id), shown);
    return shown;
}

void C2ndView::report_failure(std::string_view message) const
{
    report(doc_.reporter(), kShowOrigin, ReportVariant::Plain, message);
}

} // namespace velto
