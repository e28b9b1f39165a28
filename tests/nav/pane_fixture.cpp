#include "tests/nav/pane_fixture.h"

#include "nav/combo_sch.h"
#include "nav/list_sch.h"
#include "nav/nav_keys.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QTest>
#include <QTextDocument>
#include <QToolTip>

#include <cstdio>

namespace velto::test {

namespace {

const char* const kLawSql = R"sql(
INSERT INTO T_法 VALUES ('00A', 'ヴェルト', 'ヴェルト', 'ヴェルト', -1);
INSERT INTO T_法 VALUES ('01A', '建築基準法', '法', '建築基準法', -1);
INSERT INTO T_条 VALUES ('00A-Z0010000-00', '00A-0000-0000-0000-0000', '表紙', '', 0, 0, -1);
INSERT INTO T_条 VALUES ('01A-00010000-00', '01A-0000-0000-0000-0000', '目的', '', 0, 0, -1);
INSERT INTO T_条 VALUES ('01A-00020000-00', '01A-0000-0000-0000-0000', '用語の定義', '', 0, 0, -1);
)sql";

} // namespace

std::string tooltip_words()
{
    QTextDocument shown;
    shown.setHtml(QToolTip::text());
    return shown.toPlainText().toStdString();
}

void PaneFixture::SetUp()
{
    NavHold::clear();
    build_fixture_db(dir.file("VT2014.m88"), {kLawSql});
}

void PaneFixture::TearDown()
{
    close_pane();
    doc.reset();
    NavHold::clear();
}

void PaneFixture::open_pane(bool with_database)
{
    doc = std::make_unique<CVeltoDoc>(settings, reporter);
    if (with_database) {
        DocumentOptions options;
        options.program_dir = dir.path();
        options.use_working_folder = false;
        ASSERT_TRUE(doc->OnNewDocument(options));
    }

    window = std::make_unique<QWidget>();
    auto* layout = new QHBoxLayout(window.get());
    pane = new C1stView(*doc, window.get());
    page = new QWidget(window.get());
    page->setFocusPolicy(Qt::StrongFocus);
    layout->addWidget(pane, 1);
    layout->addWidget(page, 2);
    view.page = page;
    pane->set_page_view(&view);
    pane->OnInitialUpdate();

    window->resize(700, 600);
    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window.get(), 2000))
        QApplication::setActiveWindow(window.get());
    ASSERT_TRUE(window->isActiveWindow());
    view.forget();
}

void PaneFixture::close_pane()
{
    view.page = nullptr;
    pane = nullptr;
    page = nullptr;
    window.reset();
}

std::string PaneFixture::page_id(int n)
{
    char id[32];
    std::snprintf(id, sizeof id, "01A-%04d0000-00", n);
    return id;
}

std::vector<std::string> PaneFixture::fill_list(VListBase* list, int count)
{
    NavHoldGuard quiet;
    list->_clear();
    std::vector<std::string> ids;
    for (int i = 0; i < count; ++i) {
        ListRow row;
        row.id = page_id(i + 1);
        row.columns.assign(static_cast<std::size_t>(list->columnCount()), "第" + std::to_string(i + 1) + "条");
        list->_add_row(row);
        ids.push_back(row.id);
    }
    return ids;
}

std::vector<std::string> PaneFixture::fill_tree(VTreeCtrl* tree, int count)
{
    NavHoldGuard quiet;
    tree->_clear();
    QTreeWidgetItem* law = tree->_insert_item(nullptr, "建築基準法", true, 0);
    tree->_enter("01A", law);
    std::vector<std::string> ids;
    for (int i = 0; i < count; ++i) {
        ids.push_back(page_id(i + 1));
        tree->_enter(ids.back(), tree->_insert_item(law, std::to_string(i + 1) + "条", false, 0));
    }
    law->setExpanded(true);
    return ids;
}

void PaneFixture::quiet_select(VListBase* list, int row)
{
    NavHoldGuard quiet;
    list->_select_row(row);
}

void PaneFixture::search(const QString& text)
{
    pane->search_entry()->setEditText(text);
    pane->search_button()->click();
    wait_for_search();
}

void PaneFixture::wait_for_search()
{
    EXPECT_TRUE(QTest::qWaitFor([this] { return !pane->search_list()->searching(); }, 10000));
}

void PaneFixture::send_key(QWidget* target, QEvent::Type type, int key, bool auto_repeat,
                           Qt::KeyboardModifiers modifiers, quint64 timestamp)
{
    QKeyEvent event(type, key, modifiers, QString(), auto_repeat);
    event.setTimestamp(timestamp);
    QApplication::sendEvent(target, &event);
}

} // namespace velto::test
