#include "view/pinpoint_dlg.h"

#include "userfiles/pinpoint_rows.h"
#include "compose/velto_doc.h"
#include "nav/list_base.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>

#include <functional>

namespace velto {

namespace {

constexpr ReportOrigin kShowOrigin{"選択ジャンプ用のダイアログを表示", "CPinPointDlg::_show()"};
// Room of a column beside its widest text: the row image and the text's margins.
constexpr int kColumnRoom = 32;
// The list opens this far below the point it was asked for.
constexpr int kDrop = 10;
// The row that opens the link in the lower pane: an id no page or sentence has.
constexpr char kOpenBelowRow[] = "open-below";
constexpr char kOpenBelowText[] = "下のペインで開く";

// The list of the popup: Enter picks, Escape closes; the keys are not the
// navigation pane's (no held-key pause, no notification).
class PinPointList : public VListBase {
public:
    PinPointList(QWidget* parent, std::function<void()> pick, std::function<void()> close)
        : VListBase(CPinPointDlg::kListId, parent), pick_(std::move(pick)), close_(std::move(close))
    {
    }

    int row_height() const { return topLevelItemCount() > 0 ? indexRowSizeHint(model()->index(0, 0)) : 0; }

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter: pick_(); return;
        case Qt::Key_Escape: close_(); return;
        default: QTreeWidget::keyPressEvent(event);
        }
    }
    void keyReleaseEvent(QKeyEvent* event) override { QTreeWidget::keyReleaseEvent(event); }

private:
    std::function<void()> pick_;
    std::function<void()> close_;
};

} // namespace

CPinPointDlg::CPinPointDlg(QWidget* owner) : QFrame(owner, Qt::Popup | Qt::FramelessWindowHint)
{
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    auto* list = new PinPointList(
        this, [this] { pick(); }, [this] { hide(); });
    list_ = list;
    list_->setObjectName(QStringLiteral("pinpointList"));
    list_->setFrameShape(QFrame::NoFrame);
    list_->setHeaderHidden(true);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The row under the mouse is the selected one.
    list_->setMouseTracking(true);
    connect(list_, &QTreeWidget::itemEntered, list_, [this](QTreeWidgetItem* item) {
        list_->setCurrentItem(item, 0, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    });
    connect(list_, &QTreeWidget::itemClicked, this, &CPinPointDlg::pick);
    connect(list_, &QTreeWidget::itemDoubleClicked, this, &CPinPointDlg::pick);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(list_);
    resize(kMaximumWidth, kMaximumHeight);
    hide();
}

void CPinPointDlg::bind(CVeltoDoc* doc)
{
    doc_ = doc;
    list_->_set_columns(doc, true, VListBase::kColumnBlank);
    list_->set_grid_lines(false);
}

int CPinPointDlg::_show(const QPoint& screen, const std::string& id)
{
    if (!doc_ || !pinpoint_offers_sentences(id))
        return 2;
    PinPointRows rows;
    try {
        rows = build_pinpoint_rows(doc_->database(), *doc_, id, doc_->_pinpoint_target(key_));
    } catch (const ComponentError& error) {
        hide();
        report(doc_->reporter(), kShowOrigin, ReportVariant::Tab, error);
        return 0;
    } catch (const std::exception&) {
        hide();
        report_unexpected(doc_->reporter(), kShowOrigin, ReportVariant::Tab);
        return 0;
    }

    list_->_clear();
    const QFontMetrics metrics = list_->fontMetrics();
    int widest = 0;
    for (const PinPointRow& row : rows.rows) {
        list_->_add_row(ListRow{row.id, {row.label}, row.image, 0});
        widest = std::max(widest, metrics.horizontalAdvance(QString::fromStdString(row.label)));
    }
    if (list_->_row_count() < 2) {
        // Nothing numbered to choose from: the article itself.
        hide();
        emit pageAsked(QString::fromStdString(rows.last_sentence.empty() ? id : rows.last_sentence.substr(0, 15)));
        return 1;
    }
    id_ = id;
    list_->_add_row(ListRow{kOpenBelowRow, {kOpenBelowText}, -1, 0});
    widest = std::max(widest, metrics.horizontalAdvance(QString::fromUtf8(kOpenBelowText)));

    const int column = widest + kColumnRoom;
    list_->setColumnWidth(0, column);
    auto* list = static_cast<PinPointList*>(list_);
    int height = (list->row_height() + 1) * list_->_row_count() + 2 * frameWidth();
    int width = column + 2 * frameWidth();
    if (height > kMaximumHeight) {
        height = kMaximumHeight;
        width += style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list_->verticalScrollBar());
    }
    // Below the point, but on the screen.
    QPoint at(screen.x(), screen.y() + kDrop);
    if (const QScreen* s = QGuiApplication::screenAt(screen)) {
        const QRect area = s->availableGeometry();
        if (at.x() + width > area.right() + 1)
            at.setX(std::max(area.left(), area.right() + 1 - width));
        if (at.y() + height > area.bottom() + 1)
            at.setY(std::max(area.top(), screen.y() - height));
    }
    setGeometry(QRect(at, QSize(width, height)));
    show();
    raise();
    activateWindow();
    list_->setFocus(Qt::PopupFocusReason);
    list_->_select_row(rows.selected);
    return 1;
}

void CPinPointDlg::pick()
{
    const std::string choice = list_->_selected_id();
    hide();
    if (choice == kOpenBelowRow)
        emit openBelow(QString::fromStdString(id_), QString::fromStdString(key_));
    else if (!choice.empty())
        emit chosen(QString::fromStdString(key_), QString::fromStdString(choice));
}

bool CPinPointDlg::event(QEvent* event)
{
    if (event->type() == QEvent::WindowDeactivate && isVisible())
        hide();
    return QFrame::event(event);
}

} // namespace velto
