#pragma once

#include "workspace/selection_list.h"

#include <QAbstractTableModel>

// The main window's list of stored selections as a view model: the workspace's list,
// with the headers and widths of the column table. The view asks for more rows as
// it is scrolled down (canFetchMore/fetchMore), and the list reads them from the
// store a page at a time.
class SelectionListModel : public QAbstractTableModel, private SelectionList::Listener {
    Q_OBJECT

public:
    explicit SelectionListModel(SelectionList& list, QObject* parent = nullptr);
    ~SelectionListModel() override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

    // Width of each visible column of the list, in pixels.
    static int columnWidth(int column);

private:
    void aboutToReset() override;
    void reset() override;
    void aboutToInsert(int first, int last) override;
    void inserted() override;
    void aboutToRemove(int item) override;
    void removed() override;

    SelectionList& m_list;
};
