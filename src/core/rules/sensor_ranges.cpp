#include "core/rules/sensor_ranges.h"

#include "core/form/form_model.h"

#include <QString>

#include <algorithm>
#include <vector>

namespace {

struct Range {
    QString item;    // MPa; made once, copied into the list without a new string
    double limitKpa; // offered while the maximum pressure is at most this
    bool whileFewerThanTwo;
};

// clang-format off
const std::vector<Range>& ranges(SensorScale scale)
{
    static const std::vector<Range> standard = {
        {QStringLiteral("0.2"), 200, false},  {QStringLiteral("0.5"), 500, false},
        {QStringLiteral("1.0"), 1000, true},  {QStringLiteral("2.0"), 2000, true},
        {QStringLiteral("5.0"), 5000, true},  {QStringLiteral("10.0"), 10000, true},
    };
    static const std::vector<Range> cardSmall = {
        {QStringLiteral("0.2"), 200, false},  {QStringLiteral("0.5"), 500, false},
        {QStringLiteral("0.7"), 700, true},   {QStringLiteral("0.9"), 900, true},
    };
    static const std::vector<Range> cardLarge = {{QStringLiteral("0.2"), 200, false}, {QStringLiteral("0.5"), 500, false}};
    static const std::vector<Range> none;
    switch (scale) {
    case SensorScale::Standard: return standard;
    case SensorScale::CardSmall: return cardSmall;
    case SensorScale::CardLarge: return cardLarge;
    case SensorScale::None: return none;
    }
    return none;
}
// clang-format on

} // namespace

void fillSensorRanges(FormModel& form, double pabsMaxKpa, SensorScale scale)
{
    QStringList items;
    for (const Range& r : ranges(scale)) {
        if (pabsMaxKpa <= r.limitKpa && (!r.whileFewerThanTwo || items.size() < 2))
            items << r.item;
    }
    form.setItems(Field::PressSensorUpper, items);
    if (!items.isEmpty())
        form.setIndex(Field::PressSensorUpper, 0);
}

QStringList allSensorRanges()
{
    QStringList out;
    for (SensorScale scale : {SensorScale::Standard, SensorScale::CardSmall, SensorScale::CardLarge}) {
        for (const Range& r : ranges(scale)) {
            if (!out.contains(r.item))
                out << r.item;
        }
    }
    std::sort(out.begin(), out.end(), [](const QString& a, const QString& b) { return a.toDouble() < b.toDouble(); });
    return out;
}
