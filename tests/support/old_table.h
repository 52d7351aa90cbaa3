#pragma once

#include "core/ports/selection_store.h"
#include "core/record/columns.h"

#include <QStringList>

#include <vector>

// The old program's table 选型输出, for the import's tests: its column names, and
// rows to fill it.

inline QStringList oldTableColumns()
{
    QStringList names;
    for (const Column& c : columns())
        names << QString::fromUtf8(c.name);
    return names;
}

// `count` rows numbered from 20130509001 on, each value a Chinese text of its row
// and column.
inline std::vector<StoredRow> oldTableRows(int count)
{
    std::vector<StoredRow> rows;
    for (int i = 0; i < count; ++i) {
        StoredRow row {QString::number(20130509001LL + i)};
        for (int c = 1; c < kColumnCount; ++c)
            row << QStringLiteral("旧%1-%2").arg(i).arg(c);
        rows.push_back(row);
    }
    return rows;
}
