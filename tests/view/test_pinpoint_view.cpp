// The pinpoint jump, its marks and the mouse gestures in a headless page view.
#include "userfiles/pinpoint_file.h"
#include "tests/view/view_fixture.h"
#include "nav/list_base.h"
#include "view/pinpoint_dlg.h"

#include <QMenu>
#include <QSignalSpy>
#include <QTest>

#include <functional>
#include <QWebEngineView>

namespace velto::test {
namespace {

constexpr const char* kCover = "00A-Z0010000-00";
constexpr const char* kArticle1 = "01A-00010000-00";
constexpr const char* kArticle3 = "01A-00030000-00";
// The link of 第1条 to 第3条, and its default target: paragraph 12 of 第3条.
const std::string kKey = "01A-00010000-00-0100-0000-0000-0000-to-01A-00030000-p01";
const std::string kTarget = "01A-00030000-00-1200-0000-0000-0000";
const std::string kUserTarget = "01A-00030000-00-0500-0000-0000-0000";
const QString kLink = QStringLiteral("a[href*=\"01A-00030000\"]");

class PinPointViewTest : public PageViewTest {
protected:
    void SetUp() override
    {
        PinPointTable defaults{{kKey, kTarget}};
        write_file(dir.file("default.ppj"), pinpoint_file_text(defaults));
        PageViewTest::SetUp();
    }

    void set_display(DisplaySettings::Value value, int to)
    {
        DisplaySettings values = doc->display();
        values[value] = to;
        QSignalSpy loaded(view.get(), &C2ndView::pageLoaded);
        doc->set_display(values);
        ASSERT_TRUE(loaded.wait(kWait));
    }
    // The background the link to 第3条 is painted with.
    QString link_background()
    {
        return js(QStringLiteral("document.querySelector('%1').style.background").arg(kLink)).toString();
    }
    // Document coordinates of the element of an id: [top, left]; empty when absent.
    QVariantList place(const std::string& id)
    {
        return js(QStringLiteral("(function () { var e = document.getElementById('%1'); if (!e) return []; "
                                 "var r = e.getBoundingClientRect(); "
                                 "return [Math.round(r.top + scrollY), Math.round(r.left + scrollX)]; })()")
                      .arg(QString::fromStdString(id)))
            .toList();
    }
    // Clicks the link to 第3条 and waits for the page and, when `pin`, its pin image.
    void follow_link(bool pin)
    {
        QSignalSpy placed(view.get(), &C2ndView::pinImagePlaced);
        ASSERT_TRUE(click(kLink));
        EXPECT_EQ(view->_current_id(), kArticle3);
        if (pin)
            ASSERT_TRUE(placed.count() > 0 || placed.wait(kWait));
        else
            EXPECT_FALSE(placed.wait(500));
    }
    QWidget* surface() { return view->browser()->focusProxy(); }
    // A right-button drag on the page from `from` by `by`, in window pixels.
    void right_drag(QPoint from, QPoint by, bool release = true)
    {
        QTest::mousePress(surface(), Qt::RightButton, {}, from);
        for (int step = 1; step <= 3; ++step)
            QTest::mouseMove(surface(), from + by * step / 3);
        if (release)
            QTest::mouseRelease(surface(), Qt::RightButton, {}, from + by);
    }
    // The source of the direction image; empty while there is none.
    QString direction_image()
    {
        return js(QStringLiteral("(function () { var e = document.getElementById('move-direction-image'); "
                                 "return e ? e.getAttribute('src') : ''; })()"))
            .toString();
    }
};

TEST_F(PinPointViewTest, ALinkWithATargetLandsOnItsSentenceWithThePin)
{
    start();
    ASSERT_TRUE(show(kArticle1));
    ASSERT_EQ(js(QStringLiteral("document.querySelector('%1').id").arg(kLink)).toString().toStdString(), kKey);
    EXPECT_EQ(link_background(), QStringLiteral("rgb(255, 255, 204)"));

    follow_link(true);
    const QVariantList sentence = place(kTarget);
    const QVariantList pin = place("pin-point-image");
    ASSERT_EQ(sentence.size(), 2);
    ASSERT_EQ(pin.size(), 2);
    EXPECT_EQ(pin[0].toInt(), sentence[0].toInt() - 10);
    EXPECT_EQ(pin[1].toInt(), sentence[1].toInt());
    const int view_height = js(QStringLiteral("innerHeight")).toInt();
    EXPECT_TRUE(wait_scroll(sentence[0].toInt() - static_cast<int>(0.3 * view_height)));
    EXPECT_TRUE(view->pin_image_shown());

    // A click anywhere in the page takes the pin away.
    ASSERT_TRUE(mouse_click(QStringLiteral("div")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return place("pin-point-image").isEmpty(); }, kWait));
    EXPECT_FALSE(view->pin_image_shown());
}

TEST_F(PinPointViewTest, EveryPageShownGetsItsLinkColours)
{
    start();
    ASSERT_TRUE(show(kArticle1));
    ASSERT_EQ(link_background(), QStringLiteral("rgb(255, 255, 204)"));
    // The same page built again (the 強調表示 check box, a large article's full
    // text), the page left and shown again, the settings applied.
    const std::pair<const char*, std::function<bool()>> reloads[] = {
        {"forced rebuild", [&] { view->set_forced_rebuild(); return show(kArticle1); }},
        {"another page and back", [&] { return show(kArticle3) && show(kArticle1); }},
        {"rebuilt", [&] {
             QSignalSpy loaded(view.get(), &C2ndView::pageLoaded);
             view->rebuild_current_page();
             return loaded.wait(kWait);
         }},
    };
    for (const auto& [how, reload] : reloads) {
        ASSERT_TRUE(reload()) << how;
        EXPECT_EQ(link_background(), QStringLiteral("rgb(255, 255, 204)")) << how;
    }
}

TEST_F(PinPointViewTest, OptionsTurnTheColoursAndTheMarksOff)
{
    start();
    ASSERT_TRUE(show(kArticle1));
    // Uncoloured links still jump.
    set_display(DisplaySettings::FontColorPioPointOff, 1);
    EXPECT_EQ(link_background(), QString());
    follow_link(true);

    // PinPoint off: no colours, no marks, and the ordinary menu on a link.
    ASSERT_TRUE(show(kArticle1));
    set_display(DisplaySettings::FontColorPioPointOff, 0);
    EXPECT_FALSE(link_background().isEmpty());
    QSignalSpy loaded(view.get(), &C2ndView::pageLoaded);
    view->run_command(C2ndView::kPinPoint);
    ASSERT_TRUE(loaded.wait(kWait));
    EXPECT_FALSE(view->command_checked(C2ndView::kPinPoint));
    EXPECT_EQ(link_background(), QString());
    ASSERT_TRUE(mouse_click(kLink, Qt::RightButton));
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->context_menu()->isVisible(); }, kWait));
    view->context_menu()->hide();
    EXPECT_FALSE(view->pinpoint_dialog()->isVisible());
    follow_link(false);
    EXPECT_TRUE(place("pin-point-image").isEmpty());
}

