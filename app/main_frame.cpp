#include "app/main_frame.h"
#include "editions/article_history.h"

#include "app/cited_by_panel.h"
#include "app/command_table.h"
#include "app/jump_field.h"
#include "app/help_window.h"
#include "app/splash_window.h"
#include "catalog/law_editions.h"
#include "citations/cited_by.h"
#include "compose/velto_doc.h"
#include "nav/plain_text.h"
#include "settings/persisted_state.h"
#include "settings/settings_store.h"
#include "nav/nav_pane.h"
#include "view/page_view.h"
#include "nav/tree_ctrl.h"
#include "nav/combo_sch.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QWebEngineView>

// The program's icons and pictures live in a static library: bring them in.
static void load_program_resources() { Q_INIT_RESOURCE(app); }

namespace velto {

namespace {

constexpr int kMinimumWidth = 600;
constexpr int kMinimumHeight = 450;
constexpr int kSplashMs = 750;
// The longest the pane waits for the first page before it fills its controls.
constexpr int kStartupWaitMs = 3000;

// The toolbar, in order: command, checkable, icon, text; those after the
// jump field go first into the toolbar's overflow menu in a narrow window,
// so that the field stays in view.
struct ToolButton {
    int id;
    bool check;
    const char* icon;
    const char* text;
    bool after_field = false;
};
constexpr ToolButton kToolButtons[] = {
    {cmd::Previous, false, "previous", "前へ"}, {cmd::Next, false, "next", "次へ"},
    {cmd::Back, false, "back", "戻る"},         {cmd::Forward, false, "forward", "進む"},
    {cmd::Synchro, true, "synchro", "同期"},    {cmd::Refer, true, "refer", "参照"},
    {cmd::Brachet, true, "brachet", "括弧"},    {cmd::Topmost, true, "topmost", "手前"},
    {cmd::PinPoint, true, "pinpoint", "狙撃"},  {cmd::DesignData, false, "design", "資料"},
    {cmd::Print, false, "print", "印刷"},       {cmd::CitedBy, false, "citedby", "被引用"},
    {cmd::CompareEditions, false, "compare", "改正比較", true},
};

constexpr char kHelpFile[] = "help14.html";
constexpr char kHelpFailed[] = "ヴェルトのヘルプファイルを\n開くことができませんでした。";

QString qs(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// "VelTo ヴェルト（建築基準法 令和7年12月1日施行）": the program and the
// edition of the law text its database holds; the program alone when the
// database does not say.
QString window_title(Database& db)
{
    std::vector<LawEdition> editions;
    const std::string edition = read_law_editions(db, editions) ? edition_caption(editions) : std::string();
    const QString program = QStringLiteral("VelTo ヴェルト");
    return edition.empty() ? program : program + QStringLiteral("（%1）").arg(qs(edition));
}

} // namespace

CMainFrame::CMainFrame(CVeltoDoc& doc, SettingsStore& settings, QWidget* parent)
    : QMainWindow(parent), doc_(doc), settings_(settings)
{
    load_program_resources();
    refresh_title();
    setWindowIcon(QIcon(QStringLiteral(":/icons/velto.svg")));
    setMinimumSize(kMinimumWidth, kMinimumHeight);
    resize(800, 600);
    // The bars, the menu and the panes come with create_client, after the
    // first page has been asked for.
    restore_placement();
    qApp->installEventFilter(this);
}

void CMainFrame::refresh_title() { setWindowTitle(window_title(doc_.database())); }

CMainFrame::~CMainFrame()
{
    qApp->removeEventFilter(this);
    link_index_.reset(); // a build under way stops before the window goes
    doc_.set_article_note(nullptr);
    doc_.set_status_sink(nullptr);
    doc_.set_message_sink(nullptr);
}

void CMainFrame::build_actions()
{
    const auto make = [this](int id, bool check) {
        const CommandInfo* info = command_info(id);
        auto* a = new QAction(info ? qs(info->label) : QString(), this);
        a->setCheckable(check);
        a->setStatusTip(qs(command_prompt(id)));
        a->setToolTip(qs(command_tip(id)));
        connect(a, &QAction::triggered, this, [this, id] { run_command(id); });
        actions_[id] = a;
        return a;
    };
    for (const ToolButton& b : kToolButtons) {
        QAction* a = make(b.id, b.check);
        a->setIcon(QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(b.icon))));
        a->setIconText(QString::fromUtf8(b.text));
    }
    for (int id : {cmd::PrintPreview, cmd::Options, cmd::Exit, cmd::Cover, cmd::Legend, cmd::LawHistory,
                   cmd::NoticeHistory, cmd::SupportSite, cmd::Help, cmd::Version, cmd::Split, cmd::EasterEgg,
                   cmd::FindInPage, cmd::Copy})
        make(id, false);
    make(cmd::ArabicNumbers, true);
    actions_[cmd::Split]->setCheckable(true);
    make(cmd::TermMarks, true);
    actions_[cmd::Copy]->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_Insert)});
    actions_[cmd::Copy]->setShortcutContext(Qt::WindowShortcut);
    addAction(actions_[cmd::Copy]);
}

