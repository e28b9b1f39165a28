// The page view in a small headless window: pages, links, history with
// reading positions, the commands and the context menu.
#include "settings/persisted_state.h"
#include "tests/view/view_fixture.h"
#include "view/busy_dialog.h"

#include <QApplication>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <filesystem>

namespace velto::test {
namespace {

constexpr const char* kCover = "00A-Z0010000-00";
constexpr const char* kArticle1 = "01A-00010000-00";
constexpr const char* kLarge = "01A-00020000-00";
constexpr const char* kArticle3 = "01A-00030000-00";

using Ids = std::vector<std::string>;

TEST_F(PageViewTest, ShowsTheStartPageAndThenComposedPages)
{
    start();
    EXPECT_EQ(view->_current_id(), kCover);
    EXPECT_TRUE(page_text().contains(QStringLiteral("表紙")));
    EXPECT_EQ(settings.read_int(kSectionRecords, kValueVersion), kSettingsVersionStamp);

    ASSERT_TRUE(show(kArticle1));
    EXPECT_EQ(view->_current_id(), kArticle1);
    EXPECT_TRUE(page_text().contains(QStringLiteral("【目的】")));
    std::string label;
    ASSERT_TRUE(CVeltoDoc::_article_label(kArticle1, label));
    EXPECT_EQ(captions.back(), "建築基準法 " + label);
    EXPECT_EQ(back_ids(), Ids{kCover});

    // Requests that change nothing.
    EXPECT_FALSE(view->_show(kArticle1));             // the page shown
    EXPECT_FALSE(view->_show("01A-00010000-0"));      // not a page identifier
    EXPECT_TRUE(reporter.messages().empty());
    EXPECT_FALSE(view->_show("01A-00990000-00"));     // not in the database: reported
    EXPECT_EQ(reporter.messages().size(), 1u);
    EXPECT_EQ(view->_current_id(), kArticle1);
    EXPECT_EQ(back_ids(), Ids{kCover});

    // A page file that cannot be written (others may write to the working
    // folder): reported, and the page shown stays, loaded.
    namespace fs = std::filesystem;
    fs::permissions(doc->working_dir(), fs::perms::others_write, fs::perm_options::add);
    EXPECT_FALSE(view->_show(kArticle3));
    QTest::qWait(300);
    EXPECT_EQ(reporter.messages().size(), 2u); // and no failed load after it
    EXPECT_EQ(view->_current_id(), kArticle1);
    EXPECT_FALSE(view->page_loading());
    EXPECT_TRUE(page_text().contains(QStringLiteral("【目的】")));
    fs::permissions(doc->working_dir(), fs::perms::others_write, fs::perm_options::remove);
    ASSERT_TRUE(show(kArticle3));
    ASSERT_TRUE(show(kArticle1));

    // A rebuild request holds for the next call only, even one that fails.
    view->set_forced_rebuild();
    EXPECT_FALSE(view->_show("01A-0001"));
    EXPECT_FALSE(view->_show(kArticle1));
}

TEST_F(PageViewTest, StartsOnTheRememberedPageOrFallsBackToTheCover)
{
    settings.write_int(kSectionRecords, kValueVersion, kSettingsVersionStamp);
    write_current_page_id(settings, kArticle3);
    start();
    EXPECT_EQ(view->_current_id(), kArticle3);
    EXPECT_EQ(pane.synced, Ids{kArticle3});
    view.reset();

    // A page that is gone from the database: reported, then the cover.
    write_current_page_id(settings, "01A-00990000-00");
    pane.synced.clear();
    start();
    EXPECT_EQ(view->_current_id(), kCover);
    EXPECT_EQ(reporter.messages().size(), 1u);
    EXPECT_TRUE(pane.synced.empty()); // the program's own pages are not in the pane
}

TEST_F(PageViewTest, FollowsLinksClickedInThePage)
{
    start();
    ASSERT_TRUE(click(QStringLiteral("#article1"))); // a 12-character identifier: page -00
    EXPECT_EQ(last_link, kArticle1);
    EXPECT_TRUE(last_link_shown);
    EXPECT_EQ(view->_current_id(), kArticle1);
    EXPECT_FALSE(view->from_link());
    EXPECT_EQ(back_ids(), Ids{kCover});
    EXPECT_EQ(pane.synced.back(), kArticle1);

    // A link written by the markup of a sentence.
    ASSERT_TRUE(click(QStringLiteral("a[href*=\"01A-00030000\"]")));
    EXPECT_EQ(view->_current_id(), kArticle3);
    EXPECT_EQ(back_ids(), (Ids{kCover, kArticle1}));

    // A 15-character identifier names the page itself.
    ASSERT_TRUE(show(kCover));
    ASSERT_TRUE(click(QStringLiteral("#split2")));
    EXPECT_EQ(view->_current_id(), "01A-00040000-01");
    EXPECT_TRUE(page_text().contains(QStringLiteral("二頁目の本文")));
}

// The page opens its channel to the view only when it first has something to
// report: a click made before that still arrives, whole and in order.
TEST_F(PageViewTest, AClickBeforeThePageIsConnectedStillReachesTheView)
{
    start(); // nothing has asked the page yet
    QSignalSpy below(view.get(), &C2ndView::openBelowRequested);
    ASSERT_TRUE(mouse_click(QStringLiteral("#article1"), Qt::LeftButton, Qt::ShiftModifier));
    ASSERT_TRUE(below.wait(kWait));
    EXPECT_EQ(below.at(0).at(0).toString().toStdString(), kArticle1);
    EXPECT_EQ(view->_current_id(), kCover); // Shift+click leaves this pane alone
    EXPECT_TRUE(js(QStringLiteral("veltoPage.connected()")).toBool());

    ASSERT_TRUE(mouse_click(QStringLiteral("#article1")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->_current_id() == kArticle1; }, kWait));
    EXPECT_EQ(below.count(), 1);
}

TEST_F(PageViewTest, HoveredLinksAreDescribedInTheStatusBar)
{
    start();
    ASSERT_TRUE(show(kArticle1));
    QSignalSpy status(view.get(), &C2ndView::statusTextChanged);
    const QVariantList box = js(QStringLiteral("(function () { var r = document.querySelector("
                                               "'a[href*=\"01A-00030000\"]').getBoundingClientRect(); "
                                               "return [r.left + 2, r.top + r.height / 2]; })()"))
                                 .toList();
    ASSERT_EQ(box.size(), 2);
    QTest::mouseMove(view->browser()->focusProxy(), QPoint(qRound(box[0].toDouble()), qRound(box[1].toDouble())));
    ASSERT_TRUE(status.wait(kWait));
    EXPECT_EQ(status.last().at(0).toString().toStdString(), view->_set_status_for_url("http://01A-00030000_VELTO"));
    EXPECT_TRUE(status.last().at(0).toString().endsWith(QStringLiteral("「適用の除外」")));
}

TEST_F(PageViewTest, LinksThatLeadNowhereLeaveThePageAlone)
{
    start();
    const QUrl page_url = view->page()->url();

    ASSERT_TRUE(click(QStringLiteral("#broken"), false));
    EXPECT_EQ(last_link, "");
    EXPECT_FALSE(last_link_shown);
    EXPECT_EQ(view->_current_id(), kCover);
    EXPECT_EQ(view->page()->url(), page_url);
    EXPECT_TRUE(back_ids().empty());

    // Web pages and mail open outside the page view.
    ASSERT_TRUE(mouse_click(QStringLiteral("#web")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return opened.size() == 1; }, kWait));
    EXPECT_EQ(opened[0], QUrl(QStringLiteral("https://www.mokume88.jp/mokume88/")));
    ASSERT_TRUE(mouse_click(QStringLiteral("#mail")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return opened.size() == 2; }, kWait));
    EXPECT_EQ(opened[1].scheme(), QStringLiteral("mailto"));

    // Scripts open no windows.
    js(QStringLiteral("window.open('http://01A-00010000_VELTO'); window.open('https://example.org/'); true"));
    QTest::qWait(300);
    EXPECT_EQ(view->_current_id(), kCover);
    EXPECT_EQ(view->page()->url(), page_url);
    EXPECT_EQ(opened.size(), 2u);

    // A link meant for another window is followed like any other link.
    ASSERT_TRUE(mouse_click(QStringLiteral("#news")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return opened.size() == 3; }, kWait));
    EXPECT_EQ(opened[2], QUrl(QStringLiteral("https://www.mokume88.jp/mokume88/rireki/prog/")));
    EXPECT_EQ(view->_current_id(), kCover);
    QSignalSpy loaded(view.get(), &C2ndView::pageLoaded);
    ASSERT_TRUE(mouse_click(QStringLiteral("#legend")));
    ASSERT_TRUE(loaded.wait(kWait));
    EXPECT_EQ(view->_current_id(), "00A-Z0020000-00");
}

