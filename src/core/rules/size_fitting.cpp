#include "core/form/form_model.h"
#include "core/form/numbers.h"
#include "core/rules/size_tables.h"

#include <QHash>

#include <array>
#include <cmath>
#include <optional>

namespace {

// The widened pass takes lo / 1.2 and hi * 1.2 as exact decimals: 360 becomes 300
// and 3600 becomes 4320, not a hair beside them, so the bounds are scaled by 5/6
// and 6/5 (exact for the integral products).
double widenedLow(double lo)
{
    return lo * 5.0 / 6.0;
}

double widenedHigh(double hi)
{
    return hi * 6.0 / 5.0;
}

// Whether a row's range, in the pass's bounds, covers the working flows; both
// comparisons include equality.
bool covers(const TSizeCandidate& row, double low, double high, bool widened)
{
    const double lo = widened ? widenedLow(row.lo) : row.lo;
    const double hi = widened ? widenedHigh(row.hi) : row.hi;
    return low >= lo && high <= hi;
}

} // namespace

bool fitSizes(FormModel& form, const SizeTable& table, float qmin, float qmax)
{
    // PabsMax is read as shown each time a cap or stop is tested.
    auto pabsMax = [&form] { return toNumber(form.text(Field::PabsMax)); };
    const double low = qmin;
    const double high = qmax;
    for (const bool widened : {false, true}) {
        if (widened && form.count(Field::Size) > 0)
            break;
        for (const SizeTableEntry& entry : table) {
            if (const auto* stop = std::get_if<PressureStop>(&entry)) {
                if (pabsMax() > stop->limitKpa)
                    return form.count(Field::Size) > 0;
                continue;
            }
            const TSizeCandidate& row = std::get<TSizeCandidate>(entry);
            if (covers(row, low, high, widened) && (std::isinf(row.pressureCapKpa) || pabsMax() <= row.pressureCapKpa))
                form.addItem(Field::Size, row.label);
        }
    }
    return form.count(Field::Size) > 0;
}

namespace {

// The tables are data: built once, the first time they are asked for, and only read
// after that.
const SizeTable& rotaryTable(bool domestic, int variant)
{
    static const std::array<SizeTable, 3> domesticTables
        = {domesticRotaryLobeTable(0), domesticRotaryLobeTable(1), domesticRotaryLobeTable(2)};
    static const std::array<SizeTable, 3> importedTables
        = {importedRotaryLobeTable(0), importedRotaryLobeTable(1), importedRotaryLobeTable(2)};
    const std::array<SizeTable, 3>& tables = domestic ? domesticTables : importedTables;
    return tables[variant == 1 || variant == 2 ? variant : 0];
}

const SizeTable& vortexTableOf(int variant)
{
    static const SizeTable withoutCard = vortexTable(0);
    static const SizeTable withCard = vortexTable(1);
    return variant == 0 ? withoutCard : withCard;
}

const SizeTable& turbineTableOf(bool fullForm)
{
    static const SizeTable full = turbineTable(true);
    static const SizeTable shortForm = turbineTable(false);
    return fullForm ? full : shortForm;
}

} // namespace

bool fitDomesticRotaryLobeSizes(FormModel& form, int variant, float qmin, float qmax)
{
    return fitSizes(form, rotaryTable(true, variant), qmin, qmax);
}

bool fitRootsSizes(FormModel& form, int variant, float qmin, float qmax)
{
    return fitSizes(form, rotaryTable(false, variant), qmin, qmax);
}

bool fitVortexSizes(FormModel& form, int variant, float qmin, float qmax)
{
    return fitSizes(form, vortexTableOf(variant), qmin, qmax);
}

bool fitTurbineSizes(FormModel& form, bool fullForm, float qmin, float qmax)
{
    return fitSizes(form, turbineTableOf(fullForm), qmin, qmax);
}

const TSizeCandidate* sizeTableRow(const QString& label)
{
    static const QHash<QString, const TSizeCandidate*> rows = [] {
        QHash<QString, const TSizeCandidate*> out;
        const SizeTable* tables[] = {&rotaryTable(true, 0), &rotaryTable(true, 1), &rotaryTable(true, 2),
            &rotaryTable(false, 0), &rotaryTable(false, 1), &rotaryTable(false, 2), &vortexTableOf(0),
            &vortexTableOf(1), &turbineTableOf(true)};
        for (const SizeTable* table : tables) {
            for (const SizeTableEntry& entry : *table) {
                if (const auto* row = std::get_if<TSizeCandidate>(&entry); row && !out.contains(row->label))
                    out.insert(row->label, row);
            }
        }
        return out;
    }();
    return rows.value(label, nullptr);
}

std::optional<SizeFit> sizeFitOf(const QString& label, float qmin, float qmax)
{
    const TSizeCandidate* row = sizeTableRow(label);
    if (!row)
        return std::nullopt;
    return covers(*row, qmin, qmax, false) ? SizeFit::Exact : SizeFit::Widened;
}
