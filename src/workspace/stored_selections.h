#pragma once

#include <QAbstractTableModel>
#include <QStringList>

#include <vector>

// The main window's list of stored selections, one item per stored row: its
// caption is the selection number and its sub-items the other 44 values (the last
// one, the temperature error, has no column of its own). Years of selections are
// held compactly (one UTF-8 block a row) and decoded when shown.
class StoredSelections : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit StoredSelections(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The item's caption followed by its sub-items.
    QStringList row(int item) const;
    QString caption(int item) const;
    // The first item with this caption, or -1.
    int find(const QString& caption) const;

    void append(const QStringList& values);
    // Refilling the whole list: one reset for all rows, not one insertion each;
    // each row is given value by value.
    void beginRefill();
    void refillBeginRow();
    void refillValue(const QString& value);
    void endRefill();
    void insertEmpty(int item);
    // Appends values to the item's sub-items.
    void extend(int item, const QStringList& values);
    void remove(int item);

    // The item selected in the list (-1: none).
    int selected() const { return m_selected; }
    void setSelected(int item);

    // Width of each visible column of the list, in pixels.
    static int columnWidth(int column);

private:
    struct Row {
        QString data;                 // the values one after the other
        std::vector<quint32> ends;    // where each value ends in `data`
    };
    static Row pack(const QStringList& values);
    static QString valueOf(const Row& r, int i);

    std::vector<Row> m_rows;
    int m_selected = -1;
};
