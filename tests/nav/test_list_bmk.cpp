// The bookmark tab as the reader uses it: the buttons, the rows, and the
// file on disk after every change, after a restart, in a folder that cannot
// be written and after the reader was killed.
#include "tests/nav/pane_fixture.h"

#include "nav/control_ids.h"
#include "nav/list_bmk.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

namespace velto::test {
namespace {

const std::string kHeader = "VERSION 14.03\r\n";
const std::string kSpecial = "00A-Z0010000-00";

std::string file_of(const std::string& ids)
{
    std::string text = kHeader;
    for (std::size_t pos = 0; pos < ids.size(); pos += 16)
        text += ids.substr(pos, 15) + ", book_mark_root\r\n";
    return text + "\r\n";
}

class BookmarkTab : public PaneFixture {
protected:
    std::string file() const { return dir.file("velto14.bmk"); }
    VListBmk* open_tab()
    {
        open_pane();
        pane->_select_tab(kTabBookmarks);
        return pane->bookmark_list();
    }
    void press_add(const std::string& id)
    {
        view.current = id;
        pane->add_button()->click();
    }
    static std::vector<std::string> row_texts(const VListBmk* list, int row)
    {
        std::vector<std::string> texts;
        for (int column = 0; column < list->columnCount(); ++column)
            texts.push_back(list->topLevelItem(row)->text(column).toStdString());
        return texts;
    }
};

// Leaves the administrator's rights for the scope, so that a folder's
// permissions apply to the test as to any reader.
class Unprivileged {
public:
    Unprivileged() : dropped_(geteuid() == 0 && seteuid(65534) == 0) {}
    ~Unprivileged()
    {
        if (dropped_)
            (void)seteuid(0);
    }
    Unprivileged(const Unprivileged&) = delete;
    Unprivileged& operator=(const Unprivileged&) = delete;

private:
    bool dropped_;
};

TEST_F(BookmarkTab, EveryChangeIsOnDiskAtOnceAndTheRowsComeBackAfterARestart)
{
    const std::string first = page_id(1), second = page_id(2);
    VListBmk* list = open_tab();
    press_add(second);
    press_add(first);
    EXPECT_EQ(read_file(file()), file_of(first + " " + second));
    // The program's own page is taken but has no row and is not written.
    press_add(kSpecial);
    EXPECT_EQ(list->_row_count(), 2);
    EXPECT_EQ(read_file(file()), file_of(first + " " + second));

    close_pane();
    list = open_tab();
    ASSERT_EQ(list->_row_count(), 2);
    EXPECT_EQ(row_texts(list, 0), (std::vector<std::string>{"建築基準法", "1条", "目的", ""}));
    EXPECT_EQ(row_texts(list, 1), (std::vector<std::string>{"建築基準法", "2条", "用語の定義", ""}));
    std::vector<std::string> headers;
    for (int column = 0; column < list->columnCount(); ++column)
        headers.push_back(list->headerItem()->text(column).toStdString());
    EXPECT_EQ(headers, (std::vector<std::string>{"法名", "条", "タイトル", ""}));

    // Choosing a row shows its page.
    list->_select_row(1);
    EXPECT_EQ(view.shown, std::vector<std::string>{second});
    pane->delete_button()->click();
    EXPECT_EQ(list->_selected_id(), first);
    EXPECT_EQ(read_file(file()), file_of(first));
}

TEST_F(BookmarkTab, AFolderThatCannotBeWrittenKeepsItsFileAndIsToldOnce)
{
    const std::string before = file_of(page_id(1));
    write_file(file(), before);
    VListBmk* list = open_tab();
    ASSERT_EQ(list->_row_count(), 1);
    QSignalSpy told(pane, &C1stView::statusMessage);

    std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec |
                                                 std::filesystem::perms::group_read | std::filesystem::perms::group_exec |
                                                 std::filesystem::perms::others_read | std::filesystem::perms::others_exec);
    bool writable = false;
    {
        const Unprivileged reader;
        writable = faccessat(AT_FDCWD, dir.path().c_str(), W_OK, AT_EACCESS) == 0;
        press_add(page_id(2));
        EXPECT_EQ(list->_row_count(), 2); // the change lives on in memory
        pane->delete_button()->click();
        press_add(page_id(2));
        close_pane(); // the last try, at exit, says nothing
    }
    std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_all);
    if (writable)
        GTEST_SKIP() << "the folder stays writable for this user";
    ASSERT_EQ(told.count(), 1);
    EXPECT_TRUE(told.at(0).at(0).toString().contains(QStringLiteral("velto14.bmk")));
    EXPECT_EQ(read_file(file()), before);
}