void CMainFrame::build_toolbar()
{
    toolbar_ = addToolBar(QStringLiteral("toolbar"));
    toolbar_->setObjectName(QStringLiteral("toolbar"));
    toolbar_->setMovable(false);
    toolbar_->setIconSize(QSize(22, 20));
    toolbar_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    for (const ToolButton& b : kToolButtons)
        if (!b.after_field)
            toolbar_->addAction(actions_[b.id]);
    toolbar_->addSeparator();
    jump_ = new JumpField(doc_, toolbar_);
    toolbar_->addWidget(jump_);
    for (const ToolButton& b : kToolButtons)
        if (b.after_field)
            toolbar_->addAction(actions_[b.id]);
    if (page_)
        jump_->set_page_view(page_); // the page view comes first, so the first page is asked for early
    connect(jump_, &JumpField::message, this, [this](const QString& text) { statusBar()->showMessage(text); });
}

void CMainFrame::build_menu()
{
    QMenu* file = menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
    file->addAction(actions_[cmd::Print]);
    file->addAction(actions_[cmd::PrintPreview]);
    file->addSeparator();
    file->addAction(actions_[cmd::Options]);
    file->addSeparator();
    file->addAction(actions_[cmd::Split]);
    file->addSeparator();
    add_update_command(file);
    file->addSeparator();
    file->addAction(actions_[cmd::Exit]);
    QMenu* view = menuBar()->addMenu(QStringLiteral("表示(&V)"));
    view->addAction(actions_[cmd::ArabicNumbers]);
    view->addAction(actions_[cmd::TermMarks]);
    QMenu* help = menuBar()->addMenu(QStringLiteral("ヘルプ(&H)"));
    for (int id : {cmd::Cover, cmd::Legend, cmd::LawHistory, cmd::NoticeHistory, cmd::CompareEditions})
        help->addAction(actions_[id]);
    help->addSeparator();
    for (int id : {cmd::SupportSite, cmd::Help, cmd::Version})
        help->addAction(actions_[id]);
}

void CMainFrame::build_status_bar()
{
    page_title_ = new QLabel(this);
    page_title_->setObjectName(QStringLiteral("pageTitle"));
    page_title_->setTextFormat(Qt::PlainText);
    page_title_->setFrameShape(QFrame::Panel);
    page_title_->setFrameShadow(QFrame::Sunken);
    statusBar()->addPermanentWidget(page_title_);
    doc_.set_status_sink([this](const std::string& text) { set_page_title(QString::fromStdString(text)); });
    doc_.set_message_sink([this](const std::string& text) { statusBar()->showMessage(QString::fromStdString(text)); });
}

void CMainFrame::set_page_title(const QString& caption)
{
    // A caption holds a law's name from the database: cut to what a status bar can show.
    const QString text = cut_text(caption, kMaxCaptionCharacters);
    page_title_->setText(text);
    page_title_->setFixedWidth(page_title_->fontMetrics().horizontalAdvance(text) + 2 * page_title_->frameWidth() + 8);
}

void CMainFrame::restore_placement()
{
    const std::optional<WindowPlacement> stored = read_window_pos(settings_);
    if (stored && stored->normal_right > stored->normal_left && stored->normal_bottom > stored->normal_top) {
        setGeometry(stored->normal_left, stored->normal_top, stored->normal_right - stored->normal_left,
                    stored->normal_bottom - stored->normal_top);
        placement_restored_ = true;
    }
}

void CMainFrame::store_placement()
{
    WindowPlacement p;
    p.length = 44;
    p.show_command = 1;
    p.min_x = p.min_y = p.max_x = p.max_y = -1;
    const QRect normal = isMaximized() || isMinimized() ? normalGeometry() : geometry();
    p.normal_left = normal.left();
    p.normal_top = normal.top();
    p.normal_right = normal.left() + normal.width();
    p.normal_bottom = normal.top() + normal.height();
    write_window_pos(settings_, placement_to_store(p, isMaximized()));
}