TEST_F(PinPointViewTest, TheListOffersTheSentencesAndKeepsTheReadersChoice)
{
    start();
    ASSERT_TRUE(show(kArticle1));
    set_display(DisplaySettings::PinPointPriority, 0); // the reader's own targets first
    CPinPointDlg* dialog = view->pinpoint_dialog();
    VListBase* list = dialog->list();

    // Right click on the link: the list, with the default target selected.
    ASSERT_TRUE(mouse_click(kLink, Qt::RightButton));
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog->isVisible(); }, kWait));
    EXPECT_FALSE(view->context_menu()->isVisible());
    EXPECT_EQ(list->_row_count(), 26); // 頁トップ, 24 paragraphs and 下のペインで開く
    EXPECT_EQ(list->topLevelItem(25)->text(0), QStringLiteral("下のペインで開く"));
    EXPECT_EQ(list->_selected_id(), kTarget);
    EXPECT_EQ(list->_cell_image(list->_row_of_id(kTarget), 0), 4);

    // A click on paragraph 5: its page with the pin, and the user's target on disk.
    const int row = list->_row_of_id(kUserTarget);
    QSignalSpy placed(view.get(), &C2ndView::pinImagePlaced);
    list->scrollToItem(list->topLevelItem(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->topLevelItem(row)).center());
    EXPECT_FALSE(dialog->isVisible());
    ASSERT_TRUE(placed.wait(kWait));
    EXPECT_EQ(placed.last().at(0).toString().toStdString(), kUserTarget);
    EXPECT_EQ(view->_current_id(), kArticle3);
    EXPECT_NE(read_file(dir.file("velto14.ppj")).find(kKey + ", " + kUserTarget), std::string::npos);

    // Chosen again on the page shown: it stays, scrolled to the new target with the pin.
    const QPoint at = view->mapToGlobal(QPoint(20, 20));
    const PageAnchor link{true, "http://01A-00030000_VELTO", kKey};
    const std::size_t back = back_ids().size();
    view->_context_menu(at, link);
    ASSERT_TRUE(dialog->isVisible());
    EXPECT_EQ(list->_selected_id(), kUserTarget);
    list->_select_id(kTarget);
    dialog->pick();
    ASSERT_TRUE(placed.wait(kWait));
    EXPECT_EQ(placed.last().at(0).toString().toStdString(), kTarget);
    EXPECT_EQ(back_ids().size(), back);
    EXPECT_NE(read_file(dir.file("velto14.ppj")).find(kKey + ", " + kTarget), std::string::npos);

    // 頁トップ removes it: the page's top, the default applies, the file no longer holds the key.
    view->_context_menu(at, link);
    list->_select_row(0);
    dialog->pick();
    EXPECT_TRUE(wait_scroll(0));
    EXPECT_EQ(read_file(dir.file("velto14.ppj")), "VERSION 14.03\r\n");
    EXPECT_EQ(doc->_pinpoint_target(kKey), kTarget);
    EXPECT_EQ(pane.synced.back(), kArticle3);

    // 下のペインで開く: the link with its key, for the lower pane; nothing moves here.
    QSignalSpy below(view.get(), &C2ndView::openBelowRequested);
    view->_context_menu(at, link);
    list->_select_row(list->_row_count() - 1);
    dialog->pick();
    ASSERT_EQ(below.count(), 1);
    EXPECT_EQ(below.at(0).at(0).toString(), QStringLiteral("01A-00030000-00"));
    EXPECT_EQ(below.at(0).at(1).toString().toStdString(), kKey);
    EXPECT_EQ(read_file(dir.file("velto14.ppj")), "VERSION 14.03\r\n");

    // A link to an appended table has no sentences to offer: the context menu.
    view->_context_menu(at, PageAnchor{true, "http://01A-T0010000_VELTO", kKey});
    EXPECT_TRUE(view->context_menu()->isVisible());
    EXPECT_FALSE(dialog->isVisible());
    view->context_menu()->hide();
}

