#include "view/page_view.h"

#include "core/persisted_state.h"
#include "view/busy_dialog.h"
#include "view/page_bridge.h"
#include "view/page_scheme.h"

#include <QChildEvent>
#include <QDesktopServices>
#include <QFile>
#include <QKeyEvent>
#include <QMenu>
#include <QVBoxLayout>
#include <QWebChannel>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include <utility>

// Resources of this library (the busy animation and the page script); a static
// library has to register them itself, once.
static void init_view_resources()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(view);
        return true;
    }();
    (void)registered;
}

namespace velto {

namespace {

constexpr std::size_t kPageIdLength = 15;
constexpr ReportOrigin kShowOrigin{"ページの表示", "C2ndView::_show()"};

// Scripts of the view run in their own world, apart from the page's scripts.
constexpr quint32 kViewWorld = QWebEngineScript::ApplicationWorld;

QString resource_text(const QString& name)
{
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

// Keys with which the browser engine would act on the page by itself (select
// all, copy, history, reload, zoom and the like). The program defines its own
// shortcuts; plain keys for scrolling and moving the focus stay with the page.
bool engine_shortcut(const QKeyEvent* key)
{
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return true;
    const int k = key->key();
    if (k >= Qt::Key_F1 && k <= Qt::Key_F35)
        return true;
    switch (k) {
    case Qt::Key_Back:
    case Qt::Key_Forward:
    case Qt::Key_Refresh:
    case Qt::Key_Reload:
    case Qt::Key_Stop:
    case Qt::Key_Search:
    case Qt::Key_Favorites:
    case Qt::Key_HomePage:
    case Qt::Key_Print:
    case Qt::Key_ZoomIn:
    case Qt::Key_ZoomOut:
        return true;
    default:
        return false;
    }
}

} // namespace

// Stands in for the window a link with a target frame asks for: it is never
// shown, hands the link to the view as if it had been clicked in the page,
// and goes away.
class WindowCatcher : public QWebEnginePage {
public:
    WindowCatcher(C2ndView* view, QWebEngineProfile* profile, QObject* parent)
        : QWebEnginePage(profile, parent), view_(view)
    {
    }

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType, bool main_frame) override
    {
        if (main_frame && !used_) {
            used_ = true;
            view_->navigation_request(url, NavigationTypeLinkClicked, true);
            deleteLater();
        }
        return false;
    }

private:
    C2ndView* view_;
    bool used_ = false;
};

// The browser page of the view: asks the view about every navigation. Pages
// open no windows; scripts may not open any at all, and a link meant for
// another window is followed as an ordinary link.
class ViewPage : public QWebEnginePage {
public:
    ViewPage(C2ndView* view, QWebEngineProfile* profile) : QWebEnginePage(profile, nullptr), view_(view) {}

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool main_frame) override
    {
        return view_->navigation_request(url, type, main_frame);
    }
    QWebEnginePage* createWindow(WebWindowType) override { return new WindowCatcher(view_, profile(), this); }
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString&, int, const QString&) override {}

private:
    C2ndView* view_;
};

void C2ndView::register_url_scheme() { register_page_scheme(); }

C2ndView::C2ndView(CVeltoDoc& doc, QWidget* parent) : QWidget(parent), doc_(doc)
{
    init_view_resources();

    // A private profile that keeps nothing on disk.
    profile_ = new QWebEngineProfile(this);
    profile_->setSpellCheckEnabled(false);
    scheme_ = new PageSchemeHandler(profile_);
    profile_->installUrlSchemeHandler(kPageScheme, scheme_);
    interceptor_ = new LocalOnlyInterceptor(profile_);
    profile_->setUrlRequestInterceptor(interceptor_);

    page_ = new ViewPage(this, profile_);
    QWebEngineSettings* settings = page_->settings();
    settings->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    settings->setAttribute(QWebEngineSettings::JavascriptCanAccessClipboard, false);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
    settings->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    settings->setAttribute(QWebEngineSettings::FullScreenSupportEnabled, false);
    settings->setAttribute(QWebEngineSettings::ErrorPageEnabled, false);
    settings->setAttribute(QWebEngineSettings::NavigateOnDropEnabled, false);
    settings->setAttribute(QWebEngineSettings::FocusOnNavigationEnabled, false);

    bridge_ = new PageBridge(this);
    channel_ = new QWebChannel(page_);
    channel_->registerObject(QStringLiteral("host"), bridge_);
    page_->setWebChannel(channel_, kViewWorld);
    QWebEngineScript script;
    script.setName(QStringLiteral("velto-page"));
    script.setSourceCode(resource_text(QStringLiteral(":/qtwebchannel/qwebchannel.js")) + QLatin1Char('\n') +
                         resource_text(QStringLiteral(":/velto/page_script.js")));
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(kViewWorld);
    script.setRunsOnSubFrames(false);
    page_->scripts().insert(script);

    browser_ = new QWebEngineView(this);
    browser_->installEventFilter(this);
    browser_->setPage(page_);
    browser_->setAcceptDrops(false);
    browser_->setContextMenuPolicy(Qt::CustomContextMenu);
    for (QObject* child : browser_->children())
        guard_browser_child(child);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);

    busy_ = new BusyDialog(this);
    open_external_ = [](const QUrl& url) { QDesktopServices::openUrl(url); };
    build_context_menu();

    connect(page_, &QWebEnginePage::linkHovered, this, [this](const QString& url) {
        emit statusTextChanged(QString::fromStdString(_set_status_for_url(url.toStdString())));
    });
    connect(page_, &QWebEnginePage::loadingChanged, this,
            [this](const QWebEngineLoadingInfo& info) { page_load_changed(info.url(), info.status()); });
    connect(browser_, &QWidget::customContextMenuRequested, this, &C2ndView::request_context_menu);
    connect(bridge_, &PageBridge::focused, this, &C2ndView::page_focused);
    connect(bridge_, &PageBridge::anchorClicked, this,
            [this](const QString& id) { pinpoint_source_key_ = id.toStdString(); });
}

