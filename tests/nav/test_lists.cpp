// The law selector, the article list and the list base they share.
#include "tests/nav/pane_fixture.h"

#include "catalog/article_rows.h"
#include "core/sjis.h"
#include "nav/combo_lst.h"
#include "nav/control_ids.h"
#include "nav/list_lst.h"

#include <QApplication>
#include <QHeaderView>
#include <QHelpEvent>
#include <QImage>
#include <QMouseEvent>
#include <QTest>
#include <QToolTip>

#include <sqlite3.h>

namespace velto::test {
namespace {

class Lists : public PaneFixture {
protected:
    void SetUp() override
    {
        PaneFixture::SetUp();
        build_fixture_db(dir.file("VT2014.m88"), {standard_fixture_sql()});
    }

    // Opens the pane on the "リスト" tab showing a law.
    void open_list_tab(const std::string& law)
    {
        open_pane();
        pane->_select_tab(kTabList);
        selector = pane->law_selector();
        list = pane->article_list();
        selector->_select_law(law);
        list->_show(law);
    }

    // The rows as the list holds them, in the form of the command line's listing.
    std::string widget_listing() const
    {
        std::string out;
        for (int row = 0; row < list->_row_count(); ++row) {
            out += list->_id_of_row(row);
            for (int c = 0; c < list->columnCount(); ++c)
                out += "\t" + list->topLevelItem(row)->text(c).toStdString();
            out += "\t" + std::to_string(list->_cell_image(row, 0)) + "\n";
        }
        return out;
    }

