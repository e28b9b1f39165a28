// The main window's right side: the page view alone or split above a second
// page view, and the splitter sizes it keeps in the settings.
#include "app/jump_field.h"
#include "app/main_frame.h"
#include "settings/persisted_state.h"
#include "nav/nav_pane.h"
#include "view/page_view.h"

#include <QApplication>
#include <QFrame>
#include <QSplitter>
#include <QStatusBar>

namespace velto {

namespace {

// The least width or height a pane of a splitter is given.
constexpr int kMinimumPaneSize = 20;

} // namespace

C2ndView* CMainFrame::create_page_view(QWidget* parent, bool second)
{
    auto* view = new C2ndView(doc_, parent);
    if (second) {
        // Beside the pane's page, not driven by the pane: a history of its own.
        view->setObjectName(QStringLiteral("lowerPane"));
        view->set_own_history();
    } else {
        view->setObjectName(QStringLiteral("pageView"));
        view->set_navigation_pane(left_);
        port_.set_view(view);
        if (jump_)
            jump_->set_page_view(view);
    }
    view->set_last_find_text(find_text_);
    connect(view, &C2ndView::findTextChanged, this, [this](const QString& text) { find_text_ = text.toStdString(); });
    // Queued: splitting replaces the view that asks, which must be done with its request first.
    connect(
        view, &C2ndView::openBelowRequested, this,
        [this](const QString& id, const QString& anchor) { open_below(id.toStdString(), anchor.toStdString()); },
        Qt::QueuedConnection);
    connect(view, &C2ndView::commandStateChanged, this, &CMainFrame::refresh_commands);
    // The status bar names the page of the pane the reader is in, whatever the other shows.
    connect(view, &C2ndView::pageShown, this, [this, view] {
        if (C2ndView* active = active_view(); active && active != view && !active->_current_id().empty())
            doc_._status_caption(active->_current_id());
    });
    // The browser's page setup goes back to the reader's own whenever the
    // program is activated or left.
    connect(qApp, &QGuiApplication::applicationStateChanged, view, [view] { view->_restore_page_setup(); });
    connect(view, &C2ndView::commandRequested, this, [this, view](int id) {
        set_active(view); // its own context menu
        run_command(id);
    });
    view->set_command_state([this](int id) { return command_enabled(id); });
    connect(view, &C2ndView::comparisonRequested, this, [this](const QString& link) {
        if (!open_comparison_link(link.toStdString()))
            statusBar()->showMessage(QStringLiteral("この新旧対照は表示できません。"));
    });
    connect(view, &C2ndView::statusTextChanged, this,
            [this](const QString& text) { statusBar()->showMessage(text); });
    // A link's caption belongs to the page it was on: the page being left
    // does not always take it back (the pointer may have left for the toolbar).
    connect(view, &C2ndView::pageLoaded, statusBar(), &QStatusBar::clearMessage);
    return view;
}

void CMainFrame::restore_splitter(QSplitter* splitter, std::string_view name, int default_size, int total)
{
    // A size the pane could not be shown at (zeros left by an earlier fault,
    // or more than the room there is) gives way to the default.
    const int room = total - splitter->handleWidth();
    int size = default_size;
    if (const auto stored = read_splitter_pos(settings_, name);
        stored && stored->ideal >= kMinimumPaneSize && stored->ideal <= room - kMinimumPaneSize)
        size = stored->ideal;
    splitter->setSizes({size, std::max(kMinimumPaneSize, room - size)});
}

void CMainFrame::store_splitter(QSplitter* splitter, std::string_view name, bool rows)
{
    if (!splitter || splitter->count() < 1)
        return;
    SplitterPosition p;
    p.index = 0;
    p.ideal = splitter->sizes().value(0);
    if (p.ideal < kMinimumPaneSize)
        return; // never laid out: the value stored before stays
    QWidget* first = splitter->widget(0);
    p.minimum = rows ? first->minimumSizeHint().height() : first->minimumSizeHint().width();
    p.minimum = std::max(0, p.minimum);
    write_splitter_pos(settings_, name, p);
}

bool CMainFrame::open_below(const std::string& id, const std::string& anchor_id)
{
    if (!split_)
        toggle_split({});
    if (!lower_)
        return false;
    return lower_->open_link(id, anchor_id);
}

void CMainFrame::toggle_split(const std::string& lower_page)
{
    // The new page view goes on with the page shown, where it was read.
    const std::string shown = page_ ? page_->_current_id() : std::string();
    int x = 0, y = 0;
    if (page_)
        page_->_scroll_position(x, y);
    const QList<int> columns = main_splitter_->sizes();
    // The keyboard stays in the page when it was in a page.
    const bool in_page = (page_ && page_->has_focus_within()) || (lower_ && lower_->has_focus_within());

    QWidget* right = nullptr;
    if (!split_) {
        auto* rows = new QSplitter(Qt::Vertical);
        rows->setObjectName(QStringLiteral("rightSplitter"));
        rows->setChildrenCollapsible(false);
        page_ = create_page_view(rows);
        lower_ = create_page_view(rows, true);
        right = rows;
    } else {
        store_splitter(right_splitter_, kValueSplitterPos2, true);
        page_ = create_page_view(nullptr);
        right = page_;
    }
    active_ = page_;
    // The old right side (a page view, or the rows with theirs) goes; the new
    // one takes its place and its share of the window.
    delete main_splitter_->replaceWidget(1, right);
    main_splitter_->setStretchFactor(0, 0);
    main_splitter_->setStretchFactor(1, 1);
    main_splitter_->setSizes(columns);
    split_ = !split_;
    right_splitter_ = split_ ? static_cast<QSplitter*>(right) : nullptr;
    if (split_)
        restore_splitter(right_splitter_, kValueSplitterPos2, kDefaultRightPaneHeight, main_splitter_->height());
    right->show();

    page_->set_pending_scroll(x, y);
    page_->OnInitialUpdate(shown);
    if (lower_)
        lower_->OnInitialUpdate(lower_page);
    if (in_page)
        page_->_focus_page();
    else
        left_->_focus_current();
    refresh_commands();
}

} // namespace velto
