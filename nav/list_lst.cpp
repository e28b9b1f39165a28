#include "nav/list_lst.h"

#include "catalog/article_rows.h"
#include "compose/velto_doc.h"
#include "nav/control_ids.h"

#include <QPointer>

namespace velto {

namespace {

// Switches the painting of a widget and its children off for its lifetime
// and puts the previous state back at the end.
class NoRedraw {
public:
    explicit NoRedraw(QWidget* widget) : widget_(widget), enabled_(widget->updatesEnabled())
    {
        widget_->setUpdatesEnabled(false);
    }
    ~NoRedraw()
    {
        if (widget_ && enabled_)
            widget_->setUpdatesEnabled(true);
    }
    NoRedraw(const NoRedraw&) = delete;
    NoRedraw& operator=(const NoRedraw&) = delete;

private:
    QPointer<QWidget> widget_;
    bool enabled_;
};

} // namespace

VListLst::VListLst(QWidget* parent) : VListBase(kIdArticleList, parent) { keep_column_widths(); }

bool VListLst::_show(const std::string& id_hn)
{
    // The whole pane waits until the list is complete.
    const NoRedraw quiet(parentWidget() ? parentWidget() : this);
    _clear();

    const int label_column = _column_of(kColumnArticle);
    if (label_column >= 0)
        headerItem()->setText(label_column, QString::fromStdString(ArticleRows::header(id_hn)));
    if (!doc_)
        return false;

    ArticleRows rows;
    const bool built = rows.build(doc_->database(), *doc_, doc_->reporter(), id_hn);
    const int title_column = _column_of(kColumnTitle);
    for (const ArticleRow& article : rows.rows()) {
        ListRow row;
        row.id = article.id;
        row.columns.assign(static_cast<std::size_t>(columnCount()), std::string());
        if (label_column >= 0)
            row.columns[static_cast<std::size_t>(label_column)] = article.label;
        if (title_column >= 0)
            row.columns[static_cast<std::size_t>(title_column)] = article.title;
        row.image = article.image;
        _add_row(row);
    }
    _autosize_columns();
    return built;
}

} // namespace velto
