#include "compose/velto_doc.h"
#include "tests/fixtures.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

using namespace velto;
using velto::test::TempDir;

namespace {

// Starts `doc` on the program folder `dir`, where the system's browser opens any address.
bool start_in(CVeltoDoc& doc, const TempDir& dir)
{
    DocumentOptions options;
    options.program_dir = dir.path();
    options.open_address = [](const std::string&) { return true; };
    return doc.OnNewDocument(options);
}

class FakePageView : public PageViewLink {
public:
    std::string id;
    int rebuilds = 0;
    std::string current_page_id() const override { return id; }
    void rebuild_current_page() override { ++rebuilds; }
};

// A program folder with the standard fixture database and a started document.
class Document : public ::testing::Test {
protected:
    void SetUp() override
    {
        velto::test::build_fixture_db(dir.file("VT2014.m88"), {velto::test::standard_fixture_sql()});
        doc = std::make_unique<CVeltoDoc>(settings, reporter);
        options.program_dir = dir.path();
        ASSERT_TRUE(doc->OnNewDocument(options));
        ASSERT_TRUE(reporter.messages().empty());
    }

    TempDir dir;
    MemorySettingsStore settings;
    CapturingReporter reporter;
    DocumentOptions options;
    std::unique_ptr<CVeltoDoc> doc;
};

std::vector<std::string> ids(const std::vector<HistoryEntry>& entries)
{
    std::vector<std::string> out;
    for (const auto& e : entries)
        out.push_back(e.id);
    return out;
}

} // namespace

TEST_F(Document, DerivesItsFoldersFromTheProgramFolder)
{
    EXPECT_EQ(doc->program_dir(), dir.path());
    EXPECT_EQ(doc->database_path(), dir.path() + "VT2014.m88");
    EXPECT_EQ(doc->working_dir(), dir.path() + "temp/");
    EXPECT_EQ(doc->image_dir(), dir.path() + "images14/");
    EXPECT_EQ(doc->table_dir(), dir.path() + "table/");
    EXPECT_TRUE(std::filesystem::is_directory(dir.path() + "temp"));
    EXPECT_TRUE(doc->connected());
}

TEST(DocumentWorkingFolder, AProgramFolderThatTakesNoFilesComposesInTheSpareFolder)
{
    // "temp" taken by a file: the program folder cannot hold composed pages.
    TempDir dir, spare;
    velto::test::build_fixture_db(dir.file("VT2014.m88"), {velto::test::standard_fixture_sql()});
    std::ofstream(dir.file("temp")) << "not a folder";
    for (const bool with_spare : {true, false}) {
        MemorySettingsStore settings;
        CapturingReporter reporter;
        CVeltoDoc doc(settings, reporter);
        DocumentOptions options;
        options.program_dir = dir.path();
        if (with_spare)
            options.spare_working_dir = spare.file("temp");
        ASSERT_TRUE(doc.OnNewDocument(options));
        std::string file;
        EXPECT_EQ(doc._write_page("00A-Z0010000-00", "<p>page</p>", file), with_spare);
        if (with_spare) {
            EXPECT_TRUE(reporter.messages().empty());
            EXPECT_EQ(file, spare.file("temp/00A-Z0010000-00.tmp"));
        } else {
            ASSERT_EQ(reporter.messages().size(), 1u);
            EXPECT_EQ(reporter.messages()[0].text, "テンポラリフォルダが作成できませんでした。");
        }
    }
}

