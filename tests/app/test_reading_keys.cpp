// Reading with the keyboard: where the keys are after a page change, the
// back and forward keys, and the jump field once the page has changed.
#include "tests/app/main_frame_fixture.h"

#include "nav/list_lst.h"

#include <functional>

using namespace velto;
using namespace velto::test;

namespace {

constexpr const char* kArticle7 = "01A-00070000-00"; // links to 第6条
constexpr const char* kArticle6 = "01A-00060000-00";
constexpr const char* kArticle1 = "01A-00010000-00";

class ReadingKeys : public MainFrameTest {
protected:
    bool focus_in(QWidget* widget) const
    {
        QWidget* focus = QApplication::focusWidget();
        return focus && (focus == widget || widget->isAncestorOf(focus));
    }
    bool focus_in_page() const { return focus_in(frame->page_view()->browser()); }
    // Lets queued work (a link's request, the pane following) and a load finish.
    void settle()
    {
        QTest::qWait(50);
        ASSERT_TRUE(wait_for_page());
        QApplication::processEvents();
    }
};

TEST_F(ReadingKeys, APageChangeStartedInThePageLeavesTheKeyboardInThePage)
{
    open_frame();
    frame->activateWindow();
    C2ndView* view = frame->page_view();
    const struct {
        const char* what;
        int tab;
        std::function<void()> act;
    } cases[] = {
        {"a link, 目次 shown", kTabContents,
         [&] { js(QStringLiteral("document.querySelector('a[href*=\"01A-00060000\"]').click()")); }},
        {"the jump field, リスト shown", kTabList,
         [&] {
             frame->jump_field()->setFocus();
             frame->jump_field()->setText(QStringLiteral("法6条"));
             press(frame->jump_field(), Qt::Key_Return);
         }},
        {"Down (the next article), しおり shown", kTabBookmarks,
         [&] { press(QApplication::focusWidget(), Qt::Key_Down); }},
        {"Alt+Left (back), 目次 shown", kTabContents,
         [&] { press(QApplication::focusWidget(), Qt::Key_Left, Qt::AltModifier); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        frame->left_pane()->_select_tab(c.tab);
        ASSERT_TRUE(show(kArticle7));
        view->_focus_page();
        QApplication::processEvents();
        ASSERT_TRUE(focus_in_page());
        c.act();
        settle();
        EXPECT_NE(view->_current_id(), kArticle7);
        EXPECT_TRUE(focus_in_page());
        // Page Down reads on in the page: no other page opens.
        const std::string shown = view->_current_id();
        press(QApplication::focusWidget(), Qt::Key_PageDown);
        settle();
        EXPECT_EQ(view->_current_id(), shown);
    }

    // A choice in the pane leaves the keyboard in the pane, as it was.
    frame->left_pane()->_select_tab(kTabList);
    VListLst* list = frame->left_pane()->article_list();
    list->setFocus();
    list->_select_id(kArticle1);
    settle();
    EXPECT_EQ(view->_current_id(), kArticle1);
    EXPECT_TRUE(focus_in(list));
}

TEST_F(ReadingKeys, AltAndCtrlArrowsGoBackAndForwardWhereverTheKeyboardIs)
{
    open_frame();
    frame->activateWindow();
    ASSERT_TRUE(show(kArticle1));
    ASSERT_TRUE(show(kArticle6));
    C2ndView* view = frame->page_view();
    EXPECT_EQ(frame->action(cmd::Back)->toolTip(), QStringLiteral("一つ戻ります。（Alt+← または Ctrl+←）"));
    EXPECT_EQ(frame->action(cmd::Forward)->toolTip(), QStringLiteral("一つ進みます。（Alt+→ または Ctrl+→）"));

    frame->left_pane()->_select_tab(kTabContents);
    QWidget* places[] = {view->browser(), frame->left_pane()->tree(), frame->jump_field()};
    for (QWidget* place : places) {
        for (const Qt::KeyboardModifier modifier : {Qt::AltModifier, Qt::ControlModifier}) {
            SCOPED_TRACE(place->metaObject()->className() + std::string(modifier == Qt::AltModifier ? " Alt" : " Ctrl"));
            place->setFocus();
            QApplication::processEvents();
            QWidget* target = QApplication::focusWidget();
            ASSERT_TRUE(target);
            press(target, Qt::Key_Left, modifier);
            settle();
            // In a text field Ctrl+arrows move the caret by words.
            const bool moves = !(place == frame->jump_field() && modifier == Qt::ControlModifier);
            EXPECT_EQ(view->_current_id(), moves ? kArticle1 : kArticle6);
            press(QApplication::focusWidget(), Qt::Key_Right, modifier);
            settle();
            EXPECT_EQ(view->_current_id(), kArticle6);
        }
    }
}

TEST_F(ReadingKeys, TheJumpFieldLetsGoOfItsCitationOnceAnotherPageIsShown)
{
    open_frame();
    JumpField* field = frame->jump_field();
    field->setText(QStringLiteral("法6条"));
    ASSERT_TRUE(field->go(field->text()));
    ASSERT_TRUE(wait_for_page());
    EXPECT_EQ(field->text(), QStringLiteral("法6条")); // its page is shown
    ASSERT_TRUE(show(kArticle7));
    EXPECT_EQ(field->text(), QString());

    // A text being typed stays, whatever is shown meanwhile.
    field->setText(QStringLiteral("令1"));
    ASSERT_TRUE(show(kArticle1));
    EXPECT_EQ(field->text(), QStringLiteral("令1"));
}

} // namespace