TEST_F(PinPointViewTest, RightButtonDragsMoveThroughPages)
{
    start();
    ASSERT_TRUE(show(kArticle1)); // back leads to the cover; nothing forward
    const QPoint blank(4, 120);   // the page's margin

    // 10 pixels: no gesture, a right click.
    right_drag(blank, QPoint(10, 0));
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->context_menu()->isVisible(); }, kWait));
    view->context_menu()->hide();
    EXPECT_EQ(view->gesture_direction(), C2ndView::kGestureNone);
    EXPECT_TRUE(direction_image().isEmpty());
    EXPECT_EQ(view->_current_id(), kArticle1);

    // 15 pixels to the right with nothing ahead: the stop image; the release sends nothing.
    right_drag(blank, QPoint(15, 0), false);
    ASSERT_TRUE(QTest::qWaitFor([&] { return direction_image().endsWith(QStringLiteral("move_stop.gif")); }, kWait));
    EXPECT_EQ(view->gesture_direction(), C2ndView::kGestureStop);
    QTest::mouseRelease(surface(), Qt::RightButton, {}, blank + QPoint(15, 0));
    ASSERT_TRUE(QTest::qWaitFor([&] { return direction_image().isEmpty(); }, kWait));
    EXPECT_EQ(view->_current_id(), kArticle1);
    EXPECT_FALSE(view->context_menu()->isVisible()); // a gesture ends in no menu

    // On a link: no gesture.
    const QVariantList link = js(QStringLiteral("(function () { var r = document.querySelector('%1')"
                                                ".getBoundingClientRect(); return [r.left + 2, r.top + r.height / 2]; })()")
                                     .arg(kLink))
                                  .toList();
    ASSERT_EQ(link.size(), 2);
    right_drag(QPoint(link[0].toInt(), link[1].toInt()), QPoint(-40, 0));
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->pinpoint_dialog()->isVisible(); }, kWait)); // a right click
    view->pinpoint_dialog()->hide();
    EXPECT_EQ(view->gesture_direction(), C2ndView::kGestureNone);
    EXPECT_TRUE(direction_image().isEmpty());
    EXPECT_EQ(view->_current_id(), kArticle1);

    // To the left, the back image; the release goes back.
    QSignalSpy loaded(view.get(), &C2ndView::pageLoaded);
    right_drag(blank + QPoint(40, 0), QPoint(-30, 0), false);
    ASSERT_TRUE(QTest::qWaitFor([&] { return direction_image().endsWith(QStringLiteral("move_back.gif")); }, kWait));
    QTest::mouseRelease(surface(), Qt::RightButton, {}, blank + QPoint(10, 0));
    ASSERT_TRUE(loaded.wait(kWait));
    EXPECT_EQ(view->_current_id(), kCover);
    ASSERT_TRUE(wait_for_bridge());

    // The program's own pages have no insert point: the image shows all the same.
    right_drag(blank, QPoint(30, 0), false);
    ASSERT_TRUE(QTest::qWaitFor([&] { return direction_image().endsWith(QStringLiteral("move_fwrd.gif")); }, kWait));
    QTest::mouseRelease(surface(), Qt::RightButton, {}, blank + QPoint(30, 0));
    ASSERT_TRUE(loaded.wait(kWait));
    EXPECT_EQ(view->_current_id(), kArticle1);
}

} // namespace
} // namespace velto::test