TEST(DocumentWorkingFolder, OnlyAFolderPrivateToTheUserTakesPagesAndNoLinkIsWrittenThrough)
{
    namespace fs = std::filesystem;
    enum class Temp { OtherUsers, OpenToAll, ALink };
    const struct {
        Temp temp;
        bool used;
    } cases[] = {{Temp::OtherUsers, false}, {Temp::OpenToAll, true}, {Temp::ALink, false}};
    for (const auto& c : cases) {
        TempDir dir, spare;
        velto::test::build_fixture_db(dir.file("VT2014.m88"), {velto::test::standard_fixture_sql()});
        velto::test::write_file(dir.file("victim"), "the victim's file");
        const std::string temp = dir.file("temp");
        fs::create_directory(c.temp == Temp::ALink ? dir.file("elsewhere") : temp);
        if (c.temp == Temp::ALink)
            fs::create_directory_symlink(dir.file("elsewhere"), temp);
        ::chmod(temp.c_str(), 0777);
        fs::create_symlink(dir.file("victim"), temp + "/01A-00070000-00.tmp");
        if (c.temp == Temp::OtherUsers && ::chown(temp.c_str(), 65534, 65534) != 0)
            continue; // no other user to give it to here
        MemorySettingsStore settings;
        CapturingReporter reporter;
        CVeltoDoc doc(settings, reporter);
        DocumentOptions options;
        options.program_dir = dir.path();
        options.spare_working_dir = spare.file("temp");
        ASSERT_TRUE(doc.OnNewDocument(options));
        // A link planted while the reader runs is replaced, not written through.
        const std::string page = (c.used ? dir.path() : spare.path()) + "temp/01A-00070000-00.tmp";
        fs::create_symlink(dir.file("victim"), page);
        std::string file;
        ASSERT_TRUE(doc._write_page("01A-00070000-00", "<p>第7条</p>", file));
        EXPECT_EQ(file, page);
        EXPECT_EQ(velto::test::read_file(file), "<p>第7条</p>");
        EXPECT_FALSE(fs::is_symlink(file));
        EXPECT_EQ(velto::test::read_file(dir.file("victim")), "the victim's file");
        EXPECT_EQ(fs::status(temp).permissions() & fs::perms::all,
                  c.used ? fs::perms::owner_all : fs::perms::all); // made private, or left alone
        EXPECT_TRUE(reporter.messages().empty());
    }
}

TEST_F(Document, LoadsTheShownLawsWithTheirThreeNames)
{
    EXPECT_EQ(doc->laws().order(), (std::vector<std::string>{"00A", "01A", "02K"}));
    EXPECT_EQ(doc->_law_name("01A", 1), "建築基準法");
    EXPECT_EQ(doc->_law_name("01A", 2), "法");
    EXPECT_EQ(doc->_law_name("01A", 3), "建築基準法（昭和二十五年法律第二百一号）");
    EXPECT_EQ(doc->_law_name("01A", 7), "建築基準法");
    EXPECT_EQ(doc->_law_name("02K", 2), ""); // NULL name
    EXPECT_EQ(doc->_law_name("01B", 1), ""); // hidden law
    EXPECT_EQ(doc->_law_name("01", 1), "");
}

TEST_F(Document, ThePageListIsReadWhenFirstNeeded)
{
    // The start page of the program does not wait for the list of all pages.
    EXPECT_FALSE(doc->pages_read());
    std::string html;
    ASSERT_TRUE(doc->_html_build("00A-Z0010000-00", html));
    doc->_status_caption("00A-Z0010000-00");
    doc->_history_add(HistoryEntry{"", 0, 0});
    EXPECT_FALSE(doc->pages_read());
    // The first lookup reads it.
    EXPECT_EQ(doc->_next_page("01A-00010000-00").id, "01A-00020000-00");
    EXPECT_TRUE(doc->pages_read());
    EXPECT_TRUE(reporter.messages().empty());
}

