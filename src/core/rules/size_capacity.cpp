#include "core/rules/size_capacity.h"

#include "core/form/numbers.h"
#include "core/rules/size_tables.h"

#include <QRegularExpression>

#include <array>

namespace {

// Every table the size list is filled from, in every variant.
const std::array<SizeTable, 9>& allSizeTables()
{
    static const std::array<SizeTable, 9> tables = {
        domesticRotaryLobeTable(0), domesticRotaryLobeTable(1), domesticRotaryLobeTable(2),
        importedRotaryLobeTable(0), importedRotaryLobeTable(1), importedRotaryLobeTable(2),
        vortexTable(0),             vortexTable(1),             turbineTable(true),
    };
    return tables;
}

bool inSizeTable(const QString& label)
{
    for (const SizeTable& table : allSizeTables()) {
        for (const SizeTableEntry& entry : table) {
            const auto* row = std::get_if<TSizeCandidate>(&entry);
            if (row && row->label == label)
                return true;
        }
    }
    return false;
}

} // namespace

QString SizeCapacity::useAtMax(double workFlowMax) const
{
    return formatFixed(100.0 * workFlowMax / high, 1);
}

QString SizeCapacity::marginAtMin(double workFlowMin) const
{
    return formatFixed(workFlowMin / low, 2);
}

std::optional<SizeCapacity> sizeCapacity(const QString& label)
{
    if (!inSizeTable(label))
        return std::nullopt;
    static const QRegularExpression range(QStringLiteral("\\(([0-9.]+)<=Qg<=([0-9.]+)\\)$"));
    const QRegularExpressionMatch m = range.match(label);
    if (!m.hasMatch())
        return std::nullopt;
    SizeCapacity c;
    c.lowText = m.captured(1);
    c.highText = m.captured(2);
    c.low = toNumber(c.lowText);
    c.high = toNumber(c.highText);
    return c;
}
