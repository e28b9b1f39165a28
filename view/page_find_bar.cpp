#include "view/page_find_bar.h"

#include "view/page_view.h"
#include "view/word_marks.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QToolButton>

namespace velto {

PageFindBar::PageFindBar(C2ndView& view, QWidget* parent) : QFrame(parent), view_(view)
{
    setObjectName(QStringLiteral("findBar"));
    setFrameShape(QFrame::StyledPanel);
    edit_ = new QLineEdit(this);
    edit_->setObjectName(QStringLiteral("searchText"));
    edit_->setPlaceholderText(QStringLiteral("検索する文字列")); // in the field, where a label would cost the width
    // Narrow enough that the bar fits the page beside the contents at the
    // window's first 800 pixels: a wider bar would push the contents aside.
    edit_->setMinimumWidth(120);
    search_ = new QPushButton(QStringLiteral("検索(&F)"), this);
    search_->setObjectName(QStringLiteral("searchButton"));
    previous_ = new QPushButton(QStringLiteral("前を検索"), this);
    previous_->setObjectName(QStringLiteral("previousButton"));
    previous_->setToolTip(QStringLiteral("前の箇所へ移動します。（Shift+F3）"));
    next_ = new QPushButton(QStringLiteral("次を検索"), this);
    next_->setObjectName(QStringLiteral("nextButton"));
    next_->setToolTip(QStringLiteral("次の箇所へ移動します。（F3）"));
    message_ = new QLabel(this);
    message_->setObjectName(QStringLiteral("searchMessage"));
    message_->setMinimumWidth(message_->fontMetrics().horizontalAdvance(QStringLiteral("99個中99個目")));
    message_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    auto* close = new QToolButton(this);
    close->setObjectName(QStringLiteral("closeButton"));
    close->setText(QStringLiteral("×"));
    close->setToolTip(QStringLiteral("閉じる（Esc）"));
    close->setAutoRaise(true);
    for (QWidget* button : std::initializer_list<QWidget*>{search_, previous_, next_, close})
        button->setFocusPolicy(Qt::NoFocus); // the keys stay in the edit

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->addWidget(edit_, 1);
    layout->addWidget(search_);
    layout->addWidget(previous_);
    layout->addWidget(next_);
    layout->addWidget(message_, 1);
    layout->addWidget(close);

    connect(edit_, &QLineEdit::textChanged, this, &PageFindBar::update_buttons);
    connect(edit_, &QLineEdit::returnPressed, this, [this] {
        // The text painted already: Enter goes on to its next occurrence.
        if (!view_.find_string().empty() && edit_->text().toStdString() == view_.find_string())
            step(true);
        else
            search();
    });
    connect(search_, &QPushButton::clicked, this, &PageFindBar::search);
    connect(next_, &QPushButton::clicked, this, [this] { step(true); });
    connect(previous_, &QPushButton::clicked, this, [this] { step(false); });
    connect(close, &QToolButton::clicked, this, &PageFindBar::close_bar);
    connect(&view_, &C2ndView::commandStateChanged, this, &PageFindBar::update_buttons);
    update_buttons();
    hide();
}

void PageFindBar::open(const QString& text)
{
    if (!text.isEmpty())
        edit_->setText(text);
    show();
    edit_->setFocus(Qt::ShortcutFocusReason);
    edit_->selectAll();
}

void PageFindBar::close_bar()
{
    // The page takes the keyboard before the bar goes: hiding the widget that
    // holds the focus passes it on as a Tab would, and the engine answers a
    // Tab into the page by focusing its first link, scrolled to the top.
    view_._focus_page();
    hide();
}

void PageFindBar::update_buttons()
{
    search_->setEnabled(!edit_->text().isEmpty());
    const bool painted = !view_.find_string().empty();
    next_->setEnabled(painted || !edit_->text().isEmpty());
    previous_->setEnabled(painted || !edit_->text().isEmpty());
}

void PageFindBar::search()
{
    const std::string text = edit_->text().toStdString();
    if (text.empty())
        return;
    // The paint of the text before goes first, whatever this search finds.
    if (!view_.find_string().empty())
        view_._mark_words(view_.find_string(), true);
    QPointer<PageFindBar> self(this);
    view_._mark_words(text, false, [self, text](int result) {
        if (self)
            self->show_result(result, text);
    });
}

void PageFindBar::step(bool forward)
{
    const std::string text = edit_->text().toStdString();
    QPointer<PageFindBar> self(this);
    const auto told = [self](int index, int count) {
        if (!self)
            return;
        self->message_->setText(count > 0 ? QStringLiteral("%1個中%2個目").arg(count).arg(index)
                                          : QStringLiteral("見つかりませんでした。"));
        emit self->stepped(index, count);
    };
    // Another text in the edit than the one painted: it is searched first.
    if (!text.empty() && text != view_.find_string()) {
        view_._mark_words(text, false, [self, text, forward, told](int result) {
            if (!self)
                return;
            self->show_result(result, text);
            if (result > 0)
                self->view_.step_marks(forward, told);
        });
        return;
    }
    view_.step_marks(forward, told);
}

void PageFindBar::show_result(int result, const std::string& text)
{
    QString line;
    if (result > 0) {
        line = QStringLiteral("%1個見つかりました。").arg(result);
        last_text_ = text;
        emit textFound(QString::fromStdString(text));
    } else if (result == 0) {
        line = QStringLiteral("見つかりませんでした。");
    } else if (result == WordMarks::kTooManyWords) {
        line = QStringLiteral("検索できる単語は３個までです。");
    } else {
        line = QStringLiteral("検索に失敗しました。");
    }
    message_->setText(line);
    update_buttons();
    emit searched(result);
}

void PageFindBar::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close_bar();
        return;
    }
    QFrame::keyPressEvent(event);
}

} // namespace velto