TEST_F(Document, BuildsThePageListAndItsMaps)
{
    EXPECT_EQ(ids(doc->pages().pages()),
              (std::vector<std::string>{"00A-Z0010000-00", "01A-00010000-00", "01A-00020000-00", "01A-00020000-01",
                                        "01A-00030000-00", "01A-00030000-01", "01A-00030000-02", "01A-00040000-01",
                                        "01A-00060200-00", "01A-F0000000-00", "01A-T0010000-00", "02K-KD180543-00",
                                        "02K-KD180543-01"}));

    std::string name, supplement;
    // A first page without a caption gives its continuation pages none either.
    ASSERT_TRUE(doc->_page_names("01A-00020000-01", name, supplement));
    EXPECT_EQ(name, "");
    EXPECT_EQ(supplement, "続き");
    // Continuation pages inherit the caption of the first page ...
    ASSERT_TRUE(doc->_page_names("01A-00030000-01", name, supplement));
    EXPECT_EQ(name, "適用の除外");
    // ... unless they have their own, which does not change what later pages inherit.
    ASSERT_TRUE(doc->_page_names("01A-00030000-02", name, supplement));
    EXPECT_EQ(name, "独自の名");
    ASSERT_TRUE(doc->_page_names("01A-00040000-01", name, supplement));
    EXPECT_EQ(name, "適用の除外");
    // A short identifier has names only.
    ASSERT_TRUE(doc->_page_names("01A-0005000-00", name, supplement));
    EXPECT_EQ(name, "短い");
    EXPECT_FALSE(doc->_page_names("01A-00060000-00", name, supplement)); // hidden page

    // Split pages tell their count and number alike from the page list and,
    // before it is read, from the split pages alone.
    for (const bool from_page_list : {true, false}) {
        if (!from_page_list) {
            doc = std::make_unique<CVeltoDoc>(settings, reporter);
            ASSERT_TRUE(doc->OnNewDocument(options));
            ASSERT_FALSE(doc->pages_read());
        }
        int count = -1, number = -1;
        ASSERT_TRUE(doc->_split_info("01A-00030000-00", count, number));
        EXPECT_EQ(std::pair(count, number), std::pair(3, 1));
        ASSERT_TRUE(doc->_split_info("01A-00030000-02", count, number));
        EXPECT_EQ(std::pair(count, number), std::pair(3, 3));
        ASSERT_TRUE(doc->_split_info("02K-KD180543-01", count, number));
        EXPECT_EQ(std::pair(count, number), std::pair(2, 2));
        EXPECT_FALSE(doc->_split_info("01A-00040000-01", count, number)); // 分割 1
        EXPECT_EQ(std::pair(count, number), std::pair(0, 0));
        EXPECT_FALSE(doc->_split_info("01A-0005000-00", count, number));  // short identifier
        EXPECT_FALSE(doc->_split_info("01A-00020000-00", count, number)); // 分割 NULL
        EXPECT_FALSE(doc->_split_info("01A-00060000-00", count, number)); // 分割 past the most pages
        EXPECT_EQ(doc->pages_read(), from_page_list);
    }
}

TEST_F(Document, MovesThroughTheOrderedPageList)
{
    EXPECT_EQ(doc->_prev_page("00A-Z0010000-00").id, "");
    EXPECT_EQ(doc->_prev_page("01A-00010000-00").id, "00A-Z0010000-00");
    EXPECT_EQ(doc->_prev_page("01A-99990000-00").id, "02K-KD180543-01"); // unknown: the last page
    EXPECT_EQ(doc->_next_page("01A-00010000-00").id, "01A-00020000-00");
    EXPECT_EQ(doc->_next_page("02K-KD180543-01").id, "");
    EXPECT_EQ(doc->_next_page("01A-99990000-00").id, "");

    // Reading positions kept in the list come back with the entry.
    HistoryEntry* entry = doc->pages().find("01A-00010000-00");
    ASSERT_NE(entry, nullptr);
    entry->x = 3;
    entry->y = 120;
    const HistoryEntry prev = doc->_prev_page("01A-00020000-00");
    EXPECT_EQ(prev.y, 120);
    EXPECT_EQ(prev.x, 3);
}

TEST_F(Document, PageMovesDependOnThePageShown)
{
    EXPECT_FALSE(doc->_can_go_prev()); // no page view
    EXPECT_FALSE(doc->_can_go_next());
    EXPECT_EQ(doc->_synchro_effective(), 1);

    FakePageView view;
    doc->set_page_view(&view);
    view.id = "00A-Z0010000-00"; // the cover
    EXPECT_FALSE(doc->_can_go_prev());
    EXPECT_FALSE(doc->_can_go_next());
    EXPECT_EQ(doc->_synchro_effective(), 0);

    view.id = "01A-00010000-00";
    EXPECT_TRUE(doc->_can_go_prev());
    EXPECT_TRUE(doc->_can_go_next());
    EXPECT_EQ(doc->_synchro_effective(), 1);
    doc->toggles().Synchro = 0;
    EXPECT_EQ(doc->_synchro_effective(), 0);

    view.id = "02K-KD180543-01";
    EXPECT_TRUE(doc->_can_go_prev());
    EXPECT_FALSE(doc->_can_go_next());
    view.id = "01A-0000000-00";
    EXPECT_FALSE(doc->_can_go_prev());
    doc->set_page_view(nullptr);
}

