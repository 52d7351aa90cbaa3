#pragma once

#include <QString>

struct PrintRow;

// Expands the content of a sheet object. Text outside square brackets prints as it
// stands; each bracketed expression prints its value:
//   Qr1."column"        the column's text from the print row (empty when absent)
//   DATE                dateText, the print date as the caller formats it
//   COPY(s, start, n)   the part of s from the 1-based start, at most n characters
//   POS(sub, s)         the 1-based position of sub's first occurrence in s, or 0
//   'text', 123, + , -  string and integer literals, integer sums (+ joins texts)
//   [expression]        an expression in brackets, nested inside another
// Names ignore case. An expression that cannot be read or evaluated prints its own
// bracketed text, so the fault shows on the sheet instead of an empty cell; a "["
// without its "]" prints the rest of the text unchanged.
QString expandSheetText(const QString& text, const PrintRow& row, const QString& dateText);
