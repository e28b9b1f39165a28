#include "nav/list_base.h"

#include "compose/velto_doc.h"
#include "core/sjis.h"
#include "settings/persisted_state.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QImage>
#include <QPainter>
#include <QStringList>
#include <QStyledItemDelegate>
#include <QSvgRenderer>
#include <QTimer>

#include <algorithm>
#include <array>

// The pictures live in a resource of this static library; they have to be
// registered by hand before the first use.
static void register_list_images()
{
    Q_INIT_RESOURCE(list_images);
}

namespace velto {

namespace {

constexpr const char* kImageStrip = ":/nav/images/list_images.svg";
constexpr std::string_view kEllipsis = "...";
// The widths are stored once the user has stopped dragging for this long (milliseconds).
constexpr int kStoreWidthsDelay = 500;
// Opacity of the colour laid over an image: a quarter.
constexpr int kBlendAlpha = 64;

struct ColumnSpec {
    unsigned bit;
    const char* header;
};

constexpr std::array<ColumnSpec, 4> kColumns{{
    {VListBase::kColumnLaw, "法名"},
    {VListBase::kColumnArticle, "条"},
    {VListBase::kColumnTitle, "タイトル"},
    {VListBase::kColumnBlank, ""},
}};

QString to_qstring(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Sizes the cells for the list's own drawing: the text with its margins, and
// the image in front of it when there is one.
class ListCellDelegate : public QStyledItemDelegate {
public:
    explicit ListCellDelegate(VListBase* list) : QStyledItemDelegate(list), list_(list) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const QSize base = QStyledItemDelegate::sizeHint(option, index);
        const std::string text = index.data(Qt::DisplayRole).toString().toStdString();
        int width = list_->fontMetrics().horizontalAdvance(to_qstring(sjis_prefix(text, VListBase::kMaxCellBytes)));
        width += 2 * kCellTextMargin;
        if (list_->_cell_image(index.row(), index.column()) >= 0)
            width += VListBase::kImageWidth;
        return {width, std::max(base.height(), VListBase::kImageHeight)};
    }

private:
    VListBase* list_;
};

} // namespace

std::string fit_cell_text(std::string_view text, int available, const std::function<int(std::string_view)>& width)
{
    if (text.empty() || width(text) + kCellTextMargin <= available)
        return std::string(text);
    const int ellipsis = width(kEllipsis);
    std::size_t end = 0;
    while (end < text.size()) {
        end += utf8_decode_at(text, end).bytes;
        if (width(text.substr(0, end)) + ellipsis + kCellTextMargin >= available)
            break;
    }
    const std::string_view prefix = text.substr(0, end);
    if (sjis_width(prefix) < 3 && width(prefix) + kCellTextMargin >= available)
        return {};
    return std::string(prefix) + std::string(kEllipsis);
}

const std::vector<QPixmap>& VListBase::images()
{
    static const std::vector<QPixmap> strip = [] {
        register_list_images();
        const qreal ratio = qApp ? qApp->devicePixelRatio() : 1.0;
        const int w = qRound(kImageWidth * ratio);
        const int h = qRound(kImageHeight * ratio);
        QImage all(w * kImageCount, h, QImage::Format_ARGB32_Premultiplied);
        all.fill(Qt::transparent);
        QSvgRenderer renderer(QString::fromLatin1(kImageStrip));
        if (renderer.isValid()) {
            QPainter painter(&all);
            renderer.render(&painter, QRectF(0, 0, all.width(), all.height()));
        }
        std::vector<QPixmap> cut;
        cut.reserve(kImageCount);
        for (int i = 0; i < kImageCount; ++i) {
            QPixmap image = QPixmap::fromImage(all.copy(i * w, 0, w, h));
            image.setDevicePixelRatio(ratio);
            cut.push_back(image);
        }
        return cut;
    }();
    return strip;
}

int VListBase::overlay_image(int overlay)
{
    switch (overlay) {
    case 1: return 0;
    case 4: return 3;
    default: return -1;
    }
}

VListBase::VListBase(int control_id, QWidget* parent) : NavItemView(control_id, parent)
{
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSortingEnabled(false);
    setColumnCount(0);
    header()->setStretchLastSection(false);
    header()->setSectionsClickable(false);
    header()->setSectionsMovable(false);
    // Column widths follow every row, not only the first thousand.
    header()->setResizeContentsPrecision(-1);
    setItemDelegate(new ListCellDelegate(this));
    connect(header(), &QHeaderView::sectionResized, this, &VListBase::column_resized);
}

VListBase::~VListBase()
{
    if (store_widths_ && store_widths_->isActive())
        store_column_widths();
}

void VListBase::column_resized()
{
    if (sizing_ || !keep_widths_ || !doc_)
        return;
    if (!store_widths_) {
        store_widths_ = new QTimer(this);
        store_widths_->setSingleShot(true);
        connect(store_widths_, &QTimer::timeout, this, &VListBase::store_column_widths);
    }
    store_widths_->start(kStoreWidthsDelay);
}

void VListBase::store_column_widths()
{
    if (store_widths_)
        store_widths_->stop();
    if (!doc_)
        return;
    std::vector<int> widths;
    for (int i = 0; i < columnCount(); ++i)
        widths.push_back(columnWidth(i));
    write_column_widths(doc_->settings(), control_id(), widths);
}

void VListBase::_set_columns(CVeltoDoc* doc, bool icons, unsigned mask)
{
    doc_ = doc;
    mask_ = mask & kAllColumns;
    icons_ = icons;
    _clear();

    QStringList headers;
    for (const ColumnSpec& column : kColumns) {
        if (mask_ & column.bit)
            headers << QString::fromUtf8(column.header);
    }
    setColumnCount(static_cast<int>(headers.size()));
    setHeaderLabels(headers);
    header()->setSectionResizeMode(QHeaderView::Interactive);
    _autosize_columns();
}

int VListBase::_column_of(unsigned bit) const
{
    if (!(mask_ & bit))
        return -1;
    int index = 0;
    for (const ColumnSpec& column : kColumns) {
        if (column.bit == bit)
            return index;
        if (mask_ & column.bit)
            ++index;
    }
    return -1;
}

void VListBase::_clear()
{
    id_of_row_.clear();
    row_of_id_.clear();
    clear();
}

int VListBase::_add_row(const ListRow& row)
{
    auto* item = new QTreeWidgetItem(this);
    item->setText(0, QStringLiteral(" "));
    const int count = std::min(columnCount(), static_cast<int>(row.columns.size()));
    for (int i = 0; i < count; ++i)
        item->setText(i, QString::fromStdString(row.columns[static_cast<std::size_t>(i)]));
    if (icons_ && row.image >= 0)
        item->setData(0, kImageRole, row.image);
    if (row.overlay != 0)
        item->setData(0, kOverlayRole, row.overlay);

    const int index = static_cast<int>(id_of_row_.size());
    id_of_row_.push_back(row.id);
    if (!row.id.empty())
        row_of_id_[row.id] = index;
    return index;
}

int VListBase::_last_selected_row() const
{
    int last = -1;
    for (QTreeWidgetItem* item : selectedItems())
        last = std::max(last, indexOfTopLevelItem(item));
    return last;
}

std::string VListBase::_selected_id() const
{
    return _id_of_row(_last_selected_row());
}

std::string VListBase::_id_of_row(int row) const
{
    if (row < 0 || row >= static_cast<int>(id_of_row_.size()))
        return {};
    return id_of_row_[static_cast<std::size_t>(row)];
}

int VListBase::_row_of_id(std::string_view id) const
{
    const auto it = row_of_id_.find(id);
    return it == row_of_id_.end() ? -1 : it->second;
}

void VListBase::_select_row(int row)
{
    QTreeWidgetItem* item = topLevelItem(row);
    if (!item)
        return;
    setCurrentItem(item, 0, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollToItem(item);
}

void VListBase::_select_id(std::string_view id)
{
    const int row = _row_of_id(id);
    if (row != -1)
        _select_row(row);
}

void VListBase::_autosize_columns()
{
    sizing_ = true;
    const std::vector<int> kept = keep_widths_ && doc_ ? read_column_widths(doc_->settings(), control_id(),
                                                                            static_cast<std::size_t>(columnCount()))
                                                       : std::vector<int>();
    for (int i = 0; i < columnCount(); ++i) {
        headerItem()->setTextAlignment(i, Qt::AlignLeft | Qt::AlignVCenter);
        if (kept.empty())
            resizeColumnToContents(i);
        else
            setColumnWidth(i, kept[static_cast<std::size_t>(i)]);
    }
    sizing_ = false;
}

bool VListBase::_row_drawn_selected(int row) const
{
    const QTreeWidgetItem* item = topLevelItem(row);
    return item && item->isSelected();
}

int VListBase::_cell_image(int row, int column) const
{
    if (!icons_ || column != 0)
        return -1;
    const QTreeWidgetItem* item = topLevelItem(row);
    if (!item)
        return -1;
    bool ok = false;
    const int image = item->data(0, kImageRole).toInt(&ok);
    return ok && image >= 0 && image < kImageCount ? image : -1;
}

std::string VListBase::_cell_display_text(int row, int column) const
{
    const QTreeWidgetItem* item = topLevelItem(row);
    if (!item || column < 0 || column >= columnCount())
        return {};
    const std::string whole = item->text(column).toStdString();
    const std::string text(sjis_prefix(whole, kMaxCellBytes));
    const int image = _cell_image(row, column) >= 0 ? kImageWidth : 0;
    const QFontMetrics metrics = fontMetrics();
    const auto width = [&metrics](std::string_view part) { return metrics.horizontalAdvance(to_qstring(part)); };
    // A cell that reaches past the right edge of the list is cut before the
    // edge, its dots within sight.
    const int room = viewport()->width() - columnViewportPosition(column) - image;
    if (room < columnWidth(column) - image && width(text) + kCellTextMargin > room) {
        std::size_t end = 0;
        for (std::size_t next = 0; next < text.size(); end = next) {
            next += utf8_decode_at(text, next).bytes;
            if (width(std::string_view(text).substr(0, next)) + width(kEllipsis) + kCellTextMargin > room)
                break;
        }
        return width(kEllipsis) + kCellTextMargin > room ? std::string() : text.substr(0, end) + std::string(kEllipsis);
    }
    return fit_cell_text(text, columnWidth(column) - image, width);
}

QString VListBase::_whole_text(const QModelIndex& index) const
{
    const QTreeWidgetItem* item = topLevelItem(index.row());
    if (!item || index.column() < 0 || index.column() >= columnCount())
        return {};
    const QString whole = item->text(index.column());
    // Cut by its column ("..."), or by the edge of the list when the columns are wider.
    const bool cut = QString::fromStdString(_cell_display_text(index.row(), index.column())) != whole ||
                     visualRect(index).right() > viewport()->rect().right();
    return cut ? whole : QString();
}

void VListBase::drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const int row = index.row();
    const int columns = columnCount();
    if (columns == 0 || !topLevelItem(row))
        return;

    int left = columnViewportPosition(0);
    int right = left;
    for (int c = 0; c < columns; ++c) {
        left = std::min(left, columnViewportPosition(c));
        right = std::max(right, columnViewportPosition(c) + columnWidth(c));
    }
    const QRect bounds(left, option.rect.top(), right - left, option.rect.height());
    const bool selected = _row_drawn_selected(row);
    const QColor window = palette().color(QPalette::Base);

    painter->save();
    painter->fillRect(bounds, selected ? kSelectedBackground : window);
    painter->setFont(font());
    painter->setPen(selected ? kSelectedText : palette().color(QPalette::Text));

    const QTreeWidgetItem* item = topLevelItem(row);
    for (int c = 0; c < columns; ++c) {
        const QRect cell(columnViewportPosition(c), bounds.top(), columnWidth(c), bounds.height());
        QRect text_rect = cell;
        const int image = _cell_image(row, c);
        if (image >= 0) {
            // The image with the row's overlay, a quarter of the blend colour laid over both.
            QPixmap icon(images()[static_cast<std::size_t>(image)]);
            {
                QPainter over(&icon);
                const int overlay = overlay_image(item->data(0, kOverlayRole).toInt());
                if (overlay >= 0)
                    over.drawPixmap(0, 0, images()[static_cast<std::size_t>(overlay)]);
                over.setCompositionMode(QPainter::CompositionMode_SourceAtop);
                QColor blend = selected ? QColor(Qt::black) : window;
                blend.setAlpha(kBlendAlpha);
                over.fillRect(QRect(0, 0, kImageWidth, kImageHeight), blend);
            }
            painter->drawPixmap(cell.left(), cell.top() + (cell.height() - kImageHeight) / 2, icon);
            text_rect.setLeft(cell.left() + kImageWidth);
        }
        const QString text = QString::fromStdString(_cell_display_text(row, c));
        if (text.isEmpty())
            continue;
        text_rect.adjust(kCellTextMargin, 0, -kCellTextMargin, 0);
        Qt::Alignment align = Qt::Alignment(headerItem()->textAlignment(c)) & Qt::AlignHorizontal_Mask;
        if (align == 0)
            align = Qt::AlignLeft;
        painter->drawText(text_rect, int(align | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextDontClip), text);
    }

    if (!grid_lines_) {
        painter->restore();
        return;
    }
    // Grid lines under the row and at the right of every column.
    painter->setPen(palette().color(QPalette::Mid).lighter(130));
    painter->drawLine(bounds.left(), bounds.bottom(), bounds.right(), bounds.bottom());
    for (int c = 0; c < columns; ++c) {
        const int x = columnViewportPosition(c) + columnWidth(c) - 1;
        painter->drawLine(x, bounds.top(), x, bounds.bottom());
    }
    painter->restore();
}

void VListBase::focus_gained()
{
    NavHold::set();
    if (_row_count() > 0)
        _select_row(std::max(_last_selected_row(), 0));
    NavHold::clear();
}

} // namespace velto
