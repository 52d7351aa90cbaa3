#include "apps/common/selection_import.h"

#include "adapters/sql/copy_into_empty.h"
#include "apps/common/old_selections.h"
#include "core/form/selection_number.h"
#include "core/record/columns.h"
#include "workspace/store_messages.h"

#include <QHash>
#include <QSet>

#include <algorithm>

namespace {

// The width of the old table's Text columns, in UCS-2 units as Access counts them.
constexpr qsizetype kColumnWidth = 255;

// Why a value is no text the stores keep as it is; empty when it is.
QString textProblem(const QString& value)
{
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c.isHighSurrogate() && i + 1 < value.size() && value[i + 1].isLowSurrogate()) {
            ++i;
            continue;
        }
        if (c.isSurrogate())
            return QStringLiteral("含有无效的文字（不成对的代理项 U+%1）")
                .arg(c.unicode(), 4, 16, QChar(u'0'))
                .toUpper();
        // the control characters (Unicode's Cc) are U+0000 to U+001F and U+007F to U+009F
        const bool control = c.unicode() < 0x20 || (c.unicode() >= 0x7f && c.unicode() <= 0x9f);
        const bool lineOrNul = c == u'\t' || c == u'\r' || c == u'\n' || c == u'\0';
        if (control && !lineOrNul)
            return QStringLiteral("含有控制字符 U+%1").arg(c.unicode(), 4, 16, QChar(u'0')).toUpper();
    }
    return QString();
}

} // namespace

