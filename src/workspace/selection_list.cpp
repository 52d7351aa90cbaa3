#include "workspace/selection_list.h"

#include <algorithm>

namespace {

// Rows read at a time when the whole list is walked through (a script's `list`).
constexpr int kWalkPageRows = 1000;

} // namespace

SelectionList::SelectionList(SelectionStore& store)
    : m_store(store)
{
}

SelectionList::Row SelectionList::pack(const QStringList& values)
{
    Row r;
    qsizetype size = 0;
    for (const QString& v : values)
        size += v.size();
    r.data.reserve(size);
    r.ends.reserve(static_cast<size_t>(values.size()));
    for (const QString& v : values) {
        r.data += v;
        r.ends.push_back(static_cast<quint32>(r.data.size()));
    }
    return r;
}

QString SelectionList::valueOf(const Row& r, int i)
{
    if (i < 0 || static_cast<size_t>(i) >= r.ends.size())
        return QString();
    const quint32 begin = i == 0 ? 0 : r.ends[static_cast<size_t>(i - 1)];
    const quint32 end = r.ends[static_cast<size_t>(i)];
    return r.data.mid(begin, end - begin);
}

QStringView SelectionList::numberOf(const Row& r)
{
    return r.ends.empty() ? QStringView() : QStringView(r.data).left(r.ends.front());
}

const SelectionList::Row* SelectionList::rowAt(int item) const
{
    if (item < 0 || item >= rowCount())
        return nullptr;
    const size_t i = static_cast<size_t>(item);
    // the last row saved is the top one
    return i < m_saved.size() ? &m_saved[m_saved.size() - 1 - i] : &m_read[i - m_saved.size()];
}

QStringList SelectionList::row(int item) const
{
    QStringList out;
    const Row* r = rowAt(item);
    if (!r)
        return out;
    out.reserve(static_cast<qsizetype>(r->ends.size()));
    for (size_t i = 0; i < r->ends.size(); ++i)
        out << valueOf(*r, static_cast<int>(i));
    return out;
}

QString SelectionList::value(int item, int column) const
{
    const Row* r = rowAt(item);
    return r ? valueOf(*r, column) : QString();
}

QString SelectionList::caption(int item) const
{
    return value(item, 0);
}

int SelectionList::indexOf(const QString& number) const
{
    for (size_t i = 0; i < m_saved.size(); ++i) {
        if (numberOf(m_saved[i]) == number)
            return static_cast<int>(m_saved.size() - 1 - i);
    }
    for (size_t i = 0; i < m_read.size(); ++i) {
        if (numberOf(m_read[i]) == number)
            return static_cast<int>(m_saved.size() + i);
    }
    return -1;
}

// A page that cannot be read ends the reading before it is reported: the report (a
// message box, with an event loop of its own) may let the view ask for more rows.
std::optional<std::vector<StoredRow>> SelectionList::readPage(const std::optional<QString>& after, int limit)
{
    StoreResult<std::vector<StoredRow>> page = m_store.readPage({m_search, after}, limit);
    if (!page.ok()) {
        m_atEnd = true; // until the list is read again from the top
        if (onReadError)
            onReadError(page.error());
        return std::nullopt;
    }
    return std::move(page.value());
}

void SelectionList::append(const std::vector<StoredRow>& page, int limit)
{
    m_atEnd = static_cast<int>(page.size()) < limit;
    if (page.empty())
        return;
    m_after = page.back().value(0);
    for (const StoredRow& values : page) {
        if (!m_savedNumbers.contains(values.value(0)))
            m_read.push_back(pack(values));
    }
}

// The first page is read before the view is told of the reset, and a failure told
// after it: the view never waits in the middle of a reset.
bool SelectionList::readFromTop(const QString& search)
{
    StoreResult<std::vector<StoredRow>> page = m_store.readPage({search, std::nullopt}, kPageRows);
    if (m_listener)
        m_listener->aboutToReset();
    letGo(search);
    if (page.ok())
        append(page.value(), kPageRows);
    if (m_listener)
        m_listener->reset();
    if (!page.ok() && onReadError)
        onReadError(page.error());
    return page.ok();
}

