#pragma once

// A selection number: the day as yyyymmdd followed by its three-digit sequence,
// as "20261210001".
inline constexpr int kDayDigits = 8;
inline constexpr int kSequenceDigits = 3;
inline constexpr int kSelectionNoDigits = kDayDigits + kSequenceDigits;
inline constexpr int kLastSequence = 999;
