#include "core/gas/sgerg_range.h"

#include <QStringList>

namespace {

bool holds(const SgergBounds& b, double v)
{
    return v >= b.low && v <= b.high;
}

struct Validity {
    SgergRangeInput input;
    SgergBounds normal;
    SgergBounds wider;
};

// ISO 12213-3:2006 (GB/T 17747.3), clause 4.4.1 "pipeline quality gas" (the normal
// range) and 4.4.2 "wider ranges of application"; the wider bounds are also those the
// window's captions print. Pressures 0 to 12 MPa and temperatures 263.15 K to
// 338.15 K (-10 C to 65 C) hold in both, and both working corners are judged.
// clang-format off
const Validity kValidity[] = {
    {SgergRangeInput::Hs,         {30,   45},    {20,   48}},
    {SgergRangeInput::RelDensity, {0.55, 0.80},  {0.55, 0.90}},
    {SgergRangeInput::XCO2,       {0,    0.20},  {0,    0.30}},
    {SgergRangeInput::XH2,        {0,    0.10},  {0,    0.10}},
    {SgergRangeInput::PabsMin,    {0,    12000}, {0,    12000}},
    {SgergRangeInput::PabsMax,    {0,    12000}, {0,    12000}},
    {SgergRangeInput::TempMin,    {-10,  65},    {-10,  65}},
    {SgergRangeInput::TempMax,    {-10,  65},    {-10,  65}},
};
// clang-format on

const Validity& validityOf(SgergRangeInput input)
{
    for (const Validity& v : kValidity) {
        if (v.input == input)
            return v;
    }
    Q_UNREACHABLE();
}

} // namespace

SgergBounds sgergNormalBounds(SgergRangeInput input)
{
    return validityOf(input).normal;
}

SgergBounds sgergWiderBounds(SgergRangeInput input)
{
    return validityOf(input).wider;
}

SgergRangeClass sgergInputRange(SgergRangeInput input, double value)
{
    const Validity& v = validityOf(input);
    if (!holds(v.wider, value))
        return SgergRangeClass::Outside;
    return holds(v.normal, value) ? SgergRangeClass::Normal : SgergRangeClass::Wider;
}

SgergRangeVerdict sgergRange(const SgergRangeInputs& inputs)
{
    SgergRangeVerdict verdict;
    for (const Validity& v : kValidity) {
        switch (sgergInputRange(v.input, inputs[static_cast<int>(v.input)])) {
        case SgergRangeClass::Normal: break;
        case SgergRangeClass::Wider: verdict.wider.push_back(v.input); break;
        case SgergRangeClass::Outside: verdict.outside.push_back(v.input); break;
        }
    }
    if (!verdict.outside.empty())
        verdict.range = SgergRangeClass::Outside;
    else if (!verdict.wider.empty())
        verdict.range = SgergRangeClass::Wider;
    return verdict;
}

QString sgergRangeText(const SgergRangeVerdict& verdict, const std::array<QString, kSgergRangeInputCount>& names)
{
    switch (verdict.range) {
    case SgergRangeClass::Normal: return QStringLiteral("normal");
    case SgergRangeClass::Wider: return QStringLiteral("wider");
    case SgergRangeClass::Outside: break;
    }
    QStringList out;
    for (SgergRangeInput input : verdict.outside)
        out << names[static_cast<int>(input)];
    return QStringLiteral("outside: ") + out.join(QStringLiteral(", "));
}
