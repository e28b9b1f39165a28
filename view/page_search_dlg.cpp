#include "view/page_search_dlg.h"

#include "settings/persisted_state.h"
#include "view/page_view.h"
#include "view/word_marks.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>

namespace velto {

namespace {

Rect rect_of(const QRect& r) { return Rect{r.left(), r.top(), r.width(), r.height()}; }

} // namespace

CPageSearchDlg::CPageSearchDlg(C2ndView& view, SettingsStore& settings, QWidget* main, const std::string& last_text)
    : QDialog(main), view_(view), settings_(settings), main_(main), last_text_(last_text)
{
    setWindowTitle(QStringLiteral("このページ内の検索"));
    auto* label = new QLabel(QStringLiteral("検索する文字列 ："), this);
    edit_ = new QLineEdit(this);
    edit_->setObjectName(QStringLiteral("searchText"));
    edit_->setMinimumWidth(240);
    search_ = new QPushButton(QStringLiteral("検索(&F)"), this);
    search_->setObjectName(QStringLiteral("searchButton"));
    search_->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("中止(&X)"), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    cancel->setAutoDefault(false);
    message_ = new QLabel(QStringLiteral("検索メッセージ"), this);
    message_->setObjectName(QStringLiteral("searchMessage"));
    message_->hide();

    auto* layout = new QGridLayout(this);
    layout->addWidget(label, 0, 0);
    layout->addWidget(edit_, 0, 1);
    layout->addWidget(search_, 0, 2);
    layout->addWidget(message_, 1, 0, 1, 2);
    layout->addWidget(cancel, 1, 2);

    connect(edit_, &QLineEdit::textChanged, this, [this](const QString& text) { search_->setEnabled(!text.isEmpty()); });
    connect(search_, &QPushButton::clicked, this, &CPageSearchDlg::search);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    if (!last_text_.empty())
        edit_->setText(QString::fromStdString(last_text_));
    search_->setEnabled(!edit_->text().isEmpty());
    edit_->selectAll();
    adjustSize();
    setFixedSize(size());
    place();
}

void CPageSearchDlg::place()
{
    if (!main_)
        return;
    QScreen* screen = main_->screen();
    const QRect area = screen ? screen->availableGeometry() : QRect();
    // Kept within the main window's screen, in that screen's coordinates.
    QRect frame = main_->frameGeometry();
    frame.translate(-area.topLeft());
    const Point at = dialog_position_on_open(rect_of(frame), width(), height(), read_dialog_anchor(settings_),
                                             area.width(), area.height());
    move(QPoint(at.x, at.y) + area.topLeft());
}

void CPageSearchDlg::done(int result)
{
    if (main_)
        write_dialog_anchor(settings_, dialog_anchor_on_close(rect_of(main_->frameGeometry()),
                                                              Rect{x(), y(), width(), height()}));
    QDialog::done(result);
}

void CPageSearchDlg::search()
{
    message_->hide();
    const std::string text = edit_->text().toStdString();
    if (text.empty())
        return;
    if (!view_.find_string().empty())
        view_._mark_words(view_.find_string(), true);
    QPointer<CPageSearchDlg> self(this);
    view_._mark_words(text, false, [self, text](int result) {
        if (self)
            self->show_result(result, text);
    });
}

void CPageSearchDlg::show_result(int result, const std::string& text)
{
    QString line;
    if (result > 0) {
        line = QStringLiteral("%1個見つかりました。").arg(result);
        last_text_ = text;
    } else if (result == 0) {
        line = QStringLiteral("見つかりませんでした。");
    } else if (result == WordMarks::kTooManyWords) {
        line = QStringLiteral("検索できる単語は３個までです。");
    } else {
        line = QStringLiteral("検索に失敗しました。");
    }
    message_->setText(line);
    message_->show();
    emit searched(result);
}

} // namespace velto
