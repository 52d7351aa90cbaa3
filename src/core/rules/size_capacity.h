#pragma once

#include <QString>

#include <optional>

// How much of a meter size's measuring range a working flow range uses. The range is
// the one the size list states in the label (m3/h at line conditions), which is what
// the engineer reads and quotes, even where a row is fitted with other bounds.
struct SizeCapacity {
    QString lowText; // as the label writes them: "6.5", "2.0"
    QString highText;
    double low = 0;
    double high = 0;

    QString rangeText() const { return lowText + u'-' + highText; } // "6.5-1000"
    // 100 * Qmax / the upper flow, one decimal
    QString useAtMax(double workFlowMax) const;
    // Qmin / the lower flow, two decimals
    QString marginAtMin(double workFlowMin) const;

    bool operator==(const SizeCapacity&) const = default;
};

// The capacity of the size whose label is `label`, when a size table holds it.
std::optional<SizeCapacity> sizeCapacity(const QString& label);