void CMainFrame::show_first(bool splash)
{
    if (!placement_restored_ && screen()) {
        const QRect area = screen()->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
    if (initial_show_command(read_window_pos(settings_)) == kShowCommandMaximised)
        showMaximized();
    else
        show();
    if (splash) {
        QPixmap picture(QStringLiteral(":/images/splash.png"));
        if (!picture.isNull())
            (new SplashWindow(picture, this))->show_for(kSplashMs);
    }
}

bool CMainFrame::create_client()
{
    main_splitter_ = new QSplitter(Qt::Horizontal, this);
    main_splitter_->setObjectName(QStringLiteral("mainSplitter"));
    main_splitter_->setChildrenCollapsible(false);
    setCentralWidget(main_splitter_);
    // The page view comes last: the window is shown as soon as its first page
    // has been asked for, since the engine finishes a page only once its view
    // is on screen. The bars, the menu and the pane (which lays out empty and
    // fills its controls once the page is on screen, finish_startup) are made
    // before the engine starts, so that the window's first paint does not
    // stand between the engine and this thread while the page is loading.
    open_editions();
    // What the first page writes to the settings (the settings' version) goes
    // to the disk once the page is on screen, not while it is asked for.
    held_writes_ = std::make_unique<SettingsBatch>(settings_);
    build_actions();
    build_toolbar();
    build_menu();
    build_status_bar();

    left_ = new C1stView(doc_);
    left_->setObjectName(QStringLiteral("leftPane"));
    left_->set_page_view(&port_);
    left_->set_frame_command([this](int id) { run_command(id); });
    left_->hold_filling();
    main_splitter_->addWidget(left_);
    connect(left_, &C1stView::currentTabChanged, this, &CMainFrame::refresh_commands);
    connect(left_, &C1stView::statusMessage, this, [this](const QString& text) { statusBar()->showMessage(text); });
    left_->OnInitialUpdate();

    page_ = create_page_view(main_splitter_); // beside the pane, which it knows
    main_splitter_->setStretchFactor(0, 0);
    main_splitter_->setStretchFactor(1, 1);
    restore_splitter(main_splitter_, kValueSplitterPos1, kDefaultLeftPaneWidth, std::max(main_splitter_->width(), width()));
    page_->OnInitialUpdate();
    active_ = page_;
    if (!page_->_current_id().empty())
        doc_._status_caption(page_->_current_id());
    // What the page view asks of the pane when it shows its first page; the
    // pane does it once it is filled.
    if (page_->synchronisation_active())
        left_->_sync(page_->_current_id());
    refresh_commands();

    if (page_->page_loading()) {
        auto* once = new QObject(this);
        connect(page_, &C2ndView::pageLoaded, once, [this, once] {
            delete once;
            // After the page's first paint.
            QTimer::singleShot(0, this, &CMainFrame::finish_startup);
        });
        // A first page that never arrives (it failed and said so) must not
        // leave the pane empty.
        QTimer::singleShot(kStartupWaitMs, this, &CMainFrame::finish_startup);
    } else {
        QTimer::singleShot(0, this, &CMainFrame::finish_startup);
    }
    return true;
}

void CMainFrame::finish_startup()
{
    if (started_)
        return;
    started_ = true;
    held_writes_.reset();
    left_->release_filling();
    refresh_commands();
    // The page list, for the page after and before, once the pane has painted.
    QTimer::singleShot(0, this, [this] {
        doc_.load_pages();
        open_link_index();
        refresh_commands();
        // The search's connection and index, opened in the background.
        left_->prepare_search();
        startup_finished_ = true;
        emit startupFinished();
    });
}

void CMainFrame::open_link_index()
{
    if (link_index_)
        return;
    link_index_ = std::make_unique<ReverseLinkIndex>(doc_);
    QPointer<CMainFrame> self(this);
    link_index_->open(false, [self](bool ok) {
        // On the building thread, or at once: the window hears of it in its own time.
        QMetaObject::invokeMethod(qApp, [self, ok] {
            if (!self)
                return;
            self->refresh_commands();
            if (!ok)
                self->statusBar()->showMessage(
                    QStringLiteral("引用の索引を作ることができませんでした。「この条を引用している条文」は使えません。（%1）")
                        .arg(QString::fromStdString(self->link_index_->failure())));
        }, Qt::QueuedConnection);
    });
}

bool CMainFrame::link_index_ready() const { return link_index_ && link_index_->ready(); }

void CMainFrame::show_cited_by()
{
    if (!cited_by_) {
        cited_by_ = new CitedByPanel(this);
        addDockWidget(Qt::RightDockWidgetArea, cited_by_);
        resizeDocks({cited_by_}, {std::max(260, width() / 3)}, Qt::Horizontal);
        connect(cited_by_, &CitedByPanel::sentenceChosen, this, [this](const QString& page, const QString& sentence) {
            const std::string id = sentence.toStdString();
            C2ndView* view = active_view();
            if (view && !view->show_at(page.toStdString(), id, id))
                statusBar()->showMessage(QStringLiteral("引用している条文を表示できませんでした。"));
            // The reader goes on through the rows.
            cited_by_->rows()->setFocus(Qt::OtherFocusReason);
        });
    }
    cited_by_->show_list(cited_by(doc_, *link_index_, active_view()->_current_id()));
    refresh_commands();
}

HelpWindow* CMainFrame::help_window() const { return help_; }

void CMainFrame::show_help()
{
    const QString path = QString::fromStdString(doc_.program_dir()) + QLatin1String(kHelpFile);
    if (!help_)
        help_ = new HelpWindow(this);
    if (!help_->open(path)) {
        delete help_;
        doc_.reporter().show("", kHelpFailed, MessageButtons::Ok, MessageIcon::Stop);
        return;
    }
    help_->show();
    help_->raise();
    help_->activateWindow();
}

void CMainFrame::bring_to_front()
{
    if (isMinimized())
        showNormal();
    show();
    raise();
    activateWindow();
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    const SettingsBatch batch(settings_);
    held_writes_.reset(); // they go with this batch
    store_placement();
    store_splitter(main_splitter_, kValueSplitterPos1, false);
    if (split_)
        store_splitter(right_splitter_, kValueSplitterPos2, true);
    event->accept();
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn) {
        // The commands follow the page view the reader is in.
        auto* widget = qobject_cast<QWidget*>(watched);
        for (C2ndView* view : {page_, lower_.data()})
            if (widget && view && view->isAncestorOf(widget))
                set_active(view);
    }
    if (event->type() == QEvent::KeyPress) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && widget->window() == this && handle_key(watched, static_cast<QKeyEvent*>(event)))
            return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

