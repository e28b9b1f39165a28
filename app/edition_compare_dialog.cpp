#include "app/edition_compare_dialog.h"

#include "catalog/law_editions.h"
#include "compose/velto_doc.h"
#include "editions/article_history.h"
#include "editions/comparison_page.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QWebEngineView>

namespace velto {

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

// The column view shows composed text only: it follows no link and runs no script.
class ColumnsPage : public QWebEnginePage {
public:
    using QWebEnginePage::QWebEnginePage;

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool) override
    {
        return type == NavigationTypeTyped || url.scheme() == QLatin1String("data") ||
               url.toString() == QLatin1String("about:blank");
    }
};

QString edition_text(const Edition& e)
{
    return qs((e.enforced.empty() ? e.revision : japanese_date(e.enforced) + "施行") + (e.current ? "（現行）" : ""));
}

} // namespace

EditionCompareDialog::EditionCompareDialog(CVeltoDoc& doc, EditionChanges& changes, QWidget* parent)
    : QDialog(parent), doc_(doc), changes_(changes)
{
    setWindowTitle(QStringLiteral("改正比較（新旧対照）"));
    setObjectName(QStringLiteral("editionCompareDialog"));
    law_ = new QComboBox(this);
    older_ = new QComboBox(this);
    newer_ = new QComboBox(this);
    counts_ = new QLabel(this);
    counts_->setTextFormat(Qt::PlainText); // quotes what the user chose and titles from the database
    counts_->setWordWrap(true);
    list_ = new QTreeWidget(this);
    list_->setColumnCount(4);
    list_->setHeaderLabels({QStringLiteral("種別"), QStringLiteral("条"), QStringLiteral("改正後"), QStringLiteral("改正前")});
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    columns_ = new QWebEngineView(this);
    columns_->setPage(new ColumnsPage(columns_));
    columns_->setContextMenuPolicy(Qt::NoContextMenu);

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("法令"), this));
    top->addWidget(law_, 2);
    top->addWidget(new QLabel(QStringLiteral("改正前"), this));
    top->addWidget(older_, 1);
    top->addWidget(new QLabel(QStringLiteral("改正後"), this));
    top->addWidget(newer_, 1);
    auto* left = new QWidget(this);
    auto* left_layout = new QVBoxLayout(left);
    left_layout->setContentsMargins(0, 0, 0, 0);
    left_layout->addWidget(counts_);
    left_layout->addWidget(list_);
    auto* split = new QSplitter(this);
    split->addWidget(left);
    split->addWidget(columns_);
    split->setStretchFactor(1, 3);
    split->setSizes({330, 870});
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(split, 1);
    resize(1200, 760);

    filling_ = true;
    for (const LawEdition& e : doc_.editions())
        if (changes_.comparable(e.law))
            law_->addItem(qs(e.title), qs(e.law));
    filling_ = false;
    connect(law_, &QComboBox::currentIndexChanged, this, [this] {
        fill_editions();
        compare();
    });
    for (QComboBox* box : {older_, newer_})
        connect(box, &QComboBox::currentIndexChanged, this, [this] { compare(); });
    connect(list_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (item)
            show_article(list_->indexOfTopLevelItem(item));
    });
}

void EditionCompareDialog::fill_editions()
{
    filling_ = true;
    older_->clear();
    newer_->clear();
    const std::vector<Edition>& editions = changes_.editions(law_->currentData().toString().toStdString());
    for (const Edition& e : editions) {
        older_->addItem(edition_text(e), qs(e.revision));
        newer_->addItem(edition_text(e), qs(e.revision));
    }
    // The newest change first: the newest edition against the one before it.
    if (editions.size() >= 2) {
        older_->setCurrentIndex(static_cast<int>(editions.size()) - 2);
        newer_->setCurrentIndex(static_cast<int>(editions.size()) - 1);
    }
    filling_ = false;
}