TEST_F(Document, StatusCaptionByKindOfPage)
{
    const std::string blanks = "　　　　　　　　　　";
    EXPECT_EQ(doc->_status_caption("01A-00010000-00"), "建築基準法 第1条");
    EXPECT_EQ(doc->_status_caption("01A-00060200-00"), "建築基準法 第6条の2");
    EXPECT_EQ(doc->_status_caption("01A-F0000000-00"), "建築基準法 附則");
    EXPECT_EQ(doc->_status_caption("02K-KD180543-01"), "告示 平18年 543号 構造計算 (P.02/02)");
    EXPECT_EQ(doc->_status_caption("01A-T0010000-00"), "別表第1");
    EXPECT_EQ(doc->_status_caption("00A-Z0010000-00"), blanks);
    EXPECT_EQ(doc->_status_caption("01A-00000000-00"), blanks);
    EXPECT_EQ(doc->_status_caption("01A-0001000-00"), blanks);
    EXPECT_EQ(doc->_status_caption(""), blanks);

    std::string shown;
    doc->set_status_sink([&](const std::string& text) { shown = text; });
    doc->_status_caption("01A-00010000-00");
    EXPECT_EQ(shown, "建築基準法 第1条");
}

TEST_F(Document, WritesPageFilesWithCrLfAndRefusesUnsafeNames)
{
    std::string file;
    ASSERT_TRUE(doc->_write_page("01A-00010000-00", "<html>\n<body>本文</body>\n</html>", file));
    EXPECT_EQ(file, dir.path() + "temp/01A-00010000-00.tmp");
    EXPECT_EQ(velto::test::read_file(file), "<html>\r\n<body>本文</body>\r\n</html>");
    ASSERT_TRUE(doc->_write_page("01A-00010000-00", "短い", file));
    EXPECT_EQ(velto::test::read_file(file), "短い");

    for (const char* bad : {"01A-00010000-0", "01A-00010000-000", "../../etc/pwd", "01A/0010000-00", "01A.00010000.00",
                            "01A-0001000\\-00", "01A-00010000-0\xE3"})
        EXPECT_FALSE(doc->_write_page(bad, "x", file)) << bad;
    // A NUL inside a 15-character identifier (the split literal ends the octal escape).
    EXPECT_FALSE(doc->_write_page(std::string("01A-0001\0" "000-00", 15), "x", file));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path() + "temp"), {}), 1);
}

TEST(DocumentStartUp, EmptiesTheWorkingFolderAtStartAndEnd)
{
    TempDir dir;
    velto::test::build_fixture_db(dir.file("VT2014.m88"), {velto::test::standard_fixture_sql()});
    std::filesystem::create_directory(dir.path() + "temp");
    velto::test::write_file(dir.path() + "temp/left-over.tmp", "old");
    MemorySettingsStore settings;
    CapturingReporter reporter;
    {
        CVeltoDoc doc(settings, reporter);
        DocumentOptions options;
        options.program_dir = dir.path();
        ASSERT_TRUE(doc.OnNewDocument(options));
        EXPECT_FALSE(std::filesystem::exists(dir.path() + "temp/left-over.tmp"));
        std::string file;
        ASSERT_TRUE(doc._write_page("01A-00010000-00", "x", file));
        doc.OnCloseDocument();
        EXPECT_TRUE(std::filesystem::exists(file)); // closing leaves the folder alone
    }
    EXPECT_TRUE(std::filesystem::is_empty(dir.path() + "temp"));
}

