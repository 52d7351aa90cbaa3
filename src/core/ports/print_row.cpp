#include "core/ports/print_row.h"

QString PrintRow::value(const QString& column) const
{
    const qsizetype i = columns.indexOf(column);
    return i < 0 || i >= values.size() ? QString() : values[i];
}
