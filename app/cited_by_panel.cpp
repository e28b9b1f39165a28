#include "app/cited_by_panel.h"

#include "nav/plain_text.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTextDocument>
#include <QVBoxLayout>

namespace velto {

namespace {

// The row's rich text, in the item's data.
constexpr int kRowTextRole = Qt::UserRole + 1;
constexpr int kRowMargin = 4;

QString qs(const std::string& s) { return QString::fromStdString(s); }

// Two lines a row: where the sentence is, in bold; the excerpt, the link's words marked.
QString row_html(const CitingSentence& row)
{
    QString where = qs(row.law + " " + row.label).toHtmlEscaped();
    if (!row.caption.empty())
        where += QStringLiteral("　【%1】").arg(qs(row.caption).toHtmlEscaped());
    return QStringLiteral("<b>%1</b><br>%2<span style=\"background-color: #FFE08A; color: #000000; font-weight: bold\">%3</span>%4")
        .arg(where, qs(row.before).toHtmlEscaped(), qs(row.reference).toHtmlEscaped(), qs(row.after).toHtmlEscaped());
}

class RowDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem item = option;
        initStyleOption(&item, index);
        item.text.clear();
        QStyle* style = item.widget ? item.widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &item, painter, item.widget);

        QTextDocument doc;
        prepare(doc, option, index);
        painter->save();
        painter->translate(option.rect.topLeft() + QPoint(kRowMargin, kRowMargin));
        QAbstractTextDocumentLayout::PaintContext context;
        context.palette = option.palette;
        if (option.state & QStyle::State_Selected)
            context.palette.setColor(QPalette::Text, option.palette.color(QPalette::HighlightedText));
        doc.documentLayout()->draw(painter, context);
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QTextDocument doc;
        prepare(doc, option, index);
        return QSize(qRound(doc.idealWidth()) + 2 * kRowMargin, qRound(doc.size().height()) + 2 * kRowMargin);
    }

private:
    static void prepare(QTextDocument& doc, const QStyleOptionViewItem& option, const QModelIndex& index)
    {
        doc.setDefaultFont(option.font);
        doc.setDocumentMargin(0);
        const auto* view = qobject_cast<const QAbstractItemView*>(option.widget);
        const int width = view ? view->viewport()->width() : option.rect.width();
        doc.setTextWidth(std::max(80, width - 2 * kRowMargin));
        doc.setHtml(index.data(kRowTextRole).toString());
    }
};

} // namespace

CitedByPanel::CitedByPanel(QWidget* parent) : QDockWidget(QStringLiteral("この条を引用している条文"), parent)
{
    setObjectName(QStringLiteral("citedByPanel"));
    setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable);
    setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea | Qt::BottomDockWidgetArea);

    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(2, 2, 2, 2);
    heading_ = new QLabel(body);
    heading_->setObjectName(QStringLiteral("citedByHeading"));
    heading_->setWordWrap(true);
    heading_->setTextFormat(Qt::PlainText);
    // Without rows the message stands where the rows begin, not in the middle of the panel.
    heading_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    rows_ = new QListWidget(body);
    rows_->setObjectName(QStringLiteral("citedByRows"));
    rows_->setItemDelegate(new RowDelegate(rows_));
    rows_->setWordWrap(true);
    rows_->setResizeMode(QListView::Adjust);
    rows_->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    rows_->setUniformItemSizes(false);
    layout->addWidget(heading_);
    layout->addWidget(rows_, 1);
    setWidget(body);

    connect(rows_, &QListWidget::clicked, this, [this](const QModelIndex& index) { choose(index.row()); });
    connect(rows_, &QListWidget::activated, this, [this](const QModelIndex& index) { choose(index.row()); });
}

void CitedByPanel::show_list(const CitedByList& list)
{
    sentences_ = list.sentences;
    rows_->clear();
    if (sentences_.empty()) {
        heading_->setText(qs(list.message));
    } else {
        heading_->setText(QStringLiteral("%1 を引用している条文（%2件）")
                              .arg(qs(list.subject))
                              .arg(static_cast<qsizetype>(sentences_.size())));
    }
    for (const CitingSentence& row : sentences_) {
        auto* item = new QListWidgetItem(rows_);
        item->setData(kRowTextRole, row_html(row));
        // The plain words, for the reader's screen reader and for tests.
        item->setText(qs(row.law + " " + row.label + " " + row.before + row.reference + row.after));
        item->setToolTip(plain_tooltip(qs(row.before + row.reference + row.after)));
    }
    rows_->setVisible(!sentences_.empty());
    show();
    raise();
}

QString CitedByPanel::heading() const { return heading_->text(); }

void CitedByPanel::choose(int row)
{
    if (row < 0 || static_cast<std::size_t>(row) >= sentences_.size())
        return;
    emit sentenceChosen(qs(sentences_[row].page), qs(sentences_[row].sentence));
}

} // namespace velto