bool CMainFrame::keeps_arrow_keys(QWidget* focus) const
{
    // The tree moves between its items, a text field (the search text, the
    // jump field, the find bar) its caret.
    const auto within = [focus](QWidget* control) { return control && (control == focus || control->isAncestorOf(focus)); };
    if (qobject_cast<QLineEdit*>(focus))
        return true;
    return left_ && (within(left_->tree()) || within(left_->search_entry()));
}

C2ndView* CMainFrame::active_view() const { return active_ ? active_.data() : page_; }

void CMainFrame::set_active(C2ndView* view)
{
    if (!view || view == active_)
        return;
    active_ = view;
    if (jump_)
        jump_->set_page_view(view);
    // The page title of the status bar names the page the commands act on.
    if (!view->_current_id().empty())
        doc_._status_caption(view->_current_id());
    refresh_commands();
}

bool CMainFrame::handle_key(QObject* watched, QKeyEvent* key)
{
    const Qt::KeyboardModifiers mods = key->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);
    QWidget* focus = QApplication::focusWidget();
    if (focus != watched || !left_)
        return false; // the event travels up the parents; act on it once
    // Back and forward: Alt+Left/Right wherever the keyboard is, Ctrl+Left/Right
    // too, except in a text field, where they move the caret by words.
    if ((mods == Qt::AltModifier || (mods == Qt::ControlModifier && !qobject_cast<QLineEdit*>(focus))) &&
        (key->key() == Qt::Key_Left || key->key() == Qt::Key_Right)) {
        run_command(key->key() == Qt::Key_Left ? cmd::Back : cmd::Forward);
        return true;
    }
    if (key->key() == Qt::Key_F3 && (mods == Qt::NoModifier || mods == Qt::ShiftModifier)) {
        run_command(mods == Qt::NoModifier ? cmd::FindNext : cmd::FindPrevious);
        return true;
    }
    if (mods == Qt::ControlModifier) {
        switch (key->key()) {
        case Qt::Key_F: run_command(cmd::FindInPage); return true;
        case Qt::Key_L:
            jump_->setFocus(Qt::ShortcutFocusReason);
            jump_->selectAll();
            return true;
        case Qt::Key_PageDown:
        case Qt::Key_PageUp: return left_->tab_key(key->key(), key->modifiers());
        default: return false;
        }
    }
    if (mods != Qt::NoModifier)
        return false;
    C2ndView* view = active_view();
    const bool in_page = view && (focus == view->browser() || view->browser()->isAncestorOf(focus));
    switch (key->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
        if (keeps_arrow_keys(focus))
            return false;
        run_command(key->key() == Qt::Key_Left ? cmd::Back : cmd::Forward);
        return true;
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (!in_page)
            return false;
        run_command(key->key() == Qt::Key_Up ? cmd::Previous : cmd::Next);
        return true;
    default:
        return false;
    }
}

} // namespace velto