C2ndView::~C2ndView()
{
    if (doc_.page_view() == this)
        doc_.set_page_view(nullptr);
    // The browser goes before its page, the page before its profile.
    delete browser_;
    browser_ = nullptr;
    delete page_;
    page_ = nullptr;
}

QWebEnginePage* C2ndView::page() const { return page_; }

void C2ndView::OnInitialUpdate()
{
    doc_.set_page_view(this);
    page_->load(QUrl(QStringLiteral("about:blank")));

    const std::string start = start_page_id(doc_.settings(), doc_.display());
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
    emit commandStateChanged();
}

bool C2ndView::_show(const std::string& id)
{
    // A rebuild request holds for this call only, whatever becomes of it.
    const bool forced = std::exchange(forced_rebuild_, false);
    if (id.size() != kPageIdLength)
        return false;

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
        busy_->start();

    std::string html;
    bool from_cache = false;
    if (use_cache) {
        if (const auto it = cache_.find(id); it != cache_.end()) {
            html = it->second;
            from_cache = true;
        }
    }
    if (!from_cache && !doc_._html_build(id, html)) {
        busy_->stop();
        return false;
    }

    int left_x = 0, left_y = 0;
    _scroll_position(left_x, left_y);

    std::string file;
    if (!doc_._write_page(id, html, file)) {
        busy_->stop();
        report_failure("ページのファイルを作業フォルダに書き込むことができませんでした。\n\n");
        return false;
    }
    loading_url_ = scheme_->publish(id, file);
    loading_ = true;
    page_->load(loading_url_);

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
    find_string_.clear();

    if (rebuild_here) {
        emit commandStateChanged();
        return true;
    }
    doc_._status_caption(id);
    doc_._history_add(HistoryEntry{left_id, left_x, left_y});
    last_shown_id_ = id;
    if (last_link_id_ != id)
        last_link_id_.clear();
    if (pane_)
        pane_->_focus_current();
    _pin_image_gone();
    emit commandStateChanged();
    return true;
}

void C2ndView::_focus_page() { browser_->setFocus(Qt::OtherFocusReason); }

bool C2ndView::_scroll_position(int& x, int& y) const
{
    x = y = 0;
    if (current_id_.empty())
        return false;
    const QPointF position = page_->scrollPosition();
    x = qRound(position.x());
    y = qRound(position.y());
    return true;
}

void C2ndView::_scroll_to(int x, int y)
{
    if (x == 0 && y == 0)
        return;
    page_->runJavaScript(QStringLiteral("window.scrollTo(%1, %2);").arg(x).arg(y), kViewWorld);
}

void C2ndView::remember_scroll()
{
    int x = 0, y = 0;
    _scroll_position(x, y);
    set_pending_scroll(x, y);
}

void C2ndView::set_pending_scroll(int x, int y)
{
    pending_x_ = x;
    pending_y_ = y;
}

void C2ndView::_after_load()
{
    if (search_highlight_pending_ && pane_ && pane_->current_tab() == 2) {
        search_highlight_pending_ = false;
        pane_->remark();
    } else if (pending_x_ != 0 || pending_y_ != 0) {
        const int x = std::exchange(pending_x_, 0);
        const int y = std::exchange(pending_y_, 0);
        _scroll_to(x, y);
        _place_pending_mark();
    }
    _colour_pinpoint_links();
}

