#pragma once
// The main window's list of TIMs found in a RAW file, as a Qt table model
// over the workspace's entries, sorted and filtered as the workspace shows
// them: the cells and thumbnails are made from the entries and the file's
// headers as the view asks for them, so a scan with millions of entries holds
// nothing but the entries themselves. The view sees the rows as they are when
// the entries are emptied, arranged, or a scan finishes; rows added in
// between wait.

#include <QAbstractTableModel>
#include <vector>

#include "workspace/Workspace.h"

namespace pixalto::shell {

class EntryListModel final : public QAbstractTableModel, public workspace::Observer {
    Q_OBJECT
  public:
    explicit EntryListModel(workspace::Workspace& workspace, QObject* parent = nullptr);
    ~EntryListModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // Sorts the workspace's rows; a column below 0 goes back to the order
    // found.
    void sort(int column, Qt::SortOrder order) override;

    // The column shown at a view column, and the view column of a column
    // (-1 when it isn't shown).
    workspace::ListColumn ColumnAt(int column) const;
    int ColumnOf(workspace::ListColumn column) const;

    // --- workspace::Observer ---
    void EntriesChanged() override;

  private:
    workspace::Workspace& workspace_;
    std::vector<workspace::ListColumn> columns_;  // as the view last saw them
    int rows_ = 0;
};

}  // namespace pixalto::shell
