#include "workspace/selection_list.h"

#include <algorithm>

SelectionList::Row SelectionList::pack(const QStringList& values)
{
    Row r;
    r.ends.reserve(static_cast<size_t>(values.size()));
    for (const QString& v : values) {
        r.data += v;
        r.ends.push_back(static_cast<quint32>(r.data.size()));
    }
    r.data.squeeze();
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

QStringList SelectionList::row(int item) const
{
    QStringList out;
    if (item < 0 || item >= rowCount())
        return out;
    const Row& r = m_rows[static_cast<size_t>(item)];
    for (size_t i = 0; i < r.ends.size(); ++i)
        out << valueOf(r, static_cast<int>(i));
    return out;
}

QString SelectionList::value(int item, int column) const
{
    return item >= 0 && item < rowCount() ? valueOf(m_rows[static_cast<size_t>(item)], column) : QString();
}

QString SelectionList::caption(int item) const
{
    return value(item, 0);
}

int SelectionList::find(const QString& caption) const
{
    for (int i = 0; i < rowCount(); ++i) {
        if (this->caption(i) == caption)
            return i;
    }
    return -1;
}

void SelectionList::append(const QStringList& values)
{
    const int at = rowCount();
    if (m_listener)
        m_listener->aboutToInsert(at);
    m_rows.push_back(pack(values));
    if (m_listener)
        m_listener->inserted();
}

void SelectionList::beginRefill()
{
    if (m_listener)
        m_listener->aboutToReset();
    m_rows.clear();
    m_selected = -1;
}

void SelectionList::refillRow(const QStringList& values)
{
    m_rows.push_back(pack(values));
}

void SelectionList::endRefill()
{
    if (m_listener)
        m_listener->reset();
}

void SelectionList::insertEmpty(int item)
{
    item = std::clamp(item, 0, rowCount());
    if (m_listener)
        m_listener->aboutToInsert(item);
    m_rows.insert(m_rows.begin() + item, Row {});
    if (m_listener)
        m_listener->inserted();
    if (m_selected >= item)
        ++m_selected;
}

void SelectionList::extend(int item, const QStringList& values)
{
    if (item < 0 || item >= rowCount())
        return;
    QStringList all = row(item);
    all += values;
    m_rows[static_cast<size_t>(item)] = pack(all);
    if (m_listener)
        m_listener->changed(item);
}

void SelectionList::remove(int item)
{
    if (item < 0 || item >= rowCount())
        return;
    if (m_listener)
        m_listener->aboutToRemove(item);
    m_rows.erase(m_rows.begin() + item);
    if (m_listener)
        m_listener->removed();
    if (m_selected == item)
        m_selected = -1;
    else if (m_selected > item)
        --m_selected;
}

void SelectionList::setSelected(int item)
{
    m_selected = item >= 0 && item < rowCount() ? item : -1;
}