TEST_F(PageViewTest, BackAndForwardReturnToTheReadingPositions)
{
    start();
    ASSERT_TRUE(show(kArticle1));
    EXPECT_TRUE(view->command_enabled(C2ndView::kBack));
    EXPECT_FALSE(view->command_enabled(C2ndView::kForward));
    scroll_to(300);

    ASSERT_TRUE(click(QStringLiteral("a[href*=\"01A-00030000\"]")));
    EXPECT_EQ(scroll_y(), 0);
    scroll_to(150);

    ASSERT_TRUE(command(C2ndView::kBack));
    EXPECT_EQ(view->_current_id(), kArticle1);
    EXPECT_TRUE(wait_scroll(300));
    EXPECT_TRUE(view->command_enabled(C2ndView::kForward));
    EXPECT_EQ(forward_ids(), Ids{kArticle3});

    ASSERT_TRUE(command(C2ndView::kForward));
    EXPECT_EQ(view->_current_id(), kArticle3);
    EXPECT_TRUE(wait_scroll(150));
    EXPECT_TRUE(forward_ids().empty());
    EXPECT_EQ(back_ids(), (Ids{kCover, kArticle1}));

    // Back to the cover, then nothing further back.
    ASSERT_TRUE(command(C2ndView::kBack));
    ASSERT_TRUE(command(C2ndView::kBack));
    EXPECT_EQ(view->_current_id(), kCover);
    EXPECT_FALSE(view->command_enabled(C2ndView::kBack));
    EXPECT_FALSE(command(C2ndView::kBack));
    EXPECT_EQ(forward_ids(), (Ids{kArticle3, kArticle1}));

    // A forward step keeps the rest of the forward stack; a new way empties it.
    ASSERT_TRUE(command(C2ndView::kForward));
    EXPECT_EQ(forward_ids(), Ids{kArticle3});
    ASSERT_TRUE(click(QStringLiteral("a[href*=\"01A-00030000\"]")));
    EXPECT_TRUE(forward_ids().empty());
    EXPECT_FALSE(view->command_enabled(C2ndView::kForward));
    EXPECT_EQ(back_ids(), (Ids{kCover, kArticle1}));
}

