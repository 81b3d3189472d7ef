#pragma once
// The main window's list of TIMs found in a RAW file, as a Qt table model
// over the workspace's entries: the cells are made from the numbers as the
// view asks for them, so a scan with millions of entries holds nothing but
// the entries themselves. The view sees the rows as they are when the
// entries are emptied or a scan finishes; rows added in between wait.

#include <QAbstractTableModel>

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

    // Each column's width in the view, in pixels.
    static int ColumnWidth(int column);

    // --- workspace::Observer ---
    void EntriesChanged() override;

  private:
    workspace::Workspace& workspace_;
    int rows_ = 0;  // as the view last saw them
};

}  // namespace pixalto::shell
