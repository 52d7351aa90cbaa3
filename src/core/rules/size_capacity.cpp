#include "core/rules/size_capacity.h"

#include "core/form/numbers.h"
#include "core/rules/size_tables.h"

#include <QRegularExpression>

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
    if (!sizeTableRow(label))
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
