// The contents tree on the pane's first tab: its items, pictures, expansion
// and what selecting an item shows.
#include "catalog/contents_tree.h"
#include "nav/plain_text.h"
#include "tests/nav/pane_fixture.h"

#include <QApplication>
#include <QHelpEvent>
#include <QImage>
#include <QPixmap>
#include <QToolTip>

#include <set>

using namespace velto;

namespace {

const char* const kTreeSql = R"sql(
INSERT INTO T_法 VALUES ('00A', 'ヴェルト', 'ヴェルト', 'ヴェルト', -1);
INSERT INTO T_法 VALUES ('01A', '建築基準法', '法', '建築基準法', -1);
INSERT INTO T_法 VALUES ('02K', '告示', '告', '告示', -1);
INSERT INTO T_章 VALUES ('01A-0100-0000-0000-0000', '総則', NULL, NULL, NULL, 0);
INSERT INTO T_章 VALUES ('01A-0100-0100-0000-0000', '総則', '通則', NULL, NULL, 0);
INSERT INTO T_条 VALUES ('00A-Z0010000-00', '00A-0000-0000-0000-0000', '表紙', '', 0, 0, -1);
INSERT INTO T_条 VALUES ('01A-00010000-00', '01A-0100-0100-0000-0000', '目的', '', 0, 0, -1);
INSERT INTO T_条 VALUES ('01A-00020000-00', '01A-0100-0000-0000-0000', '用語の定義', '', 2, 0, -1);
INSERT INTO T_条 VALUES ('01A-00020000-01', '01A-0100-0000-0000-0000', '', '第二号以下', 2, 0, -1);
INSERT INTO T_条 VALUES ('01A-00030000-00', '01A-0000-0000-0000-0000', '適用', '', 0, 0, -1);
INSERT INTO T_条 VALUES ('01A-00040000-00', '01A-0000-0000-0000-0000', '建築物の敷地、構造、建築設備及び用途に関する最低の基準を定めて国民の生命、健康及び財産の保護を図り、もつて公共の福祉の増進に資することを目的とする規定の適用の特例', '', 0, 0, -1);
INSERT INTO T_条 VALUES ('01A-T0010000-00', '01A-0000-0000-0000-0000', '用途', '', 0, 0, -1);
INSERT INTO T_条 VALUES ('02K-KD190101-00', '02K-0000-0000-0000-0000', '告示', '', 0, 0, -1);
)sql";

class Tree : public test::PaneFixture {
protected:
    void SetUp() override
    {
        PaneFixture::SetUp();
        test::build_fixture_db(dir.file("VT2014.m88"), {kTreeSql});
        open_pane();
        tree = pane->tree();
    }

    // The tree as the widget holds it, in the form of the command line's listing.
    std::string widget_listing() const
    {
        std::string out;
        for (int i = 0; i < tree->topLevelItemCount(); ++i)
            list(tree->topLevelItem(i), 0, out);
        return out;
    }

    void list(const QTreeWidgetItem* item, int depth, std::string& out) const
    {
        out.append(static_cast<std::size_t>(depth) * 2, ' ');
        out += item->text(0).toStdString() + '\t' + tree->_id_for_item(item) + '\t' +
               std::to_string(VTreeCtrl::_state_of(item)) + '\n';
        for (int i = 0; i < item->childCount(); ++i)
            list(item->child(i), depth + 1, out);
    }

    static bool shows_picture(const QTreeWidgetItem* item, int state)
    {
        return item->icon(0).cacheKey() == VTreeCtrl::state_icon(state).cacheKey();
    }

    VTreeCtrl* tree = nullptr;
};

} // namespace

