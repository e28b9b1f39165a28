// The preview of a link in a headless page view: the mouse rests on a link,
// the preview shows what it points to, and nothing else changes.
#include "tests/view/view_fixture.h"
#include "view/link_peek_popup.h"
#include "view/page_bridge.h"
#include "view/view_page.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <QWebEngineView>

namespace velto::test {
namespace {

constexpr const char* kArticle1 = "01A-00010000-00";
constexpr const char* kArticle3 = "01A-00030000-00";
const QString kLink = QStringLiteral("a[href*=\"01A-00030000\"]");

class LinkPeekTest : public PageViewTest {
protected:
    // The middle of the element `selector`, in the browser's coordinates; (-1, -1) without one.
    QPoint middle(const QString& selector)
    {
        const QVariantList box = js(QStringLiteral("(function () { var e = document.querySelector('%1'); if (!e) "
                                                   "return []; var r = e.getClientRects()[0]; "
                                                   "return [r.left + r.width / 2, r.top + r.height / 2]; })()")
                                        .arg(selector))
                                     .toList();
        return box.size() == 2 ? QPoint(qRound(box[0].toDouble()), qRound(box[1].toDouble())) : QPoint(-1, -1);
    }
    void move_to(const QPoint& at) { QTest::mouseMove(view->browser()->focusProxy(), at); }
    bool preview_shown() { return view->peek_popup() && view->peek_popup()->isVisible(); }
    // Rests the mouse on the link to 第3条 and waits for its preview.
    void rest_on_link()
    {
        move_to(QPoint(2, 2));
        move_to(middle(kLink));
        ASSERT_TRUE(QTest::qWaitFor([&] { return preview_shown(); }, kWait));
    }
    // The text of the preview.
    QString preview_text()
    {
        auto text = std::make_shared<QString>();
        auto done = std::make_shared<bool>(false);
        view->peek_popup()->page()->bridge()->run(QStringLiteral("document.body ? document.body.innerText : ''"),
                                                  [text, done](const QVariant& value) {
                                                      *text = value.toString();
                                                      *done = true;
                                                  });
        EXPECT_TRUE(QTest::qWaitFor([&] { return *done; }, kWait));
        return *text;
    }
};

TEST_F(LinkPeekTest, RestingOnALinkShowsWhatItPointsToAndChangesNothing)
{
    start();
    ASSERT_TRUE(show(kArticle1));
    const auto back = back_ids();
    const auto forward = forward_ids();
    QSignalSpy loaded(view.get(), &C2ndView::pageLoaded);
    QSignalSpy followed(view.get(), &C2ndView::linkFollowed);
    const int windows = QApplication::topLevelWidgets().size();

    QElapsedTimer waited;
    waited.start();
    rest_on_link();
    EXPECT_GE(waited.elapsed(), C2ndView::kPeekDelayMs - 50) << "not before the mouse has rested";

    // The article's first paragraph, with the page's styles, beside the link.
    const QString text = preview_text();
    EXPECT_TRUE(text.startsWith(QStringLiteral("建築基準法 第3条　【適用の除外】"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("この法律の規定は、第1条の建築物には適用しない。"))) << text.toStdString();
    const QRect popup = view->peek_popup()->geometry();
    const QPoint link = view->browser()->mapToGlobal(middle(kLink));
    EXPECT_LT(std::abs(popup.left() - link.x()), LinkPeekPopup::kWidth);
    EXPECT_TRUE(popup.top() > link.y() || popup.bottom() < link.y()) << "beside the link, not over it";
    EXPECT_TRUE(QTest::qWaitFor([&] { return view->peek_popup()->height() < LinkPeekPopup::kMaxHeight / 2; }, kWait))
        << "as tall as its one paragraph, not " << view->peek_popup()->height();

    // Nothing navigated, nothing recorded, no window of the engine opened but the preview.
    EXPECT_EQ(view->_current_id(), kArticle1);
    EXPECT_EQ(back_ids(), back);
    EXPECT_EQ(forward_ids(), forward);
    EXPECT_EQ(loaded.count(), 0);
    EXPECT_EQ(followed.count(), 0);
    EXPECT_EQ(QApplication::topLevelWidgets().size(), windows + 1);

    // Esc closes it; so does the mouse leaving the link.
    QTest::keyClick(view->browser()->focusProxy(), Qt::Key_Escape);
    EXPECT_FALSE(preview_shown());
    rest_on_link();
    move_to(QPoint(2, 2));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !preview_shown(); }, kWait));
    // And the window it belongs to moving away from it.
    rest_on_link();
    view->window()->move(view->window()->pos() + QPoint(40, 0));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !preview_shown(); }, kWait));
    EXPECT_EQ(view->_current_id(), kArticle1);
    EXPECT_EQ(back_ids(), back);
}

TEST_F(LinkPeekTest, AClickInThePreviewFollowsTheLink)
{
    start();
    ASSERT_TRUE(show(kArticle1));
    rest_on_link();
    QSignalSpy loaded(view.get(), &C2ndView::pageLoaded);
    QWidget* preview = view->peek_popup()->findChild<QWebEngineView*>()->focusProxy();
    ASSERT_NE(preview, nullptr);
    QTest::mouseClick(preview, Qt::LeftButton, {}, QPoint(40, 40));
    ASSERT_TRUE(loaded.wait(kWait));
    EXPECT_EQ(view->_current_id(), kArticle3);
    EXPECT_EQ(back_ids().back(), kArticle1);
    EXPECT_FALSE(preview_shown());
}

// 第7条 defines 建築物 for the whole law, which 第3条 uses.
class TermPeekTest : public LinkPeekTest {
protected:
    void SetUp() override
    {
        extra_sql.push_back(
            "INSERT INTO T_条 VALUES ('01A-00070000-00', '01A-0100-0000-0000-0000', '用語の定義', '', 0, 0, -1);\n"
            "INSERT INTO T_文 VALUES ('01A-00070000-00-0100-0000-0000-0000', 'この法律において次の各号に掲げる用語の"
            "意義は、当該各号に定めるところによる。', '', 0, 0, 0, 0, NULL);\n"
            "INSERT INTO T_文 VALUES ('01A-00070000-00-0100-0100-0000-0000', '建築物　土地に定着する工作物をいう。', "
            "'', 0, 0, 0, 0, NULL);\n");
        LinkPeekTest::SetUp();
    }
};

TEST_F(TermPeekTest, RestingOnADefinedTermShowsItsDefinitionAndAClickOpensIt)
{
    start();
    ASSERT_TRUE(show(kArticle3));
    const QString term = QStringLiteral("span.vt-term[data-term=\"01A-00070000-00-0100-0100-0000-0000\"]");
    move_to(QPoint(2, 2));
    move_to(middle(term));
    ASSERT_TRUE(QTest::qWaitFor([&] { return preview_shown(); }, kWait));
    const QString text = preview_text();
    EXPECT_TRUE(text.contains(QStringLiteral("第七条第一号　「建築物」"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("土地に定着する工作物をいう。"))) << text.toStdString();
    EXPECT_EQ(view->_current_id(), kArticle3);

    QSignalSpy loaded(view.get(), &C2ndView::pageLoaded);
    QTest::mouseClick(view->peek_popup()->findChild<QWebEngineView*>()->focusProxy(), Qt::LeftButton, {},
                      QPoint(40, 40));
    ASSERT_TRUE(loaded.wait(kWait));
    EXPECT_EQ(view->_current_id(), "01A-00070000-00");
    EXPECT_EQ(back_ids().back(), kArticle3);
}

} // namespace
} // namespace velto::test