bool EditionCompareDialog::show_comparison(const std::string& law, const std::string& older, const std::string& newer,
                                           const std::string& older_id, const std::string& newer_id)
{
    const int at = law_->findData(qs(law));
    if (at < 0)
        return false;
    filling_ = true;
    law_->setCurrentIndex(at);
    filling_ = false;
    fill_editions();
    filling_ = true;
    if (!older.empty() && older_->findData(qs(older)) >= 0)
        older_->setCurrentIndex(older_->findData(qs(older)));
    if (!newer.empty() && newer_->findData(qs(newer)) >= 0)
        newer_->setCurrentIndex(newer_->findData(qs(newer)));
    filling_ = false;
    compare();
    if (shown_ && (!older_id.empty() || !newer_id.empty())) {
        for (int row = 0; row < list_->topLevelItemCount(); ++row) {
            const QTreeWidgetItem* item = list_->topLevelItem(row);
            const std::string n = item->data(2, Qt::UserRole).toString().toStdString();
            const std::string o = item->data(3, Qt::UserRole).toString().toStdString();
            if ((!newer_id.empty() && n == newer_id) || (newer_id.empty() && o == older_id)) {
                list_->setCurrentItem(list_->topLevelItem(row));
                break;
            }
        }
    }
    return true;
}

void EditionCompareDialog::compare()
{
    if (filling_)
        return;
    list_->clear();
    shown_ = nullptr;
    html_.clear();
    columns_->setHtml(QString());
    const std::string law = law_->currentData().toString().toStdString();
    const std::vector<Edition>& editions = changes_.editions(law);
    const int a = older_->currentIndex(), b = newer_->currentIndex();
    if (a < 0 || b < 0 || a >= static_cast<int>(editions.size()) || b >= static_cast<int>(editions.size())) {
        counts_->setText(QStringLiteral("比較する版がありません。"));
        return;
    }
    // Older first, whichever way the two were chosen.
    const Edition& older = editions[static_cast<std::size_t>(std::min(a, b))];
    const Edition& newer = editions[static_cast<std::size_t>(std::max(a, b))];
    try {
        const EditionComparison& c = changes_.between(law, older, newer);
        if (!c.ok) {
            counts_->setText(qs(c.message));
            return;
        }
        shown_ = &c;
        counts_->setText(qs(japanese_date(older.enforced) + "施行 → " + japanese_date(newer.enforced) + "施行：" + c.counts()));
        const auto add = [this](const ArticleChange& change, bool columns) {
            auto* item = new QTreeWidgetItem(list_);
            item->setText(0, qs(std::string(change_kind_name(change.kind))));
            item->setText(1, qs(change.title) + (columns ? QString() : QStringLiteral("（対照表示なし）")));
            item->setText(2, qs(change.newer_id));
            item->setText(3, qs(change.older_id));
            item->setData(2, Qt::UserRole, qs(change.newer_id));
            item->setData(3, Qt::UserRole, qs(change.older_id));
            item->setData(0, Qt::UserRole, columns);
        };
        for (const ArticleChange& change : c.articles)
            add(change, true);
        for (const ArticleChange& change : c.others)
            add(change, false);
        if (c.articles.empty())
            counts_->setText(counts_->text() + QStringLiteral("\n本則の条文に違いはありません。"));
    } catch (const ComponentError&) {
        counts_->setText(QStringLiteral("法令の版を読めませんでした。データベースを確かめてください。"));
    }
}

void EditionCompareDialog::show_article(int row)
{
    if (!shown_ || row < 0)
        return;
    const QTreeWidgetItem* item = list_->topLevelItem(row);
    if (!item->data(0, Qt::UserRole).toBool()) {
        html_.clear();
        columns_->setHtml(QStringLiteral("<p>附則と別表は、改正されたことだけを示します（新旧対照は表示しません）。</p>"));
        return;
    }
    try {
        const ArticleComparison article =
            compare_article(doc_.database(), doc_, shown_->older, item->data(3, Qt::UserRole).toString().toStdString(),
                            shown_->newer, item->data(2, Qt::UserRole).toString().toStdString());
        html_ = qs(comparison_html(article, shown_->newer.title, doc_.display()));
    } catch (const ComponentError&) {
        html_ = QStringLiteral("<p>この条の版を読めませんでした。</p>");
    }
    columns_->setHtml(html_);
}

} // namespace velto