TEST_F(PageViewTest, TheFiftyFirstHistoryEntryDropsTheOldest)
{
    start();
    QSignalSpy loaded(view.get(), &C2ndView::pageLoaded);
    for (int n = 100; n <= 150; ++n) // 51 pages left: the cover and articles 100 to 149
        ASSERT_TRUE(view->_show(generated_page(n)));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !view->page_loading(); }, kWait));

    const Ids back = back_ids();
    ASSERT_EQ(back.size(), 50u);
    EXPECT_EQ(back.front(), generated_page(100));
    EXPECT_EQ(back.back(), generated_page(149));
    EXPECT_EQ(view->_current_id(), generated_page(150));
    EXPECT_TRUE(page_text().contains(QStringLiteral("生成された条の本文")));
}

TEST_F(PageViewTest, LargeArticleShowsItsFullTextThroughItsLinkOnce)
{
    start();
    ASSERT_TRUE(show(kArticle1));
    ASSERT_TRUE(command(C2ndView::kNext)); // not through a link: the short form
    EXPECT_EQ(view->_current_id(), kLarge);
    EXPECT_TRUE(page_text().contains(QStringLiteral("ココをクリックすると全文が表示されます")));
    EXPECT_FALSE(page_text().contains(QStringLiteral("全文にだけある二項の本文")));
    EXPECT_EQ(back_ids(), (Ids{kCover, kArticle1}));
    const std::size_t caption_count = captions.size();

    // Its full-text link: the full text behind the busy window, no history entry.
    QSignalSpy loaded(view.get(), &C2ndView::pageLoaded);
    ASSERT_TRUE(click(QStringLiteral("a[href*=\"01A-00020000\"]"), false));
    EXPECT_TRUE(last_link_shown);
    EXPECT_TRUE(view->busy_dialog()->running());
    EXPECT_EQ(view->busy_dialog()->windowTitle(), QStringLiteral("準備中です．．．"));
    ASSERT_TRUE(loaded.count() > 0 || loaded.wait(kWait));
    EXPECT_FALSE(view->busy_dialog()->running());
    EXPECT_TRUE(page_text().contains(QStringLiteral("全文にだけある二項の本文")));
    EXPECT_EQ(back_ids(), (Ids{kCover, kArticle1}));
    EXPECT_EQ(captions.size(), caption_count);

    // The same link request again is dropped once; the next one rebuilds it.
    ASSERT_TRUE(follow(QStringLiteral("http://01A-00020000_VELTO"), false));
    EXPECT_FALSE(last_link_shown);
    ASSERT_TRUE(follow(QStringLiteral("http://01A-00020000_VELTO")));
    EXPECT_TRUE(last_link_shown);
    EXPECT_TRUE(page_text().contains(QStringLiteral("全文にだけある二項の本文")));
    EXPECT_EQ(back_ids(), (Ids{kCover, kArticle1}));

    // Back leads to the page before the large article.
    ASSERT_TRUE(command(C2ndView::kBack));
    EXPECT_EQ(view->_current_id(), kArticle1);

    // Asked for without a link it comes in short form again, although its full
    // text is in the cache.
    ASSERT_TRUE(show(kLarge));
    EXPECT_TRUE(page_text().contains(QStringLiteral("ココをクリックすると全文が表示されます")));

    // A link from another page shows it in full at the first request, as an
    // ordinary navigation.
    ASSERT_TRUE(show(kArticle1));
    ASSERT_TRUE(click(QStringLiteral("a[href*=\"01A-00020000\"]")));
    EXPECT_TRUE(last_link_shown);
    EXPECT_TRUE(page_text().contains(QStringLiteral("全文にだけある二項の本文")));
    EXPECT_EQ(back_ids().back(), kArticle1);
    std::string label;
    ASSERT_TRUE(CVeltoDoc::_article_label(kLarge, label));
    EXPECT_EQ(captions.back(), "建築基準法 " + label);
}

