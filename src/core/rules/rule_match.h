#pragma once

#include <QString>
#include <QStringView>

#include <initializer_list>
#include <limits>

// Helpers for the rule tables of the option chain.

// A set of media by item index (0 city gas ... 4 oxygen or hydrogen).
class Media {
public:
    constexpr Media(std::initializer_list<int> indexes)
    {
        for (int i : indexes)
            m_mask |= 1u << i;
    }
    constexpr bool has(int index) const { return index >= 0 && index < 32 && (m_mask & (1u << index)) != 0; }

private:
    unsigned m_mask = 0;
};

// A cell that lists the accepted texts; an empty list is "any", no test at all.
using Texts = std::initializer_list<QStringView>;

inline bool matches(Texts accepted, const QString& text)
{
    if (accepted.size() == 0)
        return true;
    for (QStringView a : accepted) {
        if (text == a)
            return true;
    }
    return false;
}

// Working flow (m3/h) and maximum absolute pressure (kPa) both at most these.
struct Limits {
    double qMax;
    double pMax;
};

inline constexpr double kNoLimit = std::numeric_limits<double>::infinity();
