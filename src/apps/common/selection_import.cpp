#include "apps/common/selection_import.h"

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
        const bool lineOrNul = c == u'\t' || c == u'\r' || c == u'\n' || c == u'\0';
        if (c.category() == QChar::Other_Control && !lineOrNul)
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
        const QString name = QString::fromUtf8(columns()[size_t(c)].name);
        if (row[c].size() > kColumnWidth)
            return QStringLiteral("%1 超过%2个字符（%3个）").arg(name).arg(kColumnWidth).arg(row[c].size());
        if (const QString problem = textProblem(row[c]); !problem.isEmpty())
            return QStringLiteral("%1 %2").arg(name, problem);
    }
    return std::nullopt;
}

SelectionImport::SelectionImport(OldSelections& from, SelectionStore& into)
    : m_from(from)
    , m_into(into)
{
}

SelectionImport::Step SelectionImport::step(std::vector<ImportReport>& reports)
{
    // A batch holds a number once, so that what the store tells of a number is of
    // one row; a row whose number is in the batch already begins the next one.
    std::vector<StoredRow> batch;
    std::vector<std::optional<QString>> problems;
    QSet<QString> numbers;
    while (!m_ended && batch.size() < size_t(kRowsPerBatch)) {
        StoredRow row;
        if (m_held) {
            row = std::move(*m_held);
            m_held.reset();
        } else {
            switch (m_from.next(row)) {
            case OldSelections::Next::Row: break;
            case OldSelections::Next::End: m_ended = true; continue;
            case OldSelections::Next::Fault: m_error = m_from.fault(); return Step::FileFault;
            }
        }
        std::optional<QString> problem = rowProblem(row);
        if (!problem && numbers.contains(row.front())) {
            m_held = std::move(row);
            break;
        }
        if (!problem)
            numbers.insert(row.front());
        batch.push_back(std::move(row));
        problems.push_back(std::move(problem));
    }
    if (batch.empty())
        return Step::Done;

    std::vector<StoredRow> storable;
    for (size_t i = 0; i < batch.size(); ++i) {
        if (!problems[i])
            storable.push_back(batch[i]);
    }
    InsertOutcome outcome;
    if (!storable.empty()) {
        StoreResult<InsertOutcome> stored = m_into.insertUnlessStored(storable);
        if (!stored.ok()) {
            m_error = dataErrorText(stored.error().statement, stored.error().message);
            return Step::StoreFault;
        }
        outcome = std::move(stored.value());
    }
    QHash<QString, QString> refused;
    for (const RefusedRow& r : outcome.refused)
        refused.insert(r.number, r.reason);
    const QSet<QString> skipped(outcome.skipped.begin(), outcome.skipped.end());
    m_counts.stored += int(storable.size()) - int(skipped.size()) - int(refused.size());
    m_done += qint64(batch.size());
    // only a number the store held already is read back, to tell a row imported
    // before from another program's selection of that number
    for (size_t i = 0; i < batch.size(); ++i) {
        const QString& number = batch[i].front();
        if (problems[i] || refused.contains(number)) {
            reports.push_back({number, problems[i] ? *problems[i] : refused.value(number)});
            ++m_counts.failed;
        } else if (skipped.contains(number)) {
            const StoreResult<std::optional<StoredRow>> there = m_into.fetch(number);
            if (!there.ok()) {
                m_error = queryErrorText(there.error().statement, there.error().message);
                return Step::StoreFault;
            }
            if (there.value() && *there.value() == batch[i]) {
                ++m_counts.skipped;
            } else {
                reports.push_back({number, std::nullopt});
                ++m_counts.conflicts;
            }
        }
    }
    return Step::Stored;
}