TEST_F(PageViewTest, ToggledOptionsRebuildThePage)
{
    start();
    ASSERT_TRUE(show(kArticle1));
    EXPECT_TRUE(has_element(QStringLiteral("a[id$=\"-r01\"]")));
    EXPECT_TRUE(has_element(QStringLiteral("span[style*=\"background-color\"]")));
    EXPECT_TRUE(view->command_checked(C2ndView::kBrachet));
    scroll_to(250);
    const Ids back = back_ids();
    QSignalSpy state(view.get(), &C2ndView::commandStateChanged);

    // Brackets: rebuilt at the same reading position.
    ASSERT_TRUE(command(C2ndView::kBrachet));
    EXPECT_FALSE(has_element(QStringLiteral("span[style*=\"background-color\"]")));
    EXPECT_TRUE(wait_scroll(250));
    EXPECT_FALSE(view->command_checked(C2ndView::kBrachet));
    EXPECT_GT(state.count(), 0);

    // References: rebuilt from the top.
    ASSERT_TRUE(command(C2ndView::kRefer));
    EXPECT_FALSE(has_element(QStringLiteral("a[id$=\"-r01\"]")));
    EXPECT_EQ(scroll_y(), 0);
    EXPECT_FALSE(view->command_checked(C2ndView::kRefer));
    EXPECT_EQ(back_ids(), back);
    EXPECT_EQ(view->_current_id(), kArticle1);

    // The cache was emptied: the next visit composes with the new settings.
    ASSERT_TRUE(show(kArticle3));
    ASSERT_TRUE(command(C2ndView::kBack));
    EXPECT_FALSE(has_element(QStringLiteral("a[id$=\"-r01\"]")));

    // A large article shown in full stays in full.
    ASSERT_TRUE(show(kLarge));
    ASSERT_TRUE(follow(QStringLiteral("http://01A-00020000_VELTO")));
    ASSERT_TRUE(command(C2ndView::kRefer));
    EXPECT_TRUE(page_text().contains(QStringLiteral("全文にだけある二項の本文")));
}