TEST_F(Tree, MirrorsTheContentsWithMapsAndPictures)
{
    ContentsTree contents;
    ASSERT_TRUE(contents.build(doc->database(), *doc, reporter));
    EXPECT_EQ(widget_listing(), contents.listing());
    EXPECT_TRUE(reporter.messages().empty());

    // Every node entered in the maps is found both ways, every item shows
    // the picture of its state, and rows are 18 pixels high.
    for (const TreeNode& node : contents.nodes()) {
        if (node.id.empty())
            continue;
        QTreeWidgetItem* item = tree->_item_for_id(node.id);
        ASSERT_NE(item, nullptr) << node.id;
        EXPECT_EQ(tree->_id_for_item(item), node.id);
        EXPECT_TRUE(shows_picture(item, node.image)) << node.id;
    }
    EXPECT_EQ(tree->_item_for_id("01A-00020000"), nullptr);
    EXPECT_EQ(tree->visualItemRect(tree->topLevelItem(0)).height(), VTreeCtrl::kItemHeight);
    EXPECT_EQ(tree->iconSize(), VTreeCtrl::kStateImageSize);
}

TEST_F(Tree, StatePicturesAreThirteenDistinctImages)
{
    std::set<QByteArray> seen;
    for (int state = 1; state <= VTreeCtrl::kStateImageCount; ++state) {
        const QImage image = VTreeCtrl::state_icon(state).pixmap(VTreeCtrl::kStateImageSize).toImage();
        ASSERT_FALSE(image.isNull()) << state;
        bool drawn = false;
        for (int y = 0; y < image.height() && !drawn; ++y)
            for (int x = 0; x < image.width() && !drawn; ++x)
                drawn = qAlpha(image.pixel(x, y)) != 0;
        EXPECT_TRUE(drawn) << state;
        const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
        seen.insert(QByteArray(reinterpret_cast<const char*>(argb.constBits()), static_cast<int>(argb.sizeInBytes())));
    }
    EXPECT_EQ(seen.size(), static_cast<std::size_t>(VTreeCtrl::kStateImageCount));
    EXPECT_TRUE(VTreeCtrl::state_icon(0).isNull());
    EXPECT_TRUE(VTreeCtrl::state_icon(VTreeCtrl::kStateImageCount + 1).isNull());
}

TEST_F(Tree, ExpandingSwitchesTheFolderPictureOfLawsAndHeadingsOnly)
{
    QTreeWidgetItem* law = tree->_item_for_id("01A");
    QTreeWidgetItem* chapter = tree->_item_for_id("01A-0100-0000-0000-0000");
    QTreeWidgetItem* article = tree->_item_for_id("01A-00020000-00")->parent();
    ASSERT_TRUE(law && chapter && article);
    EXPECT_EQ(VTreeCtrl::_state_of(law), VTreeCtrl::kStateFolderCollapsed);

    tree->expandItem(law);
    EXPECT_EQ(VTreeCtrl::_state_of(law), VTreeCtrl::kStateFolderExpanded);
    EXPECT_TRUE(shows_picture(law, VTreeCtrl::kStateFolderExpanded));
    EXPECT_EQ(VTreeCtrl::_state_of(chapter), VTreeCtrl::kStateFolderCollapsed);

    tree->expandItem(chapter);
    tree->expandItem(article);
    EXPECT_EQ(VTreeCtrl::_state_of(chapter), VTreeCtrl::kStateFolderExpanded);
    // The node of a split article has no identifier and keeps its page picture.
    EXPECT_EQ(VTreeCtrl::_state_of(article), VTreeCtrl::kStatePage);

    tree->collapseItem(law);
    EXPECT_EQ(VTreeCtrl::_state_of(law), VTreeCtrl::kStateFolderCollapsed);
    EXPECT_TRUE(shows_picture(law, VTreeCtrl::kStateFolderCollapsed));
    EXPECT_EQ(VTreeCtrl::_state_of(chapter), VTreeCtrl::kStateFolderExpanded);
    tree->collapseItem(article);
    EXPECT_EQ(VTreeCtrl::_state_of(article), VTreeCtrl::kStatePage);
}

