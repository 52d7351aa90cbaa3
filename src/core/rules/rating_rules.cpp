#include "core/rules/rating_rules.h"

#include "core/form/form_model.h"
#include "core/form/numbers.h"
#include "core/form/vocabulary.h"
#include "core/record/selection_record.h"
#include "core/rules/rule_match.h"

#include <algorithm>
#include <optional>

using F = Field;
using M = vocab::Medium;
using namespace vocab;

namespace {

// Which sizes a rating row applies to.
enum class SizeTest {
    AnyOrNone, // whatever is chosen, also nothing
    AnyChosen, // some size is chosen
    Listed,    // one of the listed labels is chosen
};

struct RatingRule {
    Media media;
    QStringView meterType;
    Texts origins;
    Texts cards;
    SizeTest sizeTest;
    Texts sizes;
    Texts ratings;     // MPa, ascending
    bool pressureTest; // a rating of R MPa only while PabsMax <= 1000 R kPa
};

// clang-format off
const RatingRule kRatingRules[] = {
    {{M::CityGas},                                         Turbine,    {Imported}, {},                          SizeTest::AnyOrNone, {},
        {u"1.0", u"1.6"}, true},
    {{M::CityGas},                                         Turbine,    {Domestic}, {CardIntegrated, CardSplit}, SizeTest::AnyChosen, {},
        {u"1.6"}, true},
    {{M::CityGas, M::OilField, M::CoalBed, M::Air},        Turbine,    {},         {CardNone},                  SizeTest::Listed,
        {u"50A(6<=Qg<=65)", u"50B(10<=Qg<=100)", u"80A(8<=Qg<=160)", u"80B(13<=Qg<=250)", u"80C(20<=Qg<=400)",
         u"100A(13<=Qg<=250)", u"100B(20<=Qg<=400)", u"100C(32<=Qg<=650)"},
        {u"1.6", u"2.5", u"4.0"}, true},
    {{M::CityGas, M::OilField, M::CoalBed, M::Air},        Turbine,    {},         {CardNone},                  SizeTest::Listed,
        {u"150A(32<=Qg<=650)", u"150B(50<=Qg<=1000)", u"150C(80<=Qg<=1600)", u"200A(50<=Qg<=1000)",
         u"200B(80<=Qg<=1600)", u"200C(130<=Qg<=2500)", u"250A(80<=Qg<=1600)", u"250B(130<=Qg<=2500)",
         u"250C(200<=Qg<=4000)", u"300A(130<=Qg<=2500)", u"300B(200<=Qg<=4000)", u"300C(320<=Qg<=6500)"},
        {u"1.6", u"2.5"}, true},
    {{M::CityGas, M::Air},                                 RotaryLobe, {},         {},                          SizeTest::AnyChosen, {},
        {u"1.6"}, true},
    {{M::OilField, M::OxygenHydrogen},                     Vortex,     {Domestic}, {CardIntegrated},            SizeTest::AnyChosen, {},
        {u"1.6"}, false},
    {{M::OilField, M::CoalBed, M::Air, M::OxygenHydrogen}, Vortex,     {Domestic}, {CardNone},                  SizeTest::Listed,
        {u"20B(1.2<=Qg<=15)", u"25B(2.5<=Qg<=30)", u"32B(4.5<=Qg<=60)", u"50D(6<=Qg<=65)", u"50E(8<=Qg<=75)",
         u"50B(10<=Qg<=150)"},
        {u"1.6", u"2.5", u"4.0", u"6.3", u"10.0", u"16.0"}, true},
    {{M::OilField, M::CoalBed, M::Air, M::OxygenHydrogen}, Vortex,     {Domestic}, {CardNone},                  SizeTest::Listed,
        {u"80D(20<=Qg<=200)", u"80E(30<=Qg<=300)", u"80B(28<=Qg<=400)", u"100D(55<=Qg<=550)", u"100B(50<=Qg<=800)"},
        {u"1.6", u"2.5", u"4.0", u"6.3"}, true},
    {{M::OilField, M::CoalBed, M::Air, M::OxygenHydrogen}, Vortex,     {Domestic}, {CardNone},                  SizeTest::Listed,
        {u"150D(100<=Qg<=1200)", u"150B(150<=Qg<=2250)", u"200B(360<=Qg<=3600)"},
        {u"1.6", u"2.5", u"4.0"}, true},
};
// clang-format on

bool sizeMatches(const RatingRule& rule, const FormModel& f)
{
    switch (rule.sizeTest) {
    case SizeTest::AnyOrNone: return true;
    case SizeTest::AnyChosen: return f.index(F::Size) >= 0;
    case SizeTest::Listed: return f.index(F::Size) >= 0 && matches(rule.sizes, f.text(F::Size));
    }
    return false;
}

const RatingRule* ratingRule(const FormModel& f)
{
    const M medium = f.item<M>(F::Medium);
    const QString meterType = f.text(F::MeterType);
    const QString origin = f.text(F::BaseOrigin);
    const QString card = f.text(F::CardControl);
    for (const RatingRule& rule : kRatingRules) {
        if (rule.media.has(medium) && meterType == rule.meterType && matches(rule.origins, origin)
            && matches(rule.cards, card) && sizeMatches(rule, f))
            return &rule;
    }
    return nullptr;
}

// The bore of a size label as a whole number; a label without one ends the step
// as an integer conversion would.
int boreOf(const QString& label)
{
    const QString digits = boreDigits(label);
    bool ok = false;
    const int bore = digits.toInt(&ok);
    if (!ok)
        throw GeneralError(QStringLiteral("'%1' is not a valid integer value").arg(digits));
    return bore;
}

} // namespace

void offerNominalPressures(FormModel& f)
{
    const RatingRule* rule = ratingRule(f);
    if (!rule)
        return;
    // PabsMax is read, as shown, once and only when a rating needs it
    std::optional<double> pabsMax;
    auto pressure = [&] {
        if (!pabsMax)
            pabsMax = toNumber(f.text(F::PabsMax));
        return *pabsMax;
    };
    for (QStringView rating : rule->ratings) {
        const double ratingMpa = *parseDecimal(rating); // the table's own decimals
        if (!rule->pressureTest || pressure() <= 1000 * ratingMpa)
            f.addItem(F::NominalPressure, rating.toString());
    }
}

SensorScale sensorScaleOf(const FormModel& f)
{
    if (f.text(F::CardControl) == CardNone)
        return SensorScale::Standard;
    const int bore = boreOf(f.text(F::Size));
    if (bore <= 100)
        return SensorScale::CardSmall;
    if (bore >= 150 && bore <= 200)
        return SensorScale::CardLarge;
    return SensorScale::None;
}

QStringList ratingsOfMeterType(QStringView meterType)
{
    QStringList out;
    for (const RatingRule& rule : kRatingRules) {
        if (rule.meterType != meterType)
            continue;
        for (QStringView rating : rule.ratings) {
            if (!out.contains(rating))
                out << rating.toString();
        }
    }
    std::sort(
        out.begin(), out.end(), [](const QString& a, const QString& b) { return *parseDecimal(a) < *parseDecimal(b); });
    return out;
}