TEST(DocumentStartUp, CommandLineModeNeverTouchesTheWorkingFolder)
{
    TempDir dir;
    velto::test::build_fixture_db(dir.file("VT2014.m88"), {velto::test::standard_fixture_sql()});
    std::filesystem::create_directory(dir.path() + "temp");
    velto::test::write_file(dir.path() + "temp/01A-00010000-00.tmp", "a running reader's page");
    MemorySettingsStore settings;
    CapturingReporter reporter;
    {
        CVeltoDoc doc(settings, reporter);
        DocumentOptions options;
        options.program_dir = dir.path();
        options.use_working_folder = false;
        ASSERT_TRUE(doc.OnNewDocument(options));
        std::string file;
        EXPECT_FALSE(doc._write_page("01A-00020000-00", "x", file));
    }
    EXPECT_EQ(velto::test::read_file(dir.path() + "temp/01A-00010000-00.tmp"), "a running reader's page");
}

TEST(DocumentStartUp, MissingDatabaseReportsTheConnectionThenTheEnvironment)
{
    TempDir dir;
    MemorySettingsStore settings;
    CapturingReporter reporter(MessageAnswer::Yes);
    std::vector<std::string> opened;
    velto::test::write_file(dir.path() + "help14.html", "<html></html>");
    CVeltoDoc doc(settings, reporter);
    DocumentOptions options;
    options.program_dir = dir.path();
    options.open_address = [&](const std::string& address) {
        opened.push_back(address);
        return true;
    };
    EXPECT_FALSE(doc.OnNewDocument(options));
    EXPECT_FALSE(std::filesystem::exists(dir.path() + "VT2014.m88"));

    ASSERT_EQ(reporter.messages().size(), 2u);
    const auto& connection = reporter.messages()[0];
    EXPECT_EQ(connection.caption, "データベースの接続");
    EXPECT_EQ(connection.icon, MessageIcon::Stop);
    EXPECT_EQ(connection.text.rfind("#importによって生成されたクラスに対し例外が生成されました。\n\n\tコード = 0000000e\n\t意味 = ", 0), 0u)
        << connection.text;
    EXPECT_NE(connection.text.find("\n\tソース = SQLite\n\t説明 = unable to open database file\n\t関数 = CVeltoDoc::_db_open()"),
              std::string::npos)
        << connection.text;
    const auto& environment = reporter.messages()[1];
    EXPECT_EQ(environment.caption, "ヴェルト　エラー情報");
    EXPECT_EQ(environment.buttons, MessageButtons::YesNo);
    EXPECT_EQ(environment.icon, MessageIcon::Exclamation);
    EXPECT_EQ(environment.text.substr(environment.text.size() - std::string("ホームページを参照しますか？").size()),
              "ホームページを参照しますか？");
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], "file://" + dir.path() + "help14.html#environment");
}

TEST(DocumentStartUp, ADamagedDatabaseIsNamedWithWhatToDo)
{
    // Not a database, its header alone, half of it: what a damaged or half-written file looks like.
    const std::string whole = velto::test::read_file(VELTO_BINARY_DIR "/sample/VT2014.m88");
    ASSERT_GT(whole.size(), 8192u);
    for (const std::string& bytes : {std::string("garbage\n"), whole.substr(0, 4096), whole.substr(0, whole.size() / 2)}) {
        TempDir dir;
        velto::test::write_file(dir.file("VT2014.m88"), bytes);
        MemorySettingsStore settings;
        CapturingReporter reporter(MessageAnswer::Yes);
        CVeltoDoc doc(settings, reporter);
        EXPECT_FALSE(start_in(doc, dir));
        EXPECT_TRUE(doc.database_damaged());
        // One message, no offer of the support pages: the file, and how to get a whole one.
        ASSERT_EQ(reporter.messages().size(), 1u) << bytes.size();
        const auto& m = reporter.messages()[0];
        EXPECT_EQ(m.icon, MessageIcon::Stop);
        EXPECT_EQ(m.text.rfind("法令データベースのファイルが壊れているか、書き込みの途中で切れているため、読むことができません。\n\n" +
                                   dir.file("VT2014.m88") + "\n\nヴェルトをインストールし直して",
                               0),
                  0u)
            << m.text;
        EXPECT_NE(m.text.find("velto-dbbuild"), std::string::npos);
        EXPECT_EQ(m.text.find("関数"), std::string::npos) << m.text;
        EXPECT_NE(m.detail.find("\t関数 = CVeltoDoc::"), std::string::npos) << m.detail;
    }
}

