#include "apps/desktop/list_search.h"

#include "apps/common/store_choice.h"
#include "workspace/workspace.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QThread>

namespace {

// Rows of the key one statement reads at most: a few dozen milliseconds of reading,
// after which a cancelled or timed-out search stops.
constexpr int kSliceRows = 20000;

} // namespace

// Lives on the search's thread, with the connection it opens there: a connection is
// used by the thread that made it.
class ListSearch::Worker : public QObject {
public:
    Worker(QString location, std::shared_ptr<std::atomic<int>> generation)
        : m_location(std::move(location))
        , m_generation(std::move(generation))
    {
    }

    // Reads slices until `want` rows are found, the rows run out, the time is up or
    // another search begins; tells the list's side of each step.
    void scan(
        ListSearch* owner, int generation, const QString& search, std::optional<QString> after, int want, int capMs)
    {
        const QPointer<ListSearch> to(owner);
        const auto current = [&] { return m_generation->load() == generation; };
        if (!current())
            return;
        if (!m_store) {
            OpenedStore opened = openStore(m_location);
            if (opened.state != OpenedStore::State::Yes) {
                tell(to, [generation](ListSearch& s) { s.failed(generation); });
                return;
            }
            m_store = std::move(opened.store);
        }
        QElapsedTimer clock;
        clock.start();
        int found = 0;
        for (bool first = true;; first = false) {
            if (!current())
                return;
            if (!first && clock.elapsed() >= capMs) {
                tell(to, [generation, after](ListSearch& s) { s.paused(generation, after, false); });
                return;
            }
            StoreResult<ScannedSlice> slice = m_store->scanSlice({search, after}, want - found, kSliceRows);
            if (!slice.ok()) {
                const StoreError error = slice.error();
                tell(to, [generation, error](ListSearch& s) {
                    if (s.m_generation->load() == generation && s.m_workspace.list().onReadError)
                        s.m_workspace.list().onReadError(error);
                    s.failed(generation);
                });
                return;
            }
            std::vector<StoredRow> rows = std::move(slice.value().rows);
            found += static_cast<int>(rows.size());
            after = slice.value().next;
            if (!rows.empty()) {
                const int count = static_cast<int>(rows.size());
                tell(to, [generation, search, rows = std::move(rows), count](ListSearch& s) {
                    if (s.m_generation->load() != generation)
                        return;
                    s.m_workspace.list().addFound(rows);
                    s.found(generation, search, count);
                });
            }
            if (!after || found >= want) {
                const bool full = found >= want;
                tell(to, [generation, after, full](ListSearch& s) { s.paused(generation, after, full); });
                return;
            }
        }
    }

    // Lets the connection go on the thread that made it.
    void closeStore() { m_store.reset(); }

private:
    template <typename F>
    static void tell(const QPointer<ListSearch>& to, F f)
    {
        if (!to)
            return;
        QMetaObject::invokeMethod(
            to.data(),
            [to, f = std::move(f)]() mutable {
                if (to)
                    f(*to);
            },
            Qt::QueuedConnection);
    }

    QString m_location;
    std::shared_ptr<std::atomic<int>> m_generation;
    std::unique_ptr<SelectionStore> m_store;
};

ListSearch::ListSearch(Workspace& workspace, QObject* parent)
    : QObject(parent)
    , m_workspace(workspace)
    , m_generation(std::make_shared<std::atomic<int>>(0))
{
}

ListSearch::~ListSearch()
{
    ++*m_generation; // a slice under way is the last
    if (m_thread) {
        Worker* worker = m_worker;
        QMetaObject::invokeMethod(
            worker, [worker] { worker->closeStore(); }, Qt::BlockingQueuedConnection);
        m_thread->quit();
        m_thread->wait();
        delete m_worker;
    }
}

void ListSearch::setLocation(const QString& location)
{
    m_location = location;
}

void ListSearch::search(const QString& text)
{
    ++*m_generation;
    m_running = false;
    m_next.reset();
    m_found = 0;
    m_search = text;
    if (m_location.isEmpty() || m_workspace.store().searchIsIndexed(text)) {
        m_workspace.search(text);
        tell(QString());
        return;
    }
    m_workspace.list().showFound(text);
    start(std::nullopt);
}

void ListSearch::goOn()
{
    if (canGoOn())
        start(m_next);
}

void ListSearch::start(std::optional<QString> after)
{
    if (!m_thread) {
        m_thread = new QThread(this);
        m_thread->setObjectName(QStringLiteral("list search"));
        m_worker = new Worker(m_location, m_generation);
        m_worker->moveToThread(m_thread);
        m_thread->start();
    }
    const int generation = ++*m_generation;
    m_running = true;
    m_next.reset();
    tell(m_found == 0 ? QStringLiteral("正在查找…") : QStringLiteral("正在查找…已找到 %1 条").arg(m_found));
    Worker* worker = m_worker;
    const QString search = m_search;
    const int cap = m_timeCapMs;
    QMetaObject::invokeMethod(
        worker,
        [worker, owner = this, generation, search, after, cap] {
            worker->scan(owner, generation, search, after, SelectionList::kPageRows, cap);
        },
        Qt::QueuedConnection);
}

void ListSearch::found(int generation, const QString&, int rows)
{
    if (generation != m_generation->load())
        return;
    m_found += rows;
    tell(QStringLiteral("正在查找…已找到 %1 条").arg(m_found));
}

void ListSearch::paused(int generation, const std::optional<QString>& next, bool pageFull)
{
    if (generation != m_generation->load())
        return;
    m_running = false;
    m_next = next;
    if (!next)
        tell(QStringLiteral("找到 %1 条").arg(m_found));
    else if (pageFull)
        tell(QStringLiteral("已找到 %1 条，可继续查找更早的选型").arg(m_found));
    else
        tell(QStringLiteral("已查找至选型编号 %1，找到 %2 条；查找暂停").arg(*next).arg(m_found));
}

void ListSearch::failed(int generation)
{
    if (generation != m_generation->load())
        return;
    m_running = false;
    m_next.reset();
    tell(QStringLiteral("查找未完成"));
}

void ListSearch::tell(const QString& status)
{
    m_status = status;
    emit changed();
}
