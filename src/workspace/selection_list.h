#pragma once

#include <QStringList>

#include <vector>

// The main window's list of stored selections, one item per stored row: its
// caption is the selection number and its sub-items the other 44 values (the last
// one, the temperature error, has no column of its own). Years of selections are
// held compactly (one block of text a row) and decoded when shown. A view follows
// the list through its listener.
class SelectionList {
public:
    // Told of every change, before and after, so that a view model can follow.
    class Listener {
    public:
        virtual ~Listener() = default;
        virtual void aboutToReset() = 0;
        virtual void reset() = 0;
        virtual void aboutToInsert(int item) = 0;
        virtual void inserted() = 0;
        virtual void aboutToRemove(int item) = 0;
        virtual void removed() = 0;
        virtual void changed(int item) = 0;
    };

    int rowCount() const { return static_cast<int>(m_rows.size()); }

    // The item's caption followed by its sub-items.
    QStringList row(int item) const;
    QString value(int item, int column) const;
    QString caption(int item) const;
    // The first item with this caption, or -1.
    int find(const QString& caption) const;

    void append(const QStringList& values);
    // Refilling the whole list: one reset for all rows, not one insertion each.
    void beginRefill();
    void refillRow(const QStringList& values);
    void endRefill();
    void insertEmpty(int item);
    // Appends values to the item's sub-items.
    void extend(int item, const QStringList& values);
    void remove(int item);

    // The item selected in the list (-1: none).
    int selected() const { return m_selected; }
    void setSelected(int item);

    void setListener(Listener* listener) { m_listener = listener; }

private:
    struct Row {
        QString data;              // the values one after the other
        std::vector<quint32> ends; // where each value ends in `data`
    };
    static Row pack(const QStringList& values);
    static QString valueOf(const Row& r, int i);

    std::vector<Row> m_rows;
    int m_selected = -1;
    Listener* m_listener = nullptr;
};
