#include "shell/EntryListModel.h"

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QSize>
#include <algorithm>
#include <cstring>
#include <limits>

namespace pixalto::shell {
namespace {

using workspace::ListColumn;

QImage ToImage(const Thumbnail& thumbnail) {
    QImage image(static_cast<int>(thumbnail.width), static_cast<int>(thumbnail.height),
                 QImage::Format_ARGB32);
    for (std::uint32_t y = 0; y < thumbnail.height; ++y) {
        // Undrawn pixels (alpha 0) show the list through.
        std::memcpy(image.scanLine(static_cast<int>(y)), &thumbnail.pixels[y * thumbnail.width],
                    thumbnail.width * sizeof(Pixel));
    }
    return image;
}

}  // namespace

EntryListModel::EntryListModel(workspace::Workspace& workspace, QObject* parent)
    : QAbstractTableModel(parent), workspace_(workspace) {
    workspace_.AddObserver(*this);
    EntriesChanged();
}

EntryListModel::~EntryListModel() {
    workspace_.RemoveObserver(*this);
}

int EntryListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int EntryListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

ListColumn EntryListModel::ColumnAt(int column) const {
    return columns_.at(static_cast<std::size_t>(column));
}

int EntryListModel::ColumnOf(ListColumn column) const {
    const auto found = std::find(columns_.begin(), columns_.end(), column);
    return found == columns_.end() ? -1 : static_cast<int>(found - columns_.begin());
}

QVariant EntryListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.column() >= columnCount()) {
        return {};
    }
    const ListColumn column = ColumnAt(index.column());
    if (role == Qt::TextAlignmentRole) {
        // The file number and the picture centred, the numbers right-aligned.
        const bool centred = column == ListColumn::FileNumber || column == ListColumn::Thumbnail;
        return QVariant::fromValue((centred ? Qt::AlignHCenter : Qt::AlignRight) |
                                   Qt::AlignVCenter);
    }
    const auto entryIndex = workspace_.ShownEntryIndex(static_cast<std::size_t>(index.row()));
    if (!entryIndex) {
        return {};
    }
    const raw::ScanEntry entry = workspace_.Entries()[*entryIndex];
    if (column == ListColumn::Thumbnail) {
        if (role == Qt::DecorationRole) {
            const Thumbnail& thumbnail = workspace_.ThumbnailOf(*entryIndex);
            if (thumbnail.width == 0) {
                return {};
            }
            // The same picture when selected: a selected row's colours must
            // still be the image's, not tinted with the highlight.
            const QPixmap picture = QPixmap::fromImage(ToImage(thumbnail));
            QIcon icon;
            icon.addPixmap(picture, QIcon::Normal);
            icon.addPixmap(picture, QIcon::Selected);
            return icon;
        }
        return {};
    }
    if (role == Qt::ToolTipRole && column == ListColumn::Position) {
        return QStringLiteral("0x") +
               QString::number(static_cast<qulonglong>(entry.position), 16).toUpper();
    }
    if (role != Qt::DisplayRole) {
        return {};
    }
    return QString::fromStdString(workspace_.ListText(entry, column));
}

QVariant EntryListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        for (const auto& info : workspace::kListColumns) {
            if (info.column == ColumnAt(section)) {
                return QString(info.header);
            }
        }
    }
    return {};
}

void EntryListModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= columnCount()) {
        workspace_.SortEntries(std::nullopt, false);
    } else {
        workspace_.SortEntries(ColumnAt(column), order == Qt::DescendingOrder);
    }
}

void EntryListModel::EntriesChanged() {
    beginResetModel();
    columns_.clear();
    for (const auto& info : workspace::kListColumns) {
        if (workspace_.HasColumn(info.column)) {
            columns_.push_back(info.column);
        }
    }
    // A view counts its rows in int.
    rows_ = static_cast<int>(
        std::min<std::size_t>(workspace_.ShownCount(), std::numeric_limits<int>::max()));
    endResetModel();
}

}  // namespace pixalto::shell