TEST_F(Tree, SelectingAPageShowsItAndTheSplitArticleNodeShowsNothing)
{
    QTreeWidgetItem* second = tree->_item_for_id("01A-00020000-01");
    ASSERT_NE(second, nullptr);
    QTreeWidgetItem* article = second->parent();
    ASSERT_EQ(article->childCount(), 2);
    EXPECT_EQ(article->child(0)->text(0).toStdString(), "2条 (01)　");
    EXPECT_EQ(second->text(0).toStdString(), "2条 (02)　第二号以下");

    tree->setCurrentItem(article);
    EXPECT_EQ(tree->_selected_id(), "");
    EXPECT_TRUE(view.shown.empty());

    tree->setCurrentItem(second);
    EXPECT_EQ(view.shown, std::vector<std::string>{"01A-00020000-01"});
    // Enter opens the selected item again.
    send_key(tree, QEvent::KeyPress, Qt::Key_Return);
    EXPECT_EQ(view.shown, (std::vector<std::string>{"01A-00020000-01", "01A-00020000-01"}));
}

TEST_F(Tree, SynchronisingOpensTheWayToThePageOrClearsTheSelection)
{
    QTreeWidgetItem* law = tree->_item_for_id("01A");
    QTreeWidgetItem* section = tree->_item_for_id("01A-0100-0100-0000-0000");
    ASSERT_TRUE(law && section);
    ASSERT_FALSE(law->isExpanded());

    EXPECT_TRUE(pane->_sync("01A-00010000-00"));
    EXPECT_EQ(tree->_selected_id(), "01A-00010000-00");
    EXPECT_EQ(view.shown, std::vector<std::string>{"01A-00010000-00"});
    // The item's ancestors are opened and show the open picture.
    EXPECT_TRUE(section->isExpanded());
    EXPECT_EQ(VTreeCtrl::_state_of(law), VTreeCtrl::kStateFolderExpanded);
    EXPECT_EQ(VTreeCtrl::_state_of(section), VTreeCtrl::kStateFolderExpanded);

    // A page the tree does not hold leaves nothing selected and nothing shown.
    view.forget();
    EXPECT_TRUE(pane->_sync("01A-00990000-00"));
    EXPECT_EQ(tree->_selected_id(), "");
    EXPECT_TRUE(tree->selectedItems().isEmpty());
    EXPECT_EQ(tree->currentItem(), nullptr);
    EXPECT_TRUE(view.shown.empty());
}

TEST_F(Tree, ATitleShownCutComesWholeAsTheTooltip)
{
    const std::string long_title = "建築物の敷地、構造、建築設備及び用途に関する最低の基準を定めて国民の生命、健康及び財産の保護を図り、"
                                   "もつて公共の福祉の増進に資することを目的とする規定の適用の特例";
    tree->expandItem(tree->_item_for_id("01A"));
    QTreeWidgetItem* cut = tree->_item_for_id("01A-00040000-00");
    QTreeWidgetItem* whole = tree->_item_for_id("01A-00030000-00");
    ASSERT_TRUE(cut && whole);
    ASSERT_TRUE(cut->text(0).endsWith(QStringLiteral(" ... ")));
    const auto tip = [&](QTreeWidgetItem* item) { return tree->_whole_text(tree->indexFromItem(item)).toStdString(); };

    window->resize(1400, 600);
    QApplication::processEvents();
    // Cut at 150 bytes by the tree: the whole title; short enough: none.
    EXPECT_EQ(tip(cut), "4条　" + long_title);
    EXPECT_EQ(tip(whole), "");
    // Cut by a narrow pane: the text as it is.
    window->resize(120, 600);
    QApplication::processEvents();
    EXPECT_EQ(tip(whole), "3条　適用");

    // The tooltip itself.
    QHelpEvent hover(QEvent::ToolTip, tree->visualItemRect(cut).center(),
                     tree->viewport()->mapToGlobal(tree->visualItemRect(cut).center()));
    QApplication::sendEvent(tree->viewport(), &hover);
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(test::tooltip_words(), "4条　" + long_title);
    QToolTip::hideText();
}

