#pragma once

#include "workspace/selection_list.h"
#include "workspace/selection_window.h"

#include <QString>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <vector>

class Platform;
class SelectionStore;
struct PrintRow;

// The main window without a screen: the list of stored selections, the selection
// windows it creates, numbers, restores and closes, and the commands on stored
// selections (save, print, open, delete).
class Workspace {
public:
    // `today` is the local date as yyyymmdd, used for numbering selections.
    Workspace(Platform& ui, QString today, SelectionStore& store);
    ~Workspace();

    // Told when a window has been created (before it is shown: a view can attach
    // itself), when it has been shown (numbered or restored) and before it closes.
    std::function<void(SelectionWindow&)> onWindowCreated;
    std::function<void(SelectionWindow&)> onWindowShown;
    std::function<void(SelectionWindow&)> onWindowClosing;
    // The print command found the stored row: the sheet's preview is shown.
    std::function<void(SelectionWindow&, const PrintRow&)> onPreview;
    // A window's selection has been stored under `number`.
    std::function<void(SelectionWindow&, const QString& number)> onSaved;

    // The main window is first shown: the list's first page is read, newest number
    // first (again from the top when called again).
    void showMainWindow();
    // The text of the search box above the list: the list is read again from the top,
    // with the rows the search finds (every row for an empty text).
    void search(const QString& text);
    // The main window is activated: the first selection window, once.
    void activate();

    // The command "new selection": a new, numbered window, which becomes current.
    SelectionWindow& newSelection();
    // Opens the item selected in the list in a new window, restored from its stored
    // row; none when nothing is selected or the row cannot be read (told).
    SelectionWindow* openRecord();
    // "复制为新选型": a new window, numbered as "new selection" numbers it, into which
    // the stored row of the selected item is restored as opening restores it; the
    // stored row is not touched. None when nothing is selected or the row cannot be
    // read (told).
    SelectionWindow* copyRecord();
    // Deletes the item selected in the list from the table and the list.
    void deleteRecord();

    SelectionList& list() { return m_list; }
    const SelectionList& list() const { return m_list; }

    // The window's buttons "保存" and "打印".
    void save(SelectionWindow& window);
    void print(SelectionWindow& window);

    SelectionWindow* current() const;
    // Makes the n-th window created in this session current (1 is the first one);
    // false if there is no such window or it has been closed.
    bool makeCurrent(int creationNumber);
    // The n-th window created in this session if it is still open.
    SelectionWindow* createdWindow(int creationNumber) const;
    bool makeCurrent(SelectionWindow* window);
    // Closes the current window; the window active before it becomes current.
    bool closeCurrent();
    bool close(SelectionWindow* window);
    // The open windows, in creation order.
    std::vector<SelectionWindow*> windows() const;

    const QString& today() const { return m_today; }
    Platform& ui() const { return m_ui; }
    SelectionStore& store() const { return m_store; }

    // The window number of a new window: one more than the largest number of the
    // open windows.
    int nextWindowNumber() const;
    // The selection number of a new window with this window number, or empty when
    // the day's numbers are used up.
    QString nextSelectionNumber(int windowNumber);
    // A number of today for a selection saved beside this workspace (a batch run's):
    // after the day's stored numbers and after every number its open windows show,
    // so that none of them meets "此选型日期编号系统已存在" because of it; past the
    // day's 999th, the lowest free one. Empty when the day's numbers are used up.
    QString numberBesideOpenWindows();

private:
    // A window: numbered (new, copy), restored from a row (open, copy), or both.
    SelectionWindow& createWindow(bool numbered, const StoredRow* restored);
    // The stored row of the item selected in the list; none (told) when it is gone.
    std::optional<StoredRow> selectedRow();
    void numberNewWindow(SelectionWindow& w);
    QString freeNumberOfDay();
    // The sequence of a number of today (1 to 999), or 0 for any other text.
    int sequenceOfToday(const QString& number) const;
    // Keeps the set of the open windows' sequences up to date with the window's number.
    void noteSelectionNumber(SelectionWindow& w);
    void reportReadError(const StoreError& error);
    // What the user is told of a save the store did not take.
    void tellSaveFailure(const StoreError& error);

    Platform& m_ui;
    QString m_today;
    SelectionStore& m_store;
    SelectionList m_list;
    bool m_firstWindowCreated = false;
    // Closed windows are let go at once: a long session or script keeps only the
    // open ones, and nothing here grows with the windows created before.
    int m_createdCount = 0;
    std::map<int, std::unique_ptr<SelectionWindow>> m_open; // by creation number
    std::multiset<int> m_windowNumbers;                     // of the open windows
    // The sequences of the open windows' numbers of today, whatever they were made by
    // (numbering, a restore, the user's edit): what the numbering past 999 must avoid.
    std::multiset<int> m_openSequences;
    std::vector<SelectionWindow*> m_activation; // last is current
};