std::optional<QString> SelectionImport::rowProblem(const StoredRow& row)
{
    const QString& number = row.front();
    const bool digits = std::all_of(number.begin(), number.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    if (number.size() != kSelectionNoDigits || !digits)
        return QStringLiteral("选型编号不是%1位数字").arg(kSelectionNoDigits);
    for (qsizetype c = 0; c < row.size(); ++c) {
        const auto name = [c] { return QString::fromUtf8(columns()[size_t(c)].name); };
        if (row[c].size() > kColumnWidth)
            return QStringLiteral("%1 超过%2个字符（%3个）").arg(name()).arg(kColumnWidth).arg(row[c].size());
        if (const QString problem = textProblem(row[c]); !problem.isEmpty())
            return QStringLiteral("%1 %2").arg(name(), problem);
    }
    return std::nullopt;
}

SelectionImport::SelectionImport(OldSelections& from, SelectionStore& into)
    : m_from(from)
    , m_into(into)
    , m_bulk(copyIntoEmptyOf(into))
{
}

SelectionImport::~SelectionImport()
{
    if (m_copying)
        m_bulk->endCopyIntoEmpty(false);
}

void SelectionImport::cancel()
{
    if (m_copying)
        endCopy(false);
    m_ended = true;
    m_held.reset();
    m_later.clear();
}

std::optional<SelectionImport::ReadRow> SelectionImport::next(Step& fault)
{
    for (;;) {
        ReadRow row;
        if (m_held) {
            row = std::move(*m_held);
            m_held.reset();
        } else if (!m_ended) {
            switch (m_from.next(row.values)) {
            case OldSelections::Next::Row: break;
            case OldSelections::Next::End: m_ended = true; continue;
            case OldSelections::Next::Fault:
                m_error = m_from.fault();
                fault = Step::FileFault;
                return std::nullopt;
            }
            row.place = m_read++;
        } else if (!m_copying && !m_later.empty()) {
            row = std::move(m_later.front());
            m_later.pop_front();
        } else {
            return std::nullopt;
        }
        if (std::optional<QString> problem = rowProblem(row.values)) {
            m_reports.push_back({row.place, {row.values.front(), std::move(problem)}});
            ++m_counts.failed;
            ++m_done;
            continue;
        }
        // a copy into the empty store sends each number once: the store can tell a
        // row there before from another only once the copy is done
        if (m_copying && m_copied.contains(row.values.front())) {
            m_later.push_back(std::move(row));
            continue;
        }
        return row;
    }
}

SelectionImport::Step SelectionImport::step(std::vector<ImportReport>& reports)
{
    if (!m_begun) {
        m_begun = true;
        const StoreResult<bool> copying = m_bulk ? m_bulk->beginCopyIntoEmpty() : StoreResult<bool>(false);
        if (!copying.ok()) {
            m_error = dataErrorText(copying.error().statement, copying.error().message);
            return Step::StoreFault;
        }
        m_copying = copying.value();
    }
    // A batch holds a number once, so that what the store tells of a number is of
    // one row; a row whose number is in the batch already begins the next one.
    std::vector<ReadRow> batch;
    QSet<QString> numbers;
    Step fault = Step::Stored;
    while (batch.size() < size_t(kRowsPerBatch)) {
        std::optional<ReadRow> row = next(fault);
        if (!row)
            break;
        const QString& number = row->values.front();
        if (numbers.contains(number)) {
            m_held = std::move(row);
            break;
        }
        numbers.insert(number);
        if (m_copying)
            m_copied.insert(number);
        batch.push_back(std::move(*row));
    }
    std::optional<Step> ended;
    if (fault == Step::FileFault)
        ended = m_copying ? endCopy(false).value_or(fault) : fault;
    else if (!batch.empty())
        ended = store(batch);
    else if (m_copying)
        ended = endCopy(true);
    else
        ended = Step::Done;
    tell(reports);
    // once a copy into the empty store is done, the rows set aside go the usual way
    return ended.value_or(Step::Stored);
}

std::optional<SelectionImport::Step> SelectionImport::store(const std::vector<ReadRow>& batch)
{
    std::vector<StoredRow> rows;
    rows.reserve(batch.size());
    for (const ReadRow& r : batch) {
        rows.push_back(r.values);
        // a copy's rows are told of only when refused: their places are enough
        m_sent.insert(r.values.front(), m_copying ? ReadRow {r.place, {}} : r);
    }
    m_done += qint64(batch.size());
    const StoreResult<InsertOutcome> outcome = m_into.insertUnlessStored(rows);
    if (!outcome.ok()) {
        // a failure of the store ends a copy into the empty store, nothing kept
        m_counts.stored -= m_copiedStored;
        m_copiedStored = 0;
        m_copying = false;
        m_error = dataErrorText(outcome.error().statement, outcome.error().message);
        return Step::StoreFault;
    }
    // stored, until the store tells otherwise
    m_counts.stored += int(batch.size());
    if (m_copying)
        m_copiedStored += int(batch.size());
    return takeIn(outcome.value());
}

std::optional<SelectionImport::Step> SelectionImport::takeIn(const InsertOutcome& outcome)
{
    for (const RefusedRow& refused : outcome.refused) {
        const ReadRow row = m_sent.take(refused.number);
        m_reports.push_back({row.place, {refused.number, refused.reason}});
        --m_counts.stored;
        ++m_counts.failed;
        if (m_copying)
            --m_copiedStored;
    }
    // only a number the store held already is read back, to tell a row imported
    // before from another program's selection of that number
    for (const QString& number : outcome.skipped) {
        const ReadRow row = m_sent.take(number);
        --m_counts.stored;
        if (m_copying) {
            // a copy's numbers are each sent once into a table that held none, so no
            // row of another is there; nothing is read while rows are on their way
            m_reports.push_back({row.place, {number, std::nullopt}});
            ++m_counts.conflicts;
            continue;
        }
        const StoreResult<std::optional<StoredRow>> there = m_into.fetch(number);
        if (!there.ok()) {
            m_error = queryErrorText(there.error().statement, there.error().message);
            return Step::StoreFault;
        }
        if (there.value() && *there.value() == row.values) {
            ++m_counts.skipped;
        } else {
            m_reports.push_back({row.place, {number, std::nullopt}});
            ++m_counts.conflicts;
        }
    }
    if (!m_copying)
        m_sent.clear();
    return std::nullopt;
}

std::optional<SelectionImport::Step> SelectionImport::endCopy(bool keep)
{
    const StoreResult<InsertOutcome> outcome = m_bulk->endCopyIntoEmpty(keep);
    m_copying = false;
    if (!keep || !outcome.ok()) {
        m_counts.stored -= m_copiedStored;
        m_copiedStored = 0;
        m_sent.clear();
    }
    if (!outcome.ok()) {
        m_error = dataErrorText(outcome.error().statement, outcome.error().message);
        return Step::StoreFault;
    }
    m_copiedStored = 0;
    return takeIn(outcome.value());
}

void SelectionImport::tell(std::vector<ImportReport>& reports)
{
    if (m_copying)
        return; // what the store tells of a batch may come with the next
    std::stable_sort(
        m_reports.begin(), m_reports.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (auto& [place, report] : m_reports)
        reports.push_back(std::move(report));
    m_reports.clear();
}