void C2ndView::page_load_changed(const QUrl& url, int status)
{
    if (url.scheme() != QLatin1String(kPageScheme) || url.path() != loading_url_.path())
        return; // an earlier page, or the blank page before the first
    if (status == QWebEngineLoadingInfo::LoadStartedStatus)
        return;
    loading_ = false;
    busy_->stop();
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

bool C2ndView::navigation_request(const QUrl& url, int type, bool main_frame)
{
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String(kPageScheme) || url.toString() == QLatin1String("about:blank"))
        return true;

    const InternalLink link = decode_internal_url(url.toString().toStdString());
    if (link.internal) {
        // The browser's own navigation is cancelled; the page is shown once the
        // browser's event is over.
        QMetaObject::invokeMethod(
            this, [this, id = link.id] { follow_link(id); }, Qt::QueuedConnection);
        return false;
    }
    if (!main_frame)
        return scheme == QLatin1String("file") || scheme == QLatin1String("data") || scheme == QLatin1String("about");
    // Web pages and mail addresses are never opened inside the page view.
    const bool web = scheme == QLatin1String("http") || scheme == QLatin1String("https") ||
                     scheme == QLatin1String("mailto");
    if (web && type == QWebEnginePage::NavigationTypeLinkClicked && open_external_)
        open_external_(url);
    return false;
}

void C2ndView::follow_link(const std::string& decoded)
{
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
    }
    from_link_ = false;
    emit linkFollowed(QString::fromStdString(id), shown);
}

bool C2ndView::command_enabled(int id) const
{
    switch (id) {
    case kBack: return doc_.history().can_go_back(current_id_);
    case kForward: return doc_.history().can_go_forward(current_id_);
    case kPrevious: return doc_._can_go_prev();
    case kNext: return doc_._can_go_next();
    case kSynchro: {
        const int tab = pane_ ? pane_->current_tab() : 0;
        return tab != 2 && tab != 3;
    }
    case kRefer:
    case kBrachet: return true;
    default: return false;
    }
}

bool C2ndView::command_checked(int id) const
{
    const ViewToggles& t = doc_.toggles();
    switch (id) {
    case kSynchro: return command_enabled(kSynchro) && t.Synchro != 0;
    case kRefer: return t.Refer != 0;
    case kBrachet: return t.Brachet != 0;
    default: return false;
    }
}

void C2ndView::run_command(int id)
{
    switch (id) {
    case kBack:
    case kForward:
    case kPrevious:
    case kNext:
        history_command(id);
        break;
    case kSynchro: {
        int& synchro = doc_.toggles().Synchro;
        synchro = synchro ? 0 : 1;
        if (synchro && pane_ && current_id_.size() == kPageIdLength && synchronisation_active())
            pane_->_sync(current_id_);
        break;
    }
    case kRefer:
    case kBrachet:
        toggle_and_rebuild(id);
        break;
    default:
        return;
    }
    emit commandStateChanged();
}

void C2ndView::history_command(int id)
{
    const std::string current = current_id_;
    if (current.size() != kPageIdLength)
        return;
    NavigationHistory& history = doc_.history();
    HistoryEntry target;
    switch (id) {
    case kPrevious: target = doc_._prev_page(current); break;
    case kNext: target = doc_._next_page(current); break;
    case kBack:
        if (!history.step_back(target))
            return;
        break;
    case kForward:
        if (!history.step_forward(target))
            return;
        break;
    default: return;
    }

    bool shown = false;
    if (target.id.size() == kPageIdLength) {
        set_pending_scroll(target.x, target.y);
        shown = _show(target.id);
    }
    if (!shown) {
        // Nothing moved: the history stays as it was and no position waits.
        if (id == kBack)
            history.undo_step_back(target);
        else if (id == kForward)
            history.undo_step_forward(target);
        set_pending_scroll(0, 0);
        return;
    }
    _focus_page();
    if (pane_) {
        if (synchronisation_active())
            pane_->_sync(target.id);
        pane_->_focus_current();
    }
}

void C2ndView::toggle_and_rebuild(int id)
{
    ViewToggles& t = doc_.toggles();
    int& value = id == kRefer ? t.Refer : t.Brachet;
    value = value ? 0 : 1;
    // Bracket colours do not move the text: the reader stays where he was.
    rebuild(id == kBrachet);
}

void C2ndView::rebuild_current_page()
{
    rebuild(false);
    emit commandStateChanged();
}

