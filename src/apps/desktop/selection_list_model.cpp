#include "apps/desktop/selection_list_model.h"

#include "core/record/columns.h"

#include <QSize>

SelectionListModel::SelectionListModel(SelectionList& list, QObject* parent)
    : QAbstractTableModel(parent)
    , m_list(list)
{
    m_list.setListener(this);
}

SelectionListModel::~SelectionListModel()
{
    m_list.setListener(nullptr);
}

int SelectionListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_list.rowCount();
}

int SelectionListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : listColumnCount();
}

QVariant SelectionListModel::data(const QModelIndex& index, int role) const
{
    // the tooltip shows the whole text where the column cuts it, a long model code
    if (!index.isValid() || index.row() >= rowCount() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return QVariant();
    return m_list.value(index.row(), index.column());
}

QVariant SelectionListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= listColumnCount())
        return QVariant();
    if (role == Qt::DisplayRole)
        return QString::fromUtf8(columns()[static_cast<size_t>(section)].header);
    if (role == Qt::SizeHintRole)
        return QSize(columnWidth(section), 20);
    return QVariant();
}

bool SelectionListModel::canFetchMore(const QModelIndex& parent) const
{
    return !parent.isValid() && m_list.canFetchMore();
}

void SelectionListModel::fetchMore(const QModelIndex& parent)
{
    if (!parent.isValid())
        m_list.fetchMore();
}

int SelectionListModel::columnWidth(int column)
{
    return column >= 0 && column < listColumnCount() ? columns()[static_cast<size_t>(column)].width : 0;
}

void SelectionListModel::aboutToReset()
{
    beginResetModel();
}

void SelectionListModel::reset()
{
    endResetModel();
}

void SelectionListModel::aboutToInsert(int first, int last)
{
    beginInsertRows(QModelIndex(), first, last);
}

void SelectionListModel::inserted()
{
    endInsertRows();
}

void SelectionListModel::aboutToRemove(int item)
{
    beginRemoveRows(QModelIndex(), item, item);
}

void SelectionListModel::removed()
{
    endRemoveRows();
}