TEST_F(PageViewTest, PreviousAndNextFollowTheArticleList)
{
    start();
    // The program's own pages have neither.
    EXPECT_FALSE(view->command_enabled(C2ndView::kPrevious));
    EXPECT_FALSE(view->command_enabled(C2ndView::kNext));

    ASSERT_TRUE(show(kArticle1));
    scroll_to(200);
    ASSERT_TRUE(command(C2ndView::kNext));
    EXPECT_EQ(view->_current_id(), kLarge);
    ASSERT_TRUE(command(C2ndView::kPrevious));
    EXPECT_EQ(view->_current_id(), kArticle1);
    EXPECT_TRUE(wait_scroll(200)); // where it was left

    ASSERT_TRUE(show("09A-00010000-00")); // the last page of the list
    EXPECT_TRUE(view->command_enabled(C2ndView::kPrevious));
    EXPECT_FALSE(view->command_enabled(C2ndView::kNext));
    EXPECT_FALSE(command(C2ndView::kNext));
}

TEST_F(PageViewTest, TheNavigationPaneFollowsWhenSynchroIsOn)
{
    start();
    pane.synced.clear();
    const int focus_calls = pane.focus_calls;
    ASSERT_TRUE(click(QStringLiteral("#article1")));
    EXPECT_EQ(pane.synced, Ids{kArticle1});
    EXPECT_EQ(pane.focus_calls, focus_calls); // a link keeps the keyboard in the page

    view->run_command(C2ndView::kSynchro); // off
    EXPECT_FALSE(view->command_checked(C2ndView::kSynchro));
    ASSERT_TRUE(click(QStringLiteral("a[href*=\"01A-00030000\"]")));
    EXPECT_EQ(pane.synced, Ids{kArticle1});
    view->run_command(C2ndView::kSynchro); // on again: the pane catches up
    EXPECT_EQ(pane.synced, (Ids{kArticle1, kArticle3}));

    // The search and bookmark tabs take the command away.
    pane.tab = 2;
    EXPECT_FALSE(view->command_enabled(C2ndView::kSynchro));
    EXPECT_FALSE(view->command_checked(C2ndView::kSynchro));

    // A search hit shown while the search tab is up gets its marks after loading.
    view->set_search_highlight_pending();
    ASSERT_TRUE(show("01A-F0000000-00"));
    EXPECT_EQ(pane.remarks, 1);
}

