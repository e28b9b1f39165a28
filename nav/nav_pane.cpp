#include "nav/nav_pane.h"

#include "compose/velto_doc.h"
#include "settings/persisted_state.h"
#include "nav/combo_lst.h"
#include "nav/combo_sch.h"
#include "nav/control_ids.h"
#include "nav/list_bmk.h"
#include "nav/list_lst.h"
#include "nav/list_sch.h"
#include "nav/nav_keys.h"
#include "nav/pane_layout.h"
#include "nav/search_wait_window.h"
#include "nav/tree_ctrl.h"

#include <QApplication>
#include <QCheckBox>
#include <QScopeGuard>
#include <QPushButton>
#include <QStyleOptionTabWidgetFrame>
#include <QStylePainter>
#include <QTabBar>

#include <algorithm>
#include <utility>

namespace velto {

namespace {

constexpr std::array<const char*, kTabCount> kTabTexts{"目次", "リスト", "全文検索", "しおり"};

bool valid_tab(int tab)
{
    return tab >= 0 && tab < kTabCount;
}

} // namespace

C1stView::C1stView(CVeltoDoc& doc, QWidget* parent) : QWidget(parent), doc_(doc)
{
    const SettingsStore& settings = doc_.settings();
    current_tab_ = read_int_or(settings, kSectionSettings, kValueTabPage, kDefaultTabPage);
    if (!valid_tab(current_tab_))
        current_tab_ = kDefaultTabPage;
    highlight_ = read_int_or(settings, kSectionSettings, kValueSearchEmph, kDefaultSearchEmph) != 0 ? 1 : 0;

    create_controls();
}

C1stView::~C1stView()
{
    SettingsStore& settings = doc_.settings();
    settings.write_int(kSectionSettings, kValueTabPage, current_tab_);
    settings.write_int(kSectionSettings, kValueSearchEmph, highlight_);
    delete wait_window_.data();
    search_list_->pane_command = nullptr;
    search_list_->wait_command = nullptr;
    // The controls outlive this part of the pane; they must not call back into it.
    for (QObject* child : children())
        child->disconnect(this);
}

void C1stView::create_controls()
{
    tabs_ = new QTabBar(this);
    tabs_->setObjectName(QStringLiteral("tab_strip"));
    tabs_->setExpanding(false);
    tabs_->setDrawBase(false);
    for (const char* text : kTabTexts)
        tabs_->addTab(QString::fromUtf8(text));
    tabs_->setCurrentIndex(current_tab_);

    tree_ = new VTreeCtrl(this);
    article_list_ = new VListLst(this);
    search_list_ = new VListSch(this);
    bookmark_list_ = new VListBmk(this);
    law_selector_ = new VComboLst(this);
    search_entry_ = new VComboSch(this);
    search_button_ = new QPushButton(QStringLiteral("実行"), this);
    add_button_ = new QPushButton(QStringLiteral("追加"), this);
    delete_button_ = new QPushButton(QStringLiteral("削除"), this);
    highlight_box_ = new QCheckBox(QStringLiteral("強調表示"), this);
    highlight_box_->setChecked(highlight_ != 0);

    search_button_->setObjectName(QStringLiteral("search_button"));
    add_button_->setObjectName(QStringLiteral("add_bookmark"));
    delete_button_->setObjectName(QStringLiteral("delete_bookmark"));
    highlight_box_->setObjectName(QStringLiteral("highlight_box"));

    // Nothing but the tab strip shows until a tab has been shown.
    for (int id : {kIdContentsTree, kIdArticleList, kIdSearchList, kIdBookmarkList, kIdLawSelector, kIdSearchEntry,
                   kIdSearchButton, kIdDeleteBookmark, kIdAddBookmark, kIdHighlightBox})
        control(id)->hide();

    for (NavItemView* view : std::initializer_list<NavItemView*>{tree_, article_list_, search_list_, bookmark_list_})
        connect(view, &NavItemView::notify, this, &C1stView::on_control_notify);
    connect(law_selector_, &VComboLst::notify, this, &C1stView::on_control_notify);
    search_list_->pane_command = [this](int command) { OnCommand(command); };
    search_list_->wait_command = [this](int command, int parameter) { OnCommand(command, parameter); };

    connect(tabs_, &QTabBar::currentChanged, this, &C1stView::on_tab_changed);
    connect(tabs_, &QTabBar::tabBarClicked, this, &C1stView::on_tab_clicked);
    connect(search_button_, &QPushButton::clicked, this, &C1stView::on_search_clicked);
    connect(search_entry_, &VComboSch::searchRequested, this, &C1stView::on_search_clicked);
    connect(add_button_, &QPushButton::clicked, this, &C1stView::on_add_bookmark);
    connect(delete_button_, &QPushButton::clicked, this, &C1stView::on_delete_bookmark);
    connect(bookmark_list_, &VListBmk::fileMessage, this, &C1stView::statusMessage);
    connect(highlight_box_, &QCheckBox::clicked, this, &C1stView::on_highlight_clicked);
}

QWidget* C1stView::control(int id) const
{
    switch (id) {
    case kIdTabStrip: return tabs_;
    case kIdContentsTree: return tree_;
    case kIdArticleList: return article_list_;
    case kIdSearchList: return search_list_;
    case kIdBookmarkList: return bookmark_list_;
    case kIdLawSelector: return law_selector_;
    case kIdSearchEntry: return search_entry_;
    case kIdSearchButton: return search_button_;
    case kIdDeleteBookmark: return delete_button_;
    case kIdAddBookmark: return add_button_;
    case kIdHighlightBox: return highlight_box_;
    default: return nullptr;
    }
}

void C1stView::OnInitialUpdate()
{
    bookmark_list_->_attach(doc_);
    bookmark_list_->_load();
    lay_out();
}

// ---- Tabs ------------------------------------------------------------------

void C1stView::release_filling()
{
    if (!filling_held_)
        return;
    filling_held_ = false;
    _show_tab(tabs_->currentIndex());
    if (std::exchange(sync_waiting_, false))
        sync_if_active();
}

void C1stView::_show_tab(int tab) { show_tab(tab, true); }

void C1stView::show_tab(int tab, bool take_focus)
{
    if (!doc_.connected() || !valid_tab(tab))
        return;
    if (filling_held_) {
        current_tab_ = tab;
        _set_visible_controls(tab);
        return;
    }
    if (!any_tab_initialised_) {
        startup_id_ = read_current_page_id(doc_.settings(), "");
        tree_->_attach(doc_);
        tree_->_show();
    }
    if (!tab_initialised_[static_cast<std::size_t>(tab)]) {
        first_use(tab);
        tab_initialised_[static_cast<std::size_t>(tab)] = true;
        any_tab_initialised_ = true;
    }
    const bool changed = current_tab_ != tab;
    current_tab_ = tab;
    _set_visible_controls(tab);
    if (take_focus)
        _focus_current();
    update();
    if (changed)
        emit currentTabChanged(tab);
}

void C1stView::first_use(int tab)
{
    switch (tab) {
    case kTabList:
        article_list_->_set_columns(&doc_, VListLst::kIcons, VListLst::kColumns);
        if (!law_selector_->_init(doc_))
            return;
        if (!any_tab_initialised_) {
            // The start-up tab: the law of the page shown at the end of the last run.
            const int entry = law_selector_->_find_law(startup_id_.substr(0, 3));
            law_selector_->setCurrentIndex(entry >= 0 ? entry : 0);
        } else {
            law_selector_->setCurrentIndex(0);
        }
        article_list_->_show(law_selector_->_law_id());
        break;
    case kTabSearch:
        search_list_->_set_columns(&doc_, VListSch::kIcons, VListSch::kColumns);
        search_entry_->_load_history(doc_.settings());
        break;
    case kTabBookmarks:
        bookmark_list_->_set_columns(&doc_, VListBmk::kIcons, VListBmk::kColumns);
        bookmark_list_->_load();
        bookmark_list_->_show();
        break;
    default:
        break;
    }
}

void C1stView::_set_visible_controls(int tab)
{
    struct Placement {
        QWidget* control;
        int tab;
    };
    const std::array<Placement, 10> placements{{
        {tree_, kTabContents},
        {law_selector_, kTabList},
        {article_list_, kTabList},
        {search_entry_, kTabSearch},
        {search_button_, kTabSearch},
        {search_list_, kTabSearch},
        {highlight_box_, kTabSearch},
        {bookmark_list_, kTabBookmarks},
        {add_button_, kTabBookmarks},
        {delete_button_, kTabBookmarks},
    }};
    for (const Placement& p : placements) {
        if (p.tab == tab)
            p.control->show();
    }
    // A control that hides while it holds the focus hands it on along the
    // focus chain, which leads into the page: the page would then focus its
    // first link and scroll to it. The tab's own control takes it first.
    QWidget* focus = QApplication::focusWidget();
    for (const Placement& p : placements) {
        if (p.tab != tab && focus && (p.control == focus || p.control->isAncestorOf(focus))) {
            if (QWidget* control = main_control(tab))
                control->setFocus(Qt::OtherFocusReason);
            break;
        }
    }
    for (const Placement& p : placements) {
        if (p.tab != tab)
            p.control->hide();
    }
}

void C1stView::_select_tab(int tab)
{
    if (!valid_tab(tab))
        return;
    release_filling();
    {
        const QSignalBlocker quiet(tabs_);
        tabs_->setCurrentIndex(tab);
    }
    _show_tab(tab);
    if (view_ && synchro_active() && (tab == kTabContents || tab == kTabList))
        _sync(view_->current_id());
}

int C1stView::adjacent_tab(int tab, int step)
{
    return ((tab + step) % kTabCount + kTabCount) % kTabCount;
}

bool C1stView::tab_key(int key, Qt::KeyboardModifiers modifiers)
{
    if (!(modifiers & Qt::ControlModifier))
        return false;
    if (key == Qt::Key_PageDown)
        _select_tab(adjacent_tab(tabs_->currentIndex(), +1));
    else if (key == Qt::Key_PageUp)
        _select_tab(adjacent_tab(tabs_->currentIndex(), -1));
    else
        return false;
    return true;
}

void C1stView::on_tab_changed(int index)
{
    release_filling();
    _show_tab(index);
    sync_if_active();
}

void C1stView::on_tab_clicked(int index)
{
    // A click on the tab already selected changes nothing but still brings
    // the tab's control in line with the page shown.
    if (index == tabs_->currentIndex())
        sync_if_active();
}

void C1stView::sync_if_active()
{
    if (view_ && synchro_active() && (current_tab_ == kTabContents || current_tab_ == kTabList))
        _sync(view_->current_id());
}

bool C1stView::synchro_active() const
{
    if (doc_.toggles().Synchro == 0)
        return false;
    IdKind kind;
    return !(view_ && IdentifierRules::_id_kind(view_->current_id(), kind) && kind == IdKind::Special);
}

// ---- Synchronisation and focus ---------------------------------------------

bool C1stView::_sync(const std::string& id)
{
    if (id.empty())
        return false;
    if (filling_held_) {
        // Done once the controls are filled, with the page shown then.
        sync_waiting_ = current_tab_ == kTabContents || current_tab_ == kTabList;
        return sync_waiting_;
    }
    // Following the page view moves the selection, never the keyboard focus.
    const bool was_syncing = std::exchange(syncing_, true);
    const auto done = qScopeGuard([this, was_syncing] { syncing_ = was_syncing; });
    switch (current_tab_) {
    case kTabContents:
        // The tree's selection change then shows the page.
        tree_->_select_id(id);
        return true;
    case kTabList: {
        const std::string law = id.substr(0, 3);
        if (law != law_selector_->_law_id()) {
            law_selector_->_select_law(law);
            article_list_->_show(law);
            update();
        }
        // Selecting the row already selected raises no selection change, so
        // that page is shown here.
        if (article_list_->_row_of_id(id) == article_list_->_last_selected_row() && view_)
            view_->show(id);
        article_list_->_select_id(id);
        return true;
    }
    default:
        return false;
    }
}

QWidget* C1stView::main_control(int tab) const
{
    switch (tab) {
    case kTabContents: return tree_;
    case kTabList: return article_list_;
    case kTabSearch: return search_list_;
    case kTabBookmarks: return bookmark_list_;
    default: return nullptr;
    }
}

void C1stView::_focus_current()
{
    if (QWidget* control = main_control(current_tab_))
        control->setFocus(Qt::OtherFocusReason);
}

// ---- Navigation ------------------------------------------------------------

void C1stView::on_control_notify(int id)
{
    if (id == kIdLawSelector) {
        on_law_selected();
        return;
    }
    if (NavHold::is_set())
        return;
    switch (id) {
    case kIdContentsTree:
        navigate(tree_->_selected_id());
        break;
    case kIdArticleList:
        navigate(article_list_->_selected_id());
        break;
    case kIdSearchList: {
        // The words are painted once the page has loaded: only when a page
        // comes, else the flag would wait for a later, unrelated page.
        const std::string page = search_list_->_selected_id();
        if (!page.empty() && view_ && highlight_ != 0 && page != view_->current_id())
            view_->set_search_highlight_pending();
        navigate(page);
        break;
    }
    case kIdBookmarkList:
        navigate(bookmark_list_->_selected_id());
        break;
    default:
        break;
    }
}

void C1stView::navigate(const std::string& id)
{
    if (id.empty() || !view_)
        return;
    view_->show(id);
    // A choice in the pane leaves the keyboard in the pane; following the
    // page view (_sync) leaves it where the reader has it.
    if (syncing_)
        return;
    view_->focus_page();
    _focus_current();
}

void C1stView::on_law_selected()
{
    if (law_selector_->dropped_down())
        return;
    const std::string law = law_selector_->_law_id();
    if (law.empty())
        return;
    article_list_->_show(law);
    update();
}

// ---- Bookmark tab ----------------------------------------------------------

void C1stView::on_add_bookmark()
{
    if (!view_)
        return;
    const std::string id = view_->current_id();
    if (id.size() != VListBmk::kBookmarkIdLength)
        return;
    bookmark_list_->_add(id); // a page bookmarked already is only selected
    bookmark_list_->_show();
    bookmark_list_->_select_id(id);
    bookmark_list_->setFocus(Qt::OtherFocusReason);
    update();
}

void C1stView::on_delete_bookmark()
{
    if (current_tab_ != kTabBookmarks)
        return;
    const std::string id = bookmark_list_->_selected_id();
    const int row = bookmark_list_->_last_selected_row();
    const int rows = bookmark_list_->_row_count();
    if (id.size() != VListBmk::kBookmarkIdLength)
        return;
    bookmark_list_->_remove(id);
    bookmark_list_->_show();
    // The row that took the removed one's place, or the new last row.
    bookmark_list_->_select_row(row == rows - 1 ? row - 1 : row);
    bookmark_list_->setFocus(Qt::OtherFocusReason);
    update();
}

// ---- Layout ----------------------------------------------------------------

QRect C1stView::display_rect() const
{
    const int strip = tabs_->sizeHint().height();
    return QRect(0, strip, width(), std::max(0, height() - strip));
}

void C1stView::lay_out()
{
    tabs_->setGeometry(0, 0, width(), tabs_->sizeHint().height());
    const PaneLayout layout = lay_out_pane(display_rect(), law_selector_->sizeHint().height(),
                                           search_entry_->sizeHint().height(),
                                           highlight_box_->sizeHint().height());
    tree_->setGeometry(layout.tree);
    law_selector_->setGeometry(layout.law_selector);
    article_list_->setGeometry(layout.article_list);
    search_entry_->setGeometry(layout.search_entry);
    search_button_->setGeometry(layout.search_button);
    search_list_->setGeometry(layout.search_list);
    highlight_box_->setGeometry(layout.highlight_box);
    bookmark_list_->setGeometry(layout.bookmark_list);
    add_button_->setGeometry(layout.add_button);
    delete_button_->setGeometry(layout.delete_button);
    update();
    // A new size (the window's, the splitter's) takes the keyboard from nowhere
    // else: the page or a field being typed in keeps it.
    const QWidget* focus = QApplication::focusWidget();
    show_tab(tabs_->currentIndex(), !focus || focus == this || isAncestorOf(focus));
}

void C1stView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    lay_out();
}

void C1stView::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionTabWidgetFrame frame;
    frame.initFrom(this);
    frame.rect = display_rect();
    frame.shape = tabs_->shape();
    frame.tabBarSize = tabs_->size();
    frame.tabBarRect = tabs_->geometry();
    frame.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    painter.drawPrimitive(QStyle::PE_FrameTabWidget, frame);
}

} // namespace velto
