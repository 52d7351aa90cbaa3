#pragma once

#include "adapters/sqlite/query_helpers.h"

#include "core/ports/selection_store.h"

// The statements on the table of stored selections. Their texts keep the meaning
// of the original Jet statements; values are bound, never pasted into the text. Each
// text is fixed for its kind of call (only the bound values change), so that the
// store prepares it once and reuses it.
namespace statements {

// A page of the list, newest number first: `select *` in the order of the key, from
// the top or after the last number of the page before (a keyset page: no offset is
// skipped, the key's index serves it), with or without a search (see ListQuery).
Statement listPage(const ListQuery& query, int limit);
// The key of the row of a number, when it is among the rows the query finds.
Statement listHolds(const ListQuery& query, const QString& number);
// The bounds of a day's numbers in the order of the key: from the day itself (so
// from its 000) up to, not including, the text that follows every text beginning
// with the day ("20261211" after "20261210"): exactly the numbers whose first
// eight characters are the day, as substr(选型编号,1,8)=day selected them.
struct KeyRange {
    QString from;
    QString before;
};
KeyRange dayRange(const QString& day);
// The highest number of a day, through the range on the key.
Statement highestOfDay(const QString& day);
// The numbers of a day, for numbering past the three-digit sequence.
Statement numbersOfDay(const QString& day);
// The 45 values of a row, in column order.
Statement insert(const QStringList& row);
// The stored row of a number.
Statement fetch(const QString& number);
// Whether a number is stored: its key alone, from the key's index.
Statement exists(const QString& number);
Statement remove(const QString& number);
// The 42 columns the selection sheet prints, for one number; three lines of text.
Statement print(const QString& number);

// A search text as a LIKE pattern with the escape character `\`: `%`, `_` and `\`
// in the text stand for themselves.
QString likeLiteral(const QString& text);

} // namespace statements
