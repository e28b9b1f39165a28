#include "compose/history.h"
#include "compose/velto_doc.h"
#include "tests/fixtures.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

using namespace velto;

namespace {

// A page identifier per number: 01A-00010000-00, 01A-00020000-00, ...
std::string page(int n)
{
    char id[16];
    std::snprintf(id, sizeof id, "01A-%04d0000-00", n);
    return id;
}

std::vector<std::string> ids(const std::deque<HistoryEntry>& entries)
{
    std::vector<std::string> out;
    for (const HistoryEntry& e : entries)
        out.push_back(e.id);
    return out;
}

// Drives the history the way the page view does: every page shown records
// the page being left; back and forward take their target off a stack.
class Reader {
public:
    explicit Reader(std::string first) : current(std::move(first)) {}

    void go(const std::string& id, int y_left = 0)
    {
        history._history_add(HistoryEntry{current, 0, y_left}, catalog);
        current = id;
    }
    bool back(int y_left = 0)
    {
        HistoryEntry target;
        if (!history.step_back(target))
            return false;
        go(target.id, y_left);
        return true;
    }
    bool forward(int y_left = 0)
    {
        HistoryEntry target;
        if (!history.step_forward(target))
            return false;
        go(target.id, y_left);
        return true;
    }

    PageCatalog catalog;
    NavigationHistory history;
    std::string current;
};

TEST(NavigationHistory, BackStackKeepsTheFiftyNewestPages)
{
    Reader r("");
    r.go(page(1)); // the very first page leaves nothing behind
    r.history._history_add(HistoryEntry{"01A-00010000-0", 0, 5}, r.catalog); // not a page identifier
    EXPECT_TRUE(r.history.back().empty());
    EXPECT_FALSE(r.history.can_go_back(r.current));

    for (int n = 2; n <= 51; ++n)
        r.go(page(n));
    ASSERT_EQ(r.history.back().size(), 50u);
    EXPECT_EQ(r.history.back().front().id, page(1));

    r.go(page(52)); // the 51st record drops the oldest
    ASSERT_EQ(r.history.back().size(), 50u);
    EXPECT_EQ(r.history.back().front().id, page(2));
    EXPECT_EQ(r.history.back().back().id, page(51));
}

TEST(NavigationHistory, BackAndForwardMoveEntriesBetweenTheStacks)
{
    Reader r(page(1));
    r.go(page(2), 10);
    r.go(page(3), 20);
    ASSERT_EQ(ids(r.history.back()), (std::vector<std::string>{page(1), page(2)}));

    ASSERT_TRUE(r.back(30)); // 3 -> 2: page 3 goes forward with the offset it was left at
    EXPECT_EQ(r.current, page(2));
    EXPECT_EQ(ids(r.history.back()), (std::vector<std::string>{page(1)}));
    ASSERT_EQ(ids(r.history.forward()), (std::vector<std::string>{page(3)}));
    EXPECT_EQ(r.history.forward().back().y, 30);
    EXPECT_FALSE(r.history.going_back());

    ASSERT_TRUE(r.back()); // 2 -> 1
    EXPECT_EQ(ids(r.history.forward()), (std::vector<std::string>{page(3), page(2)}));
    EXPECT_FALSE(r.back());
    EXPECT_TRUE(r.history.can_go_forward(r.current));
    EXPECT_FALSE(r.history.can_go_forward(""));

    // A forward step keeps the rest of the forward stack.
    ASSERT_TRUE(r.forward()); // 1 -> 2
    EXPECT_EQ(r.current, page(2));
    EXPECT_EQ(ids(r.history.back()), (std::vector<std::string>{page(1)}));
    EXPECT_EQ(ids(r.history.forward()), (std::vector<std::string>{page(3)}));
    EXPECT_FALSE(r.history.going_forward());

    // An ordinary navigation empties it.
    r.go(page(9));
    EXPECT_TRUE(r.history.forward().empty());
    EXPECT_EQ(ids(r.history.back()), (std::vector<std::string>{page(1), page(2)}));
    EXPECT_FALSE(r.forward());
}

TEST(NavigationHistory, AStepWhosePageCannotBeShownIsUndone)
{
    Reader r(page(1));
    r.go(page(2));
    r.go(page(3), 7); // page 2 is left at 7

    HistoryEntry target;
    ASSERT_TRUE(r.history.step_back(target));
    r.history.undo_step_back(target);
    EXPECT_FALSE(r.history.going_back());
    ASSERT_EQ(ids(r.history.back()), (std::vector<std::string>{page(1), page(2)}));
    EXPECT_EQ(r.history.back().back().y, 7);

    // The next page shown is an ordinary navigation again.
    r.go(page(4));
    EXPECT_EQ(r.history.back().back().id, page(3));
    EXPECT_TRUE(r.history.forward().empty());

    r.back();
    ASSERT_TRUE(r.history.step_forward(target));
    r.history.undo_step_forward(target);
    EXPECT_FALSE(r.history.going_forward());
    EXPECT_EQ(ids(r.history.forward()), (std::vector<std::string>{page(4)}));
}

// The document's record keeps the reading position of a page in the ordered list.
TEST(NavigationHistory, DocumentRemembersWhereEachPageWasLeft)
{
    test::TempDir dir;
    test::build_fixture_db(dir.file("VT2014.m88"), {test::standard_fixture_sql()});
    MemorySettingsStore settings;
    CapturingReporter reporter;
    CVeltoDoc doc(settings, reporter);
    DocumentOptions options;
    options.program_dir = dir.path();
    options.use_working_folder = false;
    ASSERT_TRUE(doc.OnNewDocument(options));

    doc._history_add(HistoryEntry{"01A-00030000-01", 12, 345});
    doc._history_add(HistoryEntry{"01A-99990000-00", 1, 2}); // not listed: kept in history only
    ASSERT_NE(doc.pages().find("01A-00030000-01"), nullptr);
    EXPECT_EQ(doc.pages().find("01A-00030000-01")->x, 12);
    EXPECT_EQ(doc.pages().find("01A-00030000-01")->y, 345);
    EXPECT_EQ(doc.history().back().size(), 2u);

    // A later visit overwrites the position.
    doc._history_add(HistoryEntry{"01A-00030000-01", 0, 9});
    EXPECT_EQ(doc.pages().find("01A-00030000-01")->y, 9);
    EXPECT_EQ(doc.pages().next("01A-00030000-00").y, 9);
}

} // namespace
