#pragma once

#include <QObject>
#include <QString>

#include <atomic>
#include <memory>
#include <optional>

class QThread;
class Workspace;

// The search box's search of the main window's list. A search the store answers from
// an index is read at once, as it always was. One that reads every row runs on a
// thread of its own, on a connection of its own, a slice of the key at a time, its
// rows shown as they are found: a keystroke never waits for it, the next search
// cancels it, and after a time cap it pauses with the rows found so far, until
// "继续查找…" (goOn) asks for more.
class ListSearch : public QObject {
    Q_OBJECT

public:
    explicit ListSearch(Workspace& workspace, QObject* parent = nullptr);
    ~ListSearch() override;

    // Where the store is, for the search's own connection; empty (as for a store in
    // memory, which a second connection would not see): every search is read at once.
    void setLocation(const QString& location);
    // How long a search reads before it pauses (the program's own: two seconds).
    void setTimeCap(int milliseconds) { m_timeCapMs = milliseconds; }

    void search(const QString& text);
    // Goes on with a search that paused: the rows after the last found, or after
    // where it paused.
    void goOn();
    bool canGoOn() const { return m_next.has_value() && !m_running; }
    bool running() const { return m_running; }
    // What the search did, for the line beside the box; empty for one read at once.
    const QString& status() const { return m_status; }

signals:
    // The status changed, or whether the search can go on.
    void changed();

private:
    class Worker;
    void start(std::optional<QString> after);
    void found(int generation, const QString& search, int rows);
    void paused(int generation, const std::optional<QString>& next, bool pageFull);
    void failed(int generation);
    void tell(const QString& status);

    Workspace& m_workspace;
    QString m_location;
    int m_timeCapMs = 2000;
    // The search the worker is to serve; any other it stops at its next slice.
    std::shared_ptr<std::atomic<int>> m_generation;
    QThread* m_thread = nullptr;
    Worker* m_worker = nullptr;
    QString m_search;
    int m_found = 0;
    bool m_running = false;
    std::optional<QString> m_next; // where a paused search goes on
    QString m_status;
};
