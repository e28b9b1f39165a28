#include "core/report.h"

#include <gtest/gtest.h>

using namespace velto;

TEST(Report, ComponentErrorInBothLayouts)
{
    const ComponentError error(0x80004005, "Unspecified error", std::string("SQLite"), std::nullopt);
    EXPECT_EQ(report_text(error, ReportVariant::Plain, "CVeltoDoc::_html_build()"),
              "#importによって生成されたクラスに対し例外が生成されました。\n\n"
              "コード = 80004005\n意味 = Unspecified error\nソース = SQLite\n説明 = (null)\n"
              "関数 = CVeltoDoc::_html_build()");
    const ComponentError small(26, "file is not a database", std::nullopt, std::string("file is not a database"));
    EXPECT_EQ(report_text(small, ReportVariant::Tab, "CVeltoDoc::_db_open()"),
              "#importによって生成されたクラスに対し例外が生成されました。\n\n"
              "\tコード = 0000001a\n\t意味 = file is not a database\n\tソース = (null)\n\t説明 = file is not a database\n"
              "\t関数 = CVeltoDoc::_db_open()");
}

TEST(Report, SpecificAndUnexpectedMessagesEndInTheFunction)
{
    EXPECT_EQ(report_text("データベースの接続に失敗しました。\n\n", ReportVariant::Tab, "CVeltoDoc::_db_open()"),
              "データベースの接続に失敗しました。\n\n\t関数 = CVeltoDoc::_db_open()");
    EXPECT_EQ(report_unexpected_text(ReportVariant::Plain, "VTreeCtrl::_show()"),
              "処理されない例外が発生しました。\n\n関数 = VTreeCtrl::_show()");

    CapturingReporter reporter;
    report(reporter, {"ツリーの生成", "VTreeCtrl::_show()"}, ReportVariant::Plain, "x\n\n");
    ASSERT_EQ(reporter.messages().size(), 1u);
    EXPECT_EQ(reporter.messages()[0].caption, "ツリーの生成");
    EXPECT_EQ(reporter.messages()[0].icon, MessageIcon::Stop);
    EXPECT_EQ(reporter.messages()[0].buttons, MessageButtons::Ok);
}