// A view whose pinpoint list has something to offer for every link.
class PinpointView : public C2ndView {
public:
    using C2ndView::C2ndView;
    std::vector<std::string> asked;

protected:
    int _open_pinpoint_dialog(const std::string& key, const std::string& id, const QPoint&) override
    {
        asked.push_back(key + " " + id);
        return 1;
    }
};

TEST_F(PageViewTest, ContextMenuDependsOnTheElementUnderThePointer)
{
    auto* pinpoint = new PinpointView(*doc);
    open_view(std::unique_ptr<C2ndView>(pinpoint));
    start();
    QMenu* menu = view->context_menu();

    // Right clicks in the page: on a link, then beside it.
    ASSERT_TRUE(mouse_click(QStringLiteral("#article1"), Qt::RightButton));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !pinpoint->asked.empty(); }, kWait));
    EXPECT_EQ(pinpoint->asked, Ids{"article1 01A-00010000-00"});
    ASSERT_TRUE(mouse_click(QStringLiteral("h1"), Qt::RightButton));
    ASSERT_TRUE(QTest::qWaitFor([&] { return menu->isVisible(); }, kWait));
    menu->hide();
    pinpoint->asked.clear();

    ASSERT_TRUE(show(kArticle1));
    const QPoint at = view->mapToGlobal(QPoint(20, 20));

    PageAnchor external{true, "https://www.mokume88.jp/mokume88/", "web"};
    view->_context_menu(at, external);
    EXPECT_FALSE(menu->isVisible());

    PageAnchor internal{true, "http://01a-00030000_velto/", "01A-00010000-00-0100-0000-0000-0000-to-01A-00030000-m01"};
    view->_context_menu(at, internal);
    EXPECT_FALSE(menu->isVisible()); // the pinpoint list took it
    EXPECT_EQ(pinpoint->asked, Ids{internal.id + " 01A-00030000-00"});

    doc->toggles().PinPoint = 0; // without pinpoints the menu is shown for the link
    view->_context_menu(at, internal);
    ASSERT_TRUE(menu->isVisible());
    menu->hide();

    view->_context_menu(at, PageAnchor{});
    ASSERT_TRUE(menu->isVisible());
    QStringList texts;
    std::map<int, bool> enabled;
    for (QAction* action : menu->actions()) {
        texts << action->text();
        enabled[action->data().toInt()] = action->isEnabled();
    }
    EXPECT_EQ(texts, (QStringList{"前へ", "次へ", "戻る", "進む", "", "下のペインで開く（Shift+クリック）", "",
                                  "このページ内の検索（Ctrl+F）", "反転マークのクリア", "ぷちコピー（Ctrl+C）",
                                  "条文をコピー", "", "この条を引用している条文", "この条の改正"}));
    EXPECT_TRUE(enabled[C2ndView::kPrevious]);
    EXPECT_TRUE(enabled[C2ndView::kNext]);
    EXPECT_TRUE(enabled[C2ndView::kBack]);
    EXPECT_FALSE(enabled[C2ndView::kForward]);
    EXPECT_TRUE(enabled[C2ndView::kFindInPage]);
    EXPECT_FALSE(enabled[C2ndView::kClearMarks]); // no find string
    EXPECT_FALSE(enabled[C2ndView::kCopy]);       // nothing selected
    EXPECT_FALSE(enabled[C2ndView::kCitedBy]);    // no window to list them
    EXPECT_FALSE(enabled[C2ndView::kArticleHistory]); // nor to compare editions
    EXPECT_TRUE(enabled[C2ndView::kCopyProvision]);
    EXPECT_TRUE(enabled[C2ndView::kOpenBelow]); // the page shown, below
    menu->hide();
    view->set_command_state([](int id) { return id == C2ndView::kCitedBy; });
    view->_context_menu(at, PageAnchor{});
    QSignalSpy requested(view.get(), &C2ndView::commandRequested);
    for (QAction* action : menu->actions()) {
        if (action->data().toInt() != C2ndView::kCitedBy)
            continue;
        EXPECT_TRUE(action->isEnabled());
        action->trigger(); // the window lists them
    }
    ASSERT_EQ(requested.count(), 1);
    EXPECT_EQ(requested.at(0).at(0).toInt(), C2ndView::kCitedBy);
    menu->hide();

    // Its history items act at once.
    QSignalSpy loaded(view.get(), &C2ndView::pageLoaded);
    for (QAction* action : menu->actions())
        if (action->data().toInt() == C2ndView::kBack)
            action->trigger();
    ASSERT_TRUE(loaded.wait(kWait));
    EXPECT_EQ(view->_current_id(), kCover);
}

