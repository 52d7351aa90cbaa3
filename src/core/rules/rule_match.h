#pragma once

#include "core/form/vocabulary.h"

#include <QString>
#include <QStringView>

#include <initializer_list>
#include <limits>

// Helpers for the rule tables of the option chain.

// A set of media.
class Media {
public:
    constexpr Media(std::initializer_list<vocab::Medium> media)
    {
        for (vocab::Medium m : media)
            m_mask |= bit(m);
    }
    constexpr bool has(vocab::Medium m) const { return m != vocab::Medium::None && (m_mask & bit(m)) != 0; }

private:
    static constexpr unsigned bit(vocab::Medium m) { return 1u << static_cast<int>(m); }
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