// Names and titles as a database may hold them: escaped as the importer
// stores them, or crafted as markup to freeze, bloat or spoof the window.
class HostileTree : public test::PaneFixture {
protected:
    void SetUp() override
    {
        PaneFixture::SetUp();
        std::string nested;
        for (int i = 0; i < 20000; ++i)
            nested += "<table><tr><td>";
        const std::string sql =
            "INSERT INTO T_法 VALUES ('01A', 'A &amp; B &lt;img src=x&gt; &quot;q&quot; &#39;s&#39; &#91;第1条&#93;', "
            "'法', '法', -1);"
            "INSERT INTO T_法 VALUES ('02A', '" + nested + "入れ子の法', '入', '入', -1);"
            "INSERT INTO T_条 VALUES ('01A-00010000-00', '01A-0000-0000-0000-0000', "
            "'<img src=\"/usr/share/pixmaps/debian-logo.png\" width=30000 height=30000><font color=red>偽</font>', "
            "'', 0, 0, -1);"
            "INSERT INTO T_条 VALUES ('01A-00020000-00', '01A-0000-0000-0000-0000', '&lt;img src=x width=30000&gt;', "
            "'', 0, 0, -1);"
            "INSERT INTO T_条 VALUES ('02A-00010000-00', '02A-0000-0000-0000-0000', '" + nested + "', '', 0, 0, -1);";
        test::build_fixture_db(dir.file("VT2014.m88"), {sql});
        open_pane();
        tree = pane->tree();
        tree->expandAll();
        window->resize(160, 600); // every text shows cut in the narrow pane: each has a tooltip
        QApplication::processEvents();
    }

    // Hovers the item of `id`; the words its tooltip shows.
    std::string hover(const std::string& id)
    {
        QTreeWidgetItem* item = tree->_item_for_id(id);
        EXPECT_NE(item, nullptr) << id;
        if (!item)
            return {};
        tree->scrollToItem(item);
        const QPoint at = tree->visualItemRect(item).center();
        QHelpEvent event(QEvent::ToolTip, at, tree->viewport()->mapToGlobal(at));
        QApplication::sendEvent(tree->viewport(), &event);
        const std::string words = QToolTip::isVisible() ? test::tooltip_words() : std::string();
        QToolTip::hideText();
        return words;
    }

    VTreeCtrl* tree = nullptr;
};

TEST_F(HostileTree, ShowsTheWordsAReaderSeesAndTooltipsAsPlainText)
{
    const struct {
        const char* id;
        std::string text;
    } cases[] = {
        {"01A", "A & B <img src=x> \"q\" 's' [第1条]"},
        {"01A-00010000-00", "1条　偽"},
        {"01A-00020000-00", "2条　<img src=x width=30000>"},
        {"02A", "入れ子の法"},
        {"02A-00010000-00", "1条　"},
    };
    for (const auto& c : cases) {
        QTreeWidgetItem* item = tree->_item_for_id(c.id);
        ASSERT_NE(item, nullptr) << c.id;
        EXPECT_EQ(item->text(0).toStdString(), c.text) << c.id;
        EXPECT_EQ(hover(c.id), c.text) << c.id; // cut by the narrow pane: the words whole

    }
    // The markup characters a tooltip shows are text, not markup; long ones are cut.
    const QString tip = plain_tooltip(QString::fromStdString(cases[0].text));
    EXPECT_TRUE(tip.contains(QStringLiteral("&lt;img src=x&gt;"))) << tip.toStdString();
    EXPECT_LE(plain_tooltip(QString(5000, QLatin1Char('x'))).size(), kMaxTooltipCharacters + 100);
}
