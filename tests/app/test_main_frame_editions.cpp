// 改正比較 and この条の改正 in the window: disabled where nothing is stored to
// compare; on the build's folder the line under an article's title opens the
// list of changed articles with that article's 新旧対照.
#include "app/edition_compare_dialog.h"
#include "core/text_replace.h"
#include "tests/app/main_frame_fixture.h"

#include <QTreeWidget>

namespace velto::test {
namespace {

TEST_F(MainFrameTest, EditionCommandsAreDisabledWithoutEarlierEditions)
{
    open_frame();
    ASSERT_TRUE(show("01A-00010000-00"));
    for (int id : {cmd::CompareEditions, cmd::ArticleHistory}) {
        EXPECT_FALSE(frame->command_enabled(id)) << id;
        EXPECT_FALSE(frame->run_command(id)) << id;
    }
    ASSERT_NE(frame->action(cmd::CompareEditions), nullptr); // in the toolbar and the menu, greyed
    EXPECT_FALSE(frame->action(cmd::CompareEditions)->isEnabled());
    std::string html;
    ASSERT_TRUE(doc->_html_build("01A-00010000-00", html));
    EXPECT_EQ(html.find("この条の改正"), std::string::npos);
}

TEST_F(MainFrameTest, TheLineUnderATitleOpensTheArticlesComparison)
{
    doc.reset();
    std::filesystem::copy_file(VELTO_BINARY_DIR "/VT2014.m88", dir.file("VT2014.m88"),
                               std::filesystem::copy_options::overwrite_existing);
    start_document();
    open_frame();
    ASSERT_TRUE(show("01B-01080400-00"));
    EXPECT_TRUE(frame->command_enabled(cmd::CompareEditions));
    EXPECT_TRUE(frame->command_enabled(cmd::ArticleHistory));

    std::string html;
    ASSERT_TRUE(doc->_html_build("01B-01080400-00", html));
    const std::size_t at = html.find("velto-diff:compare?");
    ASSERT_NE(at, std::string::npos);
    EXPECT_NE(html.find("令和7年12月1日施行</a>（移動）"), std::string::npos);
    std::string link = html.substr(at, html.find('"', at) - at);
    replace_all(link, "&amp;", "&");
    ASSERT_TRUE(frame->open_comparison_link(link));

    EditionCompareDialog* dialog = frame->compare_dialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->counts_label()->text().contains(QStringLiteral("移動 7件")));
    const QTreeWidgetItem* chosen = dialog->change_list()->currentItem();
    ASSERT_NE(chosen, nullptr);
    EXPECT_EQ(chosen->text(0), QStringLiteral("移動"));
    EXPECT_EQ(chosen->text(1), QStringLiteral("第108条の4"));
    EXPECT_EQ(chosen->text(3), QStringLiteral("01B-01080300-00"));
    EXPECT_TRUE(dialog->columns_html().contains(QStringLiteral("<u class=\"changed\">特定</u>主要構造部")));
    EXPECT_FALSE(frame->open_comparison_link("velto-diff:compare?law=99Z&older=a&newer=b&newer_id=c"));
}

} // namespace
} // namespace velto::test
