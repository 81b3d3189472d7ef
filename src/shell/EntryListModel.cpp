#include "shell/EntryListModel.h"

#include <algorithm>
#include <array>
#include <limits>

namespace pixalto::shell {
namespace {

struct ColumnLook {
    Qt::Alignment alignment;
    int width;
};

// The file number centred, the numbers right-aligned.
constexpr std::array<ColumnLook, raw::kEntryColumnCount> kColumns = {{
    {Qt::AlignHCenter, 65},
    {Qt::AlignRight, 80},
    {Qt::AlignRight, 50},
    {Qt::AlignRight, 50},
}};

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
    return parent.isValid() ? 0 : static_cast<int>(kColumns.size());
}

int EntryListModel::ColumnWidth(int column) {
    return kColumns.at(static_cast<std::size_t>(column)).width;
}

QVariant EntryListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.column() >= columnCount()) {
        return {};
    }
    const auto& look = kColumns[static_cast<std::size_t>(index.column())];
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue(look.alignment | Qt::AlignVCenter);
    }
    const auto& entries = workspace_.Entries();
    if (role != Qt::DisplayRole || static_cast<std::size_t>(index.row()) >= entries.size()) {
        return {};
    }
    const auto column = static_cast<raw::EntryColumn>(index.column());
    return QString::number(
        raw::ColumnValue(entries[static_cast<std::size_t>(index.row())], column));
}

QVariant EntryListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) {
        return {};
    }
    const auto& look = kColumns[static_cast<std::size_t>(section)];
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue(look.alignment | Qt::AlignVCenter);
    }
    if (role == Qt::DisplayRole) {
        return QString(raw::kEntryHeaders[static_cast<std::size_t>(section)]);
    }
    return {};
}

void EntryListModel::EntriesChanged() {
    beginResetModel();
    // A view counts its rows in int.
    rows_ = static_cast<int>(
        std::min<std::size_t>(workspace_.Entries().size(), std::numeric_limits<int>::max()));
    endResetModel();
}

}  // namespace pixalto::shell