TEST_F(BookmarkTab, AFileNotInTheFormatIsToldOnceAndKeptUntilTheListChanges)
{
    // Saved as UTF-16 by an editor: no line reads as a bookmark.
    std::string utf16 = "\xFF\xFE";
    for (const char c : file_of(page_id(1)))
        utf16 += std::string{c, '\0'};
    write_file(file(), utf16);
    open_pane();
    QSignalSpy told(pane, &C1stView::statusMessage);
    pane->_select_tab(kTabBookmarks);
    VListBmk* list = pane->bookmark_list();
    EXPECT_EQ(list->_row_count(), 0);
    ASSERT_EQ(told.count(), 1);
    EXPECT_TRUE(told.at(0).at(0).toString().contains(QStringLiteral("velto14.bmk.bad")));
    close_pane(); // the list goes unchanged: the file stays
    EXPECT_EQ(read_file(file()), utf16);

    open_pane();
    pane->_select_tab(kTabBookmarks);
    press_add(page_id(2));
    EXPECT_EQ(read_file(file()), file_of(page_id(2)));
    EXPECT_EQ(read_file(file() + ".bad"), utf16);
}

// Run only by the test below, in a process of its own: a reader that adds a
// bookmark and waits to be killed.
TEST(BookmarkReader, DISABLED_AddsAndWaits)
{
    const QByteArray folder = qgetenv("VELTO_BOOKMARK_FOLDER");
    ASSERT_FALSE(folder.isEmpty());
    MemorySettingsStore settings;
    CapturingReporter reporter;
    CVeltoDoc doc(settings, reporter);
    DocumentOptions options;
    options.program_dir = folder.toStdString();
    options.use_working_folder = false;
    ASSERT_TRUE(doc.OnNewDocument(options));
    FakePageView view;
    C1stView pane(doc);
    pane.set_page_view(&view);
    pane.OnInitialUpdate();
    pane._select_tab(kTabBookmarks);
    view.current = qgetenv("VELTO_BOOKMARK_PAGE").toStdString();
    pane.add_button()->click();
    std::printf("bookmark added\n");
    std::fflush(stdout);
    for (;;)
        QTest::qWait(1000);
}

TEST_F(BookmarkTab, TheFileSurvivesAReaderKilledRightAfterAdding)
{
    QProcess reader;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("VELTO_BOOKMARK_FOLDER"), QString::fromStdString(dir.path()));
    env.insert(QStringLiteral("VELTO_BOOKMARK_PAGE"), QString::fromStdString(page_id(2)));
    reader.setProcessEnvironment(env);
    reader.start(QCoreApplication::applicationFilePath(),
                 {QStringLiteral("--gtest_also_run_disabled_tests"),
                  QStringLiteral("--gtest_filter=BookmarkReader.DISABLED_AddsAndWaits")});
    ASSERT_TRUE(reader.waitForStarted(10000));
    QByteArray said;
    QElapsedTimer timer;
    timer.start();
    while (!said.contains("bookmark added") && timer.elapsed() < 60000 && reader.state() != QProcess::NotRunning) {
        reader.waitForReadyRead(200);
        said += reader.readAllStandardOutput();
    }
    reader.kill();
    reader.waitForFinished(10000);
    ASSERT_TRUE(said.contains("bookmark added")) << said.toStdString() << reader.readAllStandardError().toStdString();
    EXPECT_EQ(reader.exitStatus(), QProcess::CrashExit);

    EXPECT_EQ(read_file(file()), file_of(page_id(2)));
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        EXPECT_EQ(entry.path().filename().string().find("velto14.bmk."), std::string::npos) << entry.path();
}

} // namespace
} // namespace velto::test
