#include "app/jump_field.h"

#include "citations/citation_resolver.h"
#include "view/page_view.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QKeyEvent>
#include <QStringListModel>

namespace velto {

namespace {

// Room beside the placeholder for the frame, the margins and the clear button.
constexpr int kFieldRoom = 40;

} // namespace

JumpField::JumpField(CVeltoDoc& doc, QWidget* parent) : QLineEdit(parent), doc_(doc)
{
    setObjectName(QStringLiteral("jumpField"));
    setPlaceholderText(QStringLiteral("条文へ移動（Ctrl+L）"));
    setToolTip(QStringLiteral("条文の番号を入力して Enter で移動します。\n"
                              "例: 令112条18項、法第六条第一項第二号、法6条の2、別表第2、附則、平12建告1400"));
    // As wide as its hint and no wider, so that the window's first size of
    // 800 pixels still shows every command of the toolbar.
    setFixedWidth(fontMetrics().horizontalAdvance(placeholderText()) + kFieldRoom);
    setClearButtonEnabled(true);
    setEnabled(false);

    offered_ = new QStringListModel(this);
    offers_ = new QCompleter(offered_, this);
    offers_->setWidget(this);
    offers_->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
    connect(offers_, qOverload<const QString&>(&QCompleter::activated), this, [this](const QString& text) {
        setText(text);
        go(text);
    });
    connect(this, &QLineEdit::returnPressed, this, [this] { go(text()); });
}

JumpField::~JumpField() = default;

void JumpField::set_page_view(C2ndView* view)
{
    if (view == view_)
        return;
    disconnect(shown_);
    view_ = view;
    setEnabled(view != nullptr);
    if (view)
        shown_ = connect(view, &C2ndView::pageShown, this, &JumpField::page_shown);
}

void JumpField::page_shown(const QString& id)
{
    // Another page: the citation no longer names what is shown.
    if (gone_text_.isEmpty() || id == gone_page_)
        return;
    if (text() == gone_text_) {
        offer({});
        clear();
    }
    gone_text_.clear();
}

bool JumpField::go(const QString& text)
{
    if (!view_)
        return false;
    if (!resolver_)
        resolver_ = open_citation_resolver(doc_);
    const CitationResult result = resolver_->resolve(text.toStdString(), view_->_current_id());
    if (!result.found) {
        // The offers first: showing their list makes the window take back
        // the status line, which would clear a message shown before it.
        offer(result.suggestions);
        emit message(QString::fromStdString(result.message));
        return false;
    }
    offer({});
    const CitationTarget& target = result.target;
    gone_page_ = QString::fromStdString(target.page);
    if (!view_->show_at(target.page, target.anchor, target.scope)) {
        emit message(QStringLiteral("%1 を表示できませんでした").arg(QString::fromStdString(target.label)));
        return false;
    }
    gone_text_ = this->text();
    emit message(QString::fromStdString(target.label));
    view_->_focus_page();
    return true;
}

void JumpField::offer(const std::vector<std::string>& suggestions)
{
    QStringList texts;
    for (const std::string& s : suggestions)
        texts << QString::fromStdString(s);
    offered_->setStringList(texts);
    if (texts.isEmpty()) {
        offers_->popup()->hide();
        return;
    }
    offers_->complete();
}

void JumpField::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier && view_) {
        view_->_focus_page();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

} // namespace velto