TEST(DocumentStartUp, UnopenableHelpPageIsToldAfterYes)
{
    TempDir dir;
    MemorySettingsStore settings;
    CapturingReporter reporter(MessageAnswer::Yes);
    CVeltoDoc doc(settings, reporter);
    EXPECT_FALSE(start_in(doc, dir)); // no help file beside the program
    ASSERT_EQ(reporter.messages().size(), 3u);
    EXPECT_EQ(reporter.messages()[2].text, "ヴェルトのサポートホームページを\n開くことができませんでした。");
    EXPECT_EQ(reporter.messages()[2].icon, MessageIcon::Stop);
}

TEST(DocumentStartUp, EmptyLawOrPageListEndsStartUp)
{
    for (const char* content : {"", "INSERT INTO T_法 VALUES ('01A', 'a', 'b', 'c', 0);",
                                "INSERT INTO T_法 VALUES ('01A', 'a', 'b', 'c', 1);"
                                "INSERT INTO T_条 VALUES ('01A-00010000-00', NULL, 'x', '', 0, 0, 0);"}) {
        TempDir dir;
        velto::test::build_fixture_db(dir.file("VT2014.m88"), {content});
        MemorySettingsStore settings;
        CapturingReporter reporter;
        CVeltoDoc doc(settings, reporter);
        DocumentOptions options;
        options.program_dir = dir.path();
        EXPECT_FALSE(doc.OnNewDocument(options)) << content;
        ASSERT_EQ(reporter.messages().size(), 1u) << content;
        EXPECT_EQ(reporter.messages()[0].caption, "ドキュメント初期化プロセス");
        EXPECT_EQ(reporter.messages()[0].text,
                  "テーブル(T_法)にレコードセットを見つけることが\nできませんでした。\n\n関数 = CVeltoDoc::OnNewDocument()");
    }
}

TEST(DocumentStartUp, ClosingTwiceAndClosingUnopenedAreQuiet)
{
    MemorySettingsStore settings;
    CapturingReporter reporter;
    CVeltoDoc doc(settings, reporter);
    EXPECT_TRUE(doc._db_close());
    EXPECT_TRUE(reporter.messages().empty());
}

TEST(DocumentSettings, ReadAtConstructionWrittenAtDestruction)
{
    TempDir dir;
    velto::test::build_fixture_db(dir.file("VT2014.m88"), {velto::test::standard_fixture_sql()});
    MemorySettingsStore settings;
    settings.write_int(kSectionSettings, "Refer", 0);
    settings.write_int(kSectionSettings, "FontSizeBasic", 11);
    CapturingReporter reporter;
    FakePageView view;
    {
        CVeltoDoc doc(settings, reporter);
        EXPECT_EQ(doc.toggles().Refer, 0);
        EXPECT_EQ(doc.toggles().Synchro, 1);
        EXPECT_EQ(doc.display()[DisplaySettings::FontSizeBasic], 11);
        EXPECT_EQ(doc.display_defaults()[DisplaySettings::FontSizeBasic], 9);

        DocumentOptions options;
        options.program_dir = dir.path();
        ASSERT_TRUE(doc.OnNewDocument(options));
        doc.set_page_view(&view);

        DisplaySettings changed = doc.display();
        changed[DisplaySettings::BackColor] = 0x123456;
        doc.set_display(changed);
        EXPECT_EQ(view.rebuilds, 1);
        EXPECT_EQ(doc.display()[DisplaySettings::BackColor], 0x123456);

        doc.toggles().PinPoint = 0;
        view.id = "01A-00020000-00";
        doc.OnCloseDocument();
        EXPECT_EQ(settings.read_string(kSectionSettings, "CurIDFN"), "01A-00020000-00");
        // Switches and display values reach the store only when the document goes.
        EXPECT_FALSE(settings.read_int(kSectionSettings, "PinPoint").has_value());
    }
    EXPECT_EQ(settings.read_int(kSectionSettings, "PinPoint"), 0);
    EXPECT_EQ(settings.read_int(kSectionSettings, "BackColor"), 0x123456);
    EXPECT_EQ(settings.read_int(kSectionSettings, "FontSizeBasic"), 11);
    EXPECT_EQ(settings.read_int(kSectionSettings, "FontColorPioPointOff"), 0);
}