    void drop_table(const std::string& table)
    {
        sqlite3* writer = nullptr;
        ASSERT_EQ(sqlite3_open(dir.file("VT2014.m88").c_str(), &writer), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(writer, ("DROP TABLE " + table).c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(writer);
    }

    VComboLst* selector = nullptr;
    VListLst* list = nullptr;
};

// A character is 6 pixels a Shift-JIS byte.
int fixed_width(std::string_view text)
{
    return static_cast<int>(sjis_width(text)) * 6;
}

void send_mouse(QWidget* target, QEvent::Type type, QPoint at)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, at, target->mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                      held, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

TEST_F(Lists, SelectorAndListShowTheLawsAndTheirPages)
{
    open_list_tab("02K");
    ASSERT_EQ(selector->count(), 3); // 01B is hidden
    EXPECT_EQ(selector->itemText(1).toStdString(), "建築基準法");
    EXPECT_EQ(selector->itemText(2).toStdString(), "　　告示");
    selector->_select_law("01B");
    EXPECT_EQ(selector->_law_id(), "02K");

    for (const std::string law : {"02K", "01A"}) {
        list->_show(law);
        ArticleRows rows;
        ASSERT_TRUE(rows.build(doc->database(), *doc, reporter, law));
        EXPECT_EQ(widget_listing(), rows.listing()) << law;
        EXPECT_EQ(list->headerItem()->text(0).toStdString(), law == "02K" ? "告示番号" : "条");
        EXPECT_TRUE(pane->updatesEnabled()); // painting resumes once the list is full
        // Autosized columns show every text whole.
        for (int row = 0; row < list->_row_count(); ++row) {
            for (int c = 0; c < list->columnCount(); ++c)
                EXPECT_EQ(list->_cell_display_text(row, c), list->topLevelItem(row)->text(c).toStdString());
        }
    }
    EXPECT_TRUE(reporter.messages().empty());
}

TEST(CellText, FitsAtWholeCharactersAndEndsInDots)
{
    // "..." is 18 pixels and the margin 4.
    EXPECT_EQ(fit_cell_text("建築物の敷地", 76, fixed_width), "建築物の敷地");
    EXPECT_EQ(fit_cell_text("建築物の敷地", 75, fixed_width), "建築物の敷...");
    EXPECT_EQ(fit_cell_text("建築物の敷地", 58, fixed_width), "建築物...");
    EXPECT_EQ(fit_cell_text("建築物", 16, fixed_width), "");    // one character reaching the edge
    EXPECT_EQ(fit_cell_text("ab建築", 30, fixed_width), "ab..."); // two bytes short of it
}

TEST_F(Lists, NarrowColumnCutsAJapaneseTitleAtACharacterBoundary)
{
    open_list_tab("01A");
    const int row = list->_row_of_id("01A-00010000-00");
    // 𠮷 lies outside the basic plane: two UTF-16 units.
    const std::string title = "建築物の𠮷野敷地に関する基準";
    list->topLevelItem(row)->setText(1, QString::fromStdString(title));
    const int full = list->fontMetrics().horizontalAdvance(QString::fromStdString(title));
    int cuts = 0;
    for (int width = 0; width < full + 4; ++width) {
        list->setColumnWidth(1, width);
        const std::string shown = list->_cell_display_text(row, 1);
        if (shown.empty())
            continue;
        ++cuts;
        ASSERT_TRUE(shown.ends_with("...")) << width;
        const std::string prefix = shown.substr(0, shown.size() - 3);
        std::size_t boundary = 0;
        while (boundary < prefix.size())
            boundary += utf8_decode_at(title, boundary).bytes;
        ASSERT_EQ(boundary, prefix.size()) << width;
        ASSERT_EQ(title.compare(0, prefix.size(), prefix), 0) << width;
        // The whole title is the cell's tooltip while the cell shows it cut.
        ASSERT_EQ(list->_whole_text(list->model()->index(row, 1)).toStdString(), title) << width;
    }
    EXPECT_GT(cuts, 0);
    list->setColumnWidth(1, full + 40);
    // Whole in a wide enough list; cut by the list's edge in a narrow one.
    window->resize(1400, 600);
    QApplication::processEvents();
    EXPECT_TRUE(list->_whole_text(list->model()->index(row, 1)).isEmpty());
    window->resize(250, 600);
    QApplication::processEvents();
    EXPECT_EQ(list->_whole_text(list->model()->index(row, 1)).toStdString(), title);
    // With room for some of it: as much as the list has room for, then "...".
    window->resize(window->width() - list->viewport()->width() + list->columnViewportPosition(1) + 80, 600);
    QApplication::processEvents();
    const std::string shown = list->_cell_display_text(row, 1);
    ASSERT_TRUE(shown.ends_with("...")) << shown;
    EXPECT_LE(list->columnViewportPosition(1) + kCellTextMargin +
                  list->fontMetrics().horizontalAdvance(QString::fromStdString(shown)),
              list->viewport()->width());
    EXPECT_EQ(title.rfind(shown.substr(0, shown.size() - 3), 0), 0u);
}

TEST_F(Lists, NamesAndTitlesShowTheWordsAReaderSeesAndTheirTooltipsPlainText)
{
    // As the importer stores them, and crafted as markup.
    build_fixture_db(dir.file("VT2014.m88"),
                     {standard_fixture_sql(),
                      "UPDATE T_法 SET 法名一般 = '&lt;b&gt;法&lt;/b&gt; &amp; &#91;令&#93;' WHERE ID_HN = '01A';"
                      "UPDATE T_条 SET 条名 = '&quot;目的&quot; &lt;img src=x width=30000&gt;' "
                      "WHERE ID_FN = '01A-00010000-00';"
                      "UPDATE T_条 SET 条名 = '<img src=\"/usr/share/pixmaps/x.png\" width=30000>用語' "
                      "WHERE ID_FN = '01A-00020000-00';"});
    open_list_tab("01A");
    const int law = selector->_find_law("01A");
    ASSERT_GE(law, 0);
    EXPECT_EQ(selector->itemText(law).toStdString(), "<b>法</b> & [令]");
    const int first = list->_row_of_id("01A-00010000-00");
    EXPECT_EQ(list->topLevelItem(first)->text(1).toStdString(), "\"目的\" <img src=x width=30000>");
    EXPECT_EQ(list->topLevelItem(list->_row_of_id("01A-00020000-00"))->text(1).toStdString(), "用語");

    // Cut by a narrow column, the tooltip shows the same words, never markup.
    list->setColumnWidth(1, 30);
    const QRect cell = list->visualRect(list->model()->index(first, 1));
    QHelpEvent hover(QEvent::ToolTip, cell.center(), list->viewport()->mapToGlobal(cell.center()));
    QApplication::sendEvent(list->viewport(), &hover);
    ASSERT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(tooltip_words(), "\"目的\" <img src=x width=30000>");
    QToolTip::hideText();
}

TEST_F(Lists, ColumnsWidenByTheirHeaderAndKeepTheWidthsTheReaderGaveThem)
{
    open_list_tab("01A");
    QHeaderView* header = list->header();
    const int width = header->sectionSize(0);
    const QPoint divider(header->sectionViewportPosition(0) + width - 1, header->height() / 2);
    send_mouse(header->viewport(), QEvent::MouseButtonPress, divider);
    send_mouse(header->viewport(), QEvent::MouseMove, divider + QPoint(40, 0));
    send_mouse(header->viewport(), QEvent::MouseButtonRelease, divider + QPoint(40, 0));
    EXPECT_EQ(header->sectionSize(0), width + 40);
    const std::string kept = std::to_string(width + 40) + "," + std::to_string(header->sectionSize(1));
    EXPECT_TRUE(QTest::qWaitFor([&] { return settings.read_string(kSectionSettings, "ColumnWidths-1002") == kept; }, 5000));

    // Refilled, and in the next run: the reader's widths, not the contents'.
    list->_show("01A");
    EXPECT_EQ(header->sectionSize(0), width + 40);
    close_pane();
    open_list_tab("01A");
    EXPECT_EQ(list->header()->sectionSize(0), width + 40);
}

TEST_F(Lists, SelectedRowIsLightBlueWithBlackTextAlsoWithoutFocus)
{
    open_list_tab("01A");
    QPalette palette = list->palette();
    palette.setColor(QPalette::Text, QColor(220, 0, 0)); // other rows are written in red
    list->setPalette(palette);
    const int selected = list->_row_of_id("01A-00030000-00");
    quiet_select(list, selected);
    page->setFocus(Qt::OtherFocusReason);

    const QImage shot = list->viewport()->grab().toImage();
    const int right = list->columnViewportPosition(1) + list->columnWidth(1) - 3; // inside the margin
    // The background beside the text, and how many pixels of the title are black and red.
    const auto look = [&](int row, int& black, int& red) {
        const QRect rect = list->visualItemRect(list->topLevelItem(row));
        black = red = 0;
        for (int y = rect.top() + 1; y < rect.bottom(); ++y) {
            for (int x = list->columnViewportPosition(1); x < right; ++x) {
                const QColor c = shot.pixelColor(x, y);
                black += std::max({c.red(), c.green(), c.blue()}) < 60;
                red += c.red() > 150 && c.green() < 100 && c.blue() < 100;
            }
        }
        return shot.pixelColor(right, rect.center().y());
    };
    int black = 0;
    int red = 0;
    EXPECT_EQ(look(selected, black, red), VListBase::kSelectedBackground);
    EXPECT_GT(black, 0);
    EXPECT_EQ(red, 0);
    EXPECT_EQ(look(list->_row_of_id("01A-00010000-00"), black, red), list->palette().color(QPalette::Base));
    EXPECT_GT(red, 0);

    // Every one of the 40 images has a picture.
    ASSERT_EQ(VListBase::images().size(), static_cast<std::size_t>(VListBase::kImageCount));
    for (const QPixmap& image : VListBase::images()) {
        QImage blank(image.toImage().size(), image.toImage().format());
        blank.fill(Qt::transparent);
        EXPECT_NE(image.toImage(), blank);
    }
}

TEST_F(Lists, ArrowKeysOnTheClosedSelectorRefillTheListAtEveryRelease)
{
    open_list_tab("02K");
    send_key(selector, QEvent::KeyPress, Qt::Key_Up);
    send_key(selector, QEvent::KeyRelease, Qt::Key_Up);
    EXPECT_EQ(selector->_law_id(), "01A");
    EXPECT_GE(list->_row_of_id("01A-00010000-00"), 0);

    // The release alone shows the selected law again.
    {
        const QSignalBlocker quiet(selector);
        selector->setCurrentIndex(selector->_find_law("02K"));
    }
    send_key(selector, QEvent::KeyRelease, Qt::Key_Left);
    EXPECT_GE(list->_row_of_id("02K-KD180543-00"), 0);
    EXPECT_EQ(list->headerItem()->text(0).toStdString(), "告示番号");

    // Down opens the drop-down; while it is open the list stays.
    send_key(selector, QEvent::KeyPress, Qt::Key_Up);
    send_key(selector, QEvent::KeyPress, Qt::Key_Down);
    EXPECT_TRUE(selector->dropped_down());
    EXPECT_GE(list->_row_of_id("01A-00010000-00"), 0);
    selector->hidePopup();
    EXPECT_TRUE(view.shown.empty());
}

TEST_F(Lists, DatabaseFailuresAreReported)
{
    open_pane();
    drop_table("T_条");
    pane->_select_tab(kTabList);
    drop_table("T_法");
    EXPECT_FALSE(pane->law_selector()->_init(*doc));
    ASSERT_EQ(reporter.messages().size(), 2u);
    const std::pair<const char*, const char*> expected[] = {{"リストの生成", "VListLst::_show()"},
                                                            {"コンボボックスの初期化", "VComboLst::_init()"}};
    for (std::size_t i = 0; i < 2; ++i) {
        const auto& message = reporter.messages()[i];
        EXPECT_EQ(message.caption, expected[i].first);
        EXPECT_EQ(message.icon, MessageIcon::Stop);
        EXPECT_NE(message.text.find("\n\t説明 = no such table: "), std::string::npos) << message.text;
        EXPECT_TRUE(message.text.ends_with(std::string("\n\t関数 = ") + expected[i].second)) << message.text;
    }
    EXPECT_EQ(pane->article_list()->_row_count(), 0);
    EXPECT_EQ(pane->law_selector()->_law_id(), "");
}

} // namespace
} // namespace velto::test