void C2ndView::rebuild(bool keep_scroll)
{
    if (keep_scroll)
        remember_scroll();
    const std::string id = current_id_;
    if (id.empty())
        return;
    set_forced_rebuild();
    clear_page_cache();
    // A large article shown in full stays in full.
    rebuild_full_ = shown_in_full_;
    _show(id);
    rebuild_full_ = false;
    _link_colouring_outdated();
    _focus_page();
}

void C2ndView::build_context_menu()
{
    menu_ = new QMenu(this);
    const std::pair<int, const char*> items[] = {
        {kPrevious, "前へ"},
        {kNext, "次へ"},
        {kBack, "戻る"},
        {kForward, "進む"},
        {0, nullptr},
        {kFindInPage, "このページ内の検索（Ctrl+F）"},
        {kClearMarks, "反転マークのクリア"},
        {kCopy, "ぷちコピー（Ctrl+C）"},
    };
    for (const auto& [id, text] : items) {
        if (!text) {
            menu_->addSeparator();
            continue;
        }
        QAction* action = menu_->addAction(QString::fromUtf8(text));
        action->setData(id);
        connect(action, &QAction::triggered, this, [this, id = id] {
            if (id == kBack || id == kForward || id == kPrevious || id == kNext)
                run_command(id);
            else
                emit commandRequested(id);
        });
    }
}

void C2ndView::request_context_menu(const QPoint& position)
{
    const QPoint screen = browser_->mapToGlobal(position);
    const double zoom = page_->zoomFactor() > 0 ? page_->zoomFactor() : 1.0;
    const QString query = QStringLiteral("window.veltoPage ? veltoPage.anchorAt(%1, %2) : null")
                              .arg(position.x() / zoom)
                              .arg(position.y() / zoom);
    QPointer<C2ndView> self(this);
    page_->runJavaScript(query, kViewWorld, [self, screen](const QVariant& result) {
        if (!self)
            return;
        const QVariantMap found = result.toMap();
        PageAnchor anchor;
        anchor.is_anchor = found.value(QStringLiteral("anchor")).toBool();
        anchor.href = found.value(QStringLiteral("href")).toString().toStdString();
        anchor.id = found.value(QStringLiteral("id")).toString().toStdString();
        self->_context_menu(screen, anchor);
    });
}

void C2ndView::_context_menu(const QPoint& screen, const PageAnchor& anchor)
{
    if (gesture_direction_ != 0)
        return;
    if (anchor.is_anchor) {
        const InternalLink link = decode_internal_url(anchor.href);
        if (!link.internal || link.id.empty())
            return;
        if (doc_.toggles().PinPoint && _open_pinpoint_dialog(anchor.id, link.id, screen) != 2)
            return;
    }
    for (QAction* action : menu_->actions()) {
        const int id = action->data().toInt();
        switch (id) {
        case kPrevious:
        case kNext:
        case kBack:
        case kForward: action->setEnabled(command_enabled(id)); break;
        case kClearMarks: action->setEnabled(!find_string_.empty()); break;
        case kCopy: action->setEnabled(page_->hasSelection()); break;
        default: break;
        }
    }
    menu_->popup(screen);
}

bool C2ndView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == browser_ && event->type() == QEvent::ChildAdded)
        guard_browser_child(static_cast<QChildEvent*>(event)->child());
    switch (event->type()) {
    case QEvent::ShortcutOverride:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        if (engine_shortcut(static_cast<QKeyEvent*>(event))) {
            // Not for the engine: the program's own shortcuts may take the key.
            event->ignore();
            return true;
        }
        break;
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        // No files are dropped into the page view.
        event->ignore();
        return true;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void C2ndView::guard_browser_child(QObject* child)
{
    if (auto* widget = qobject_cast<QWidget*>(child)) {
        widget->installEventFilter(this);
        widget->setAcceptDrops(false);
    }
}

void C2ndView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    _remove_pin_image();
}

void C2ndView::report_failure(std::string_view message) const
{
    report(doc_.reporter(), kShowOrigin, ReportVariant::Plain, message);
}

std::string C2ndView::_resolve_pinpoint(const std::string&, std::string&) { return {}; }
void C2ndView::_request_mark(const std::string&) {}
void C2ndView::_place_pending_mark() {}
void C2ndView::_colour_pinpoint_links() {}
void C2ndView::_pin_image_gone() {}
void C2ndView::_link_colouring_outdated() {}
void C2ndView::_remove_pin_image() {}
int C2ndView::_open_pinpoint_dialog(const std::string&, const std::string&, const QPoint&) { return 2; }

} // namespace velto
