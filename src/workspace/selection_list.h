#pragma once

#include "core/ports/selection_store.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <unordered_set>
#include <vector>

// The main window's list of stored selections: a view on the store that reads its
// rows page by page, newest number first, as they are asked for (a view model asks
// when they are scrolled into sight), never all at once. The rows saved since the
// list was last read from the top are shown above the others, the last one first.
// Each item's caption is the selection number and its sub-items the other 44 values
// (the last one, the temperature error, has no column of its own). The rows read are
// held compactly (one block of text a row) and decoded when shown.
//
// Selecting, opening, deleting and the row of a save go by the number (the key),
// never by a position that a page read meanwhile would move. A view follows the list
// through its listener.
class SelectionList {
public:
    // Told of every change, before and after, so that a view model can follow.
    class Listener {
    public:
        virtual ~Listener() = default;
        virtual void aboutToReset() = 0;
        virtual void reset() = 0;
        virtual void aboutToInsert(int first, int last) = 0;
        virtual void inserted() = 0;
        virtual void aboutToRemove(int item) = 0;
        virtual void removed() = 0;
    };

    // Rows read a page at a time (a view fills its height with two or three).
    static constexpr int kPageRows = 100;

    explicit SelectionList(SelectionStore& store);

    // What the list does when the store cannot give a page (the workspace shows the
    // data error); the list then reads no further until it is read again.
    std::function<void(const StoreError&)> onReadError;

    // The rows the list holds so far: those saved, then those read.
    int rowCount() const { return static_cast<int>(m_saved.size() + m_read.size()); }
    // The item's caption followed by its sub-items.
    QStringList row(int item) const;
    QString value(int item, int column) const;
    QString caption(int item) const;
    // The item of a number among the rows held so far, or -1.
    int indexOf(const QString& number) const;

    // The search in the box above the list; empty: every stored row.
    const QString& search() const { return m_search; }
    // Reads the list again from the top with this search: the rows held are let go
    // (rows saved meanwhile take their place in number order) and the first page is
    // read. False when it could not be read: the list then holds nothing.
    bool readFromTop(const QString& search);
    // The list shown with the rows of a search found elsewhere (a search that reads
    // every row, run off the window's thread): emptied for `search`, then the rows
    // found are added as they come, newest first, and the list reads no page itself:
    // whoever found them goes on. The rows are those that follow the ones held.
    void showFound(const QString& search);
    void addFound(const std::vector<StoredRow>& rows);
    // Whether rows are left to read, and reading the next page of them.
    bool canFetchMore() const { return !m_atEnd; }
    bool fetchMore();
    // Every row of the list, top first: those held, then the rest from the store,
    // page by page, without keeping them. False when a page could not be read.
    bool forEachRow(const std::function<void(const QStringList&)>& visit);
    // Whether the list shows the row of a number: held already, or stored, found by
    // the search and not yet read. None when the store cannot tell.
    StoreResult<bool> holds(const QString& number);

    // A row saved: it goes to the top (if the search finds it), and any item of its
    // number goes; the rows held do not move in memory.
    void addSaved(const QStringList& values);
    // The row of a number was deleted: its item goes.
    void removeNumber(const QString& number);

    // The number of the item selected in the list (empty: none).
    const QString& selected() const { return m_selected; }
    void select(const QString& number) { m_selected = number; }
    void selectItem(int item) { m_selected = item >= 0 && item < rowCount() ? caption(item) : QString(); }

    void setListener(Listener* listener) { m_listener = listener; }

private:
    struct Row {
        QString data;              // the values one after the other
        std::vector<quint32> ends; // where each value ends in `data`
    };
    static Row pack(const QStringList& values);
    static QString valueOf(const Row& r, int i);
    static QStringView numberOf(const Row& r);
    const Row* rowAt(int item) const;
    // Reads the page after `after`; none when it could not be read (reported; the
    // list then reads no further).
    std::optional<std::vector<StoredRow>> readPage(const std::optional<QString>& after, int limit);
    // Lets every row go, for a list of `search` that reads no further yet.
    void letGo(const QString& search);
    // Adds the rows of a page read with this limit, but those saved meanwhile.
    void append(const std::vector<StoredRow>& page, int limit);

    SelectionStore& m_store;
    QString m_search;
    std::vector<Row> m_saved;                   // saved since the list was read from the top; shown last first
    std::vector<Row> m_read;                    // read from the store, in its order
    std::unordered_set<QString> m_savedNumbers; // of m_saved: skipped when a page brings them again
    std::optional<QString> m_after;             // the last number read from the store
    bool m_atEnd = true;
    QString m_selected;
    Listener* m_listener = nullptr;
};