void SelectionList::letGo(const QString& search)
{
    m_saved.clear();
    m_read.clear();
    m_savedNumbers.clear();
    m_selected.clear();
    m_search = search;
    m_after.reset();
    m_atEnd = true;
}

void SelectionList::showFound(const QString& search)
{
    if (m_listener)
        m_listener->aboutToReset();
    letGo(search);
    if (m_listener)
        m_listener->reset();
}

void SelectionList::addFound(const std::vector<StoredRow>& rows)
{
    const int before = rowCount();
    int fresh = 0;
    for (const StoredRow& values : rows)
        fresh += m_savedNumbers.contains(values.value(0)) ? 0 : 1;
    if (m_listener && fresh > 0)
        m_listener->aboutToInsert(before, before + fresh - 1);
    // appended as a page whose end was not reached by the list: it reads no further
    append(rows, static_cast<int>(rows.size()) + 1);
    m_atEnd = true;
    if (m_listener && fresh > 0)
        m_listener->inserted();
}

bool SelectionList::fetchMore()
{
    if (m_atEnd)
        return false;
    const std::optional<std::vector<StoredRow>> page = readPage(m_after, kPageRows);
    if (!page)
        return false;
    const int before = rowCount();
    int fresh = 0;
    for (const StoredRow& values : *page)
        fresh += m_savedNumbers.contains(values.value(0)) ? 0 : 1;
    if (m_listener && fresh > 0)
        m_listener->aboutToInsert(before, before + fresh - 1);
    append(*page, kPageRows);
    if (m_listener && fresh > 0)
        m_listener->inserted();
    return true;
}

bool SelectionList::forEachRow(const std::function<void(const QStringList&)>& visit)
{
    for (int item = 0; item < rowCount(); ++item)
        visit(row(item));
    std::optional<QString> after = m_after;
    for (bool atEnd = m_atEnd; !atEnd;) {
        const std::optional<std::vector<StoredRow>> page = readPage(after, kWalkPageRows);
        if (!page)
            return false;
        atEnd = static_cast<int>(page->size()) < kWalkPageRows;
        for (const StoredRow& values : *page) {
            if (!m_savedNumbers.contains(values.value(0)))
                visit(values);
        }
        if (!page->empty())
            after = page->back().value(0);
    }
    return true;
}

StoreResult<bool> SelectionList::holds(const QString& number)
{
    if (indexOf(number) >= 0)
        return true;
    if (m_atEnd)
        return false;
    return m_store.holds({m_search, m_after}, number);
}

void SelectionList::addSaved(const QStringList& values)
{
    const QString number = values.value(0);
    removeNumber(number);
    if (!m_search.isEmpty()) {
        // shown only when the search in the box finds it
        const StoreResult<bool> found = m_store.holds({m_search, std::nullopt}, number);
        if (!found.ok() && onReadError)
            onReadError(found.error());
        if (!found.ok() || !found.value())
            return;
    }
    if (m_listener)
        m_listener->aboutToInsert(0, 0);
    m_saved.push_back(pack(values));
    m_savedNumbers.insert(number);
    if (m_listener)
        m_listener->inserted();
}

void SelectionList::removeNumber(const QString& number)
{
    const int item = indexOf(number);
    if (item >= 0) {
        if (m_listener)
            m_listener->aboutToRemove(item);
        const size_t i = static_cast<size_t>(item);
        if (i < m_saved.size())
            m_saved.erase(m_saved.begin() + static_cast<std::ptrdiff_t>(m_saved.size() - 1 - i));
        else
            m_read.erase(m_read.begin() + static_cast<std::ptrdiff_t>(i - m_saved.size()));
        if (m_listener)
            m_listener->removed();
    }
    m_savedNumbers.erase(number);
    if (m_selected == number)
        m_selected.clear();
}