TEST_F(PageViewTest, TheEngineTakesNoShortcutsOfItsOwn)
{
    start();
    ASSERT_TRUE(show(kArticle1));
    view->_focus_page();
    QWidget* target = view->browser()->focusProxy();
    ASSERT_NE(target, nullptr);

    // Plain keys reach the page: End scrolls it.
    QTest::keyClick(target, Qt::Key_End);
    ASSERT_TRUE(QTest::qWaitFor([&] { return scroll_y() > 0; }, kWait));

    // Select-all does not.
    QTest::keyClick(target, Qt::Key_A, Qt::ControlModifier);
    QTest::qWait(300);
    EXPECT_FALSE(view->page()->hasSelection());
    EXPECT_TRUE(js(QStringLiteral("window.getSelection().toString()")).toString().isEmpty());
}

// A cited paragraph: at the top of the window, marked for a moment with the
// sentences it covers; the page shown is only scrolled; a large article
// comes in full, so that its paragraphs are there.
TEST_F(PageViewTest, ShowAtBringsTheCitedSentenceToTheTopAndMarksIt)
{
    start();
    const auto sentence = [](int paragraph) {
        return std::string(kArticle1) + (paragraph < 10 ? "-0" : "-") + std::to_string(paragraph) + "00-0000-0000-0000";
    };
    const auto block = [](const std::string& id) {
        return QStringLiteral("document.getElementById('%1').closest('div')").arg(QString::fromStdString(id));
    };
    QSignalSpy loaded(view.get(), &C2ndView::pageLoaded);
    ASSERT_TRUE(view->show_at(kArticle1, sentence(12), sentence(12).substr(0, 20)));
    ASSERT_TRUE(loaded.wait(kWait));
    ASSERT_TRUE(QTest::qWaitFor([&] { return scroll_y() > 0; }, kWait));
    const double top = js(block(sentence(12)) + QStringLiteral(".getBoundingClientRect().top")).toDouble();
    EXPECT_GE(top, 0);
    EXPECT_LE(top, 30);
    EXPECT_EQ(js(block(sentence(12)) + QStringLiteral(".getAnimations().length")).toInt(), 1);
    EXPECT_EQ(js(block(sentence(11)) + QStringLiteral(".getAnimations().length")).toInt(), 0);
    EXPECT_EQ(back_ids(), Ids{kCover});

    const int y = scroll_y();
    ASSERT_TRUE(view->show_at(kArticle1, sentence(3), sentence(3).substr(0, 20)));
    EXPECT_TRUE(QTest::qWaitFor([&] { return scroll_y() > 0 && scroll_y() < y; }, kWait));
    EXPECT_EQ(loaded.count(), 1);
    EXPECT_EQ(back_ids(), Ids{kCover});

    const std::string second = std::string(kLarge) + "-0200-0000-0000-0000";
    ASSERT_TRUE(view->show_at(kLarge, second, second.substr(0, 20)));
    ASSERT_TRUE(loaded.wait(kWait));
    EXPECT_TRUE(page_text().contains(QStringLiteral("全文にだけある二項の本文。")));
    EXPECT_EQ(back_ids(), (Ids{kCover, kArticle1}));
    EXPECT_FALSE(view->show_at("01A-0002", second, second));
}

} // namespace
} // namespace velto::test
