#include "core/rules/size_tables.h"

namespace {

struct RotaryRow {
    const char* stem;
    const char* rangeText; // the nominal range shown in the label
    double lo;             // the range the row is fitted with
    double hi;
};

// clang-format off
// Domestic rotary-lobe meters (RKD). "150RKD-G400-6" is fitted with lo 2.5, not the
// 6.5 of its range text.
const RotaryRow kDomestic[] = {
    {"25RKD-G10",     "(0.4<=Qg<=16)",    0.4,  16},
    {"50RKD-G16",     "(0.5<=Qg<=25)",    0.5,  25},
    {"50RKD-G25",     "(0.5<=Qg<=40)",    0.5,  40},
    {"50RKD-G40",     "(0.5<=Qg<=65)",    0.5,  65},
    {"50RKD-G65",     "(0.5<=Qg<=100)",   0.5,  100},
    {"80RKD-G100",    "(0.65<=Qg<=160)",  0.65, 160},
    {"80RKD-G160-3",  "(1.6<=Qg<=250)",   1.6,  250},
    {"100RKD-G160-4", "(1.6<=Qg<=250)",   1.6,  250},
    {"100RKD-G250",   "(2.0<=Qg<=400)",   2.0,  400},
    {"100RKD-G400-4", "(2.5<=Qg<=650)",   2.5,  650},
    {"150RKD-G400-6", "(6.5<=Qg<=650)",   2.5,  650},
    {"150RKD-G650",   "(6.5<=Qg<=1000)",  6.5,  1000},
    {"200RKD-G1000",  "(10<=Qg<=1600)",   10,   1600},
};

// Imported rotary-lobe (roots) meters: the same rows from DN50 on.
const RotaryRow kImported[] = {
    {"50G16",     "(0.5<=Qg<=25)",    0.5,  25},
    {"50G25",     "(0.5<=Qg<=40)",    0.5,  40},
    {"50G40",     "(0.5<=Qg<=65)",    0.5,  65},
    {"50G65",     "(0.5<=Qg<=100)",   0.5,  100},
    {"80G100",    "(0.65<=Qg<=160)",  0.65, 160},
    {"80G160-3",  "(1.6<=Qg<=250)",   1.6,  250},
    {"100G160-4", "(1.6<=Qg<=250)",   1.6,  250},
    {"100G250",   "(2.0<=Qg<=400)",   2.0,  400},
    {"100G400-4", "(2.5<=Qg<=650)",   2.5,  650},
    {"150G400-6", "(6.5<=Qg<=650)",   2.5,  650},
    {"150G650",   "(6.5<=Qg<=1000)",  6.5,  1000},
    {"200G1000",  "(10<=Qg<=1600)",   10,   1600},
};
// clang-format on

// Variant 1 (integrated card control) puts "C" after the stem; variant 2 (separate
// card control) has no DN25 row.
template <size_t N>
SizeTable rotaryTable(const RotaryRow (&rows)[N], int variant)
{
    SizeTable table;
    for (const RotaryRow& r : rows) {
        const QString stem = QString::fromLatin1(r.stem);
        if (variant == 2 && stem.startsWith(QStringLiteral("25")))
            continue;
        const QString suffix = variant == 1 ? QStringLiteral("C") : QString();
        table.push_back(TSizeCandidate {stem + suffix + QString::fromLatin1(r.rangeText), r.lo, r.hi});
    }
    return table;
}

} // namespace

SizeTable domesticRotaryLobeTable(int variant)
{
    return rotaryTable(kDomestic, variant);
}

SizeTable importedRotaryLobeTable(int variant)
{
    return rotaryTable(kImported, variant);
}
