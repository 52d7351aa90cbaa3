#pragma once

#include "apps/common/csv_reader.h"

#include <QBuffer>
#include <QByteArray>
#include <QStringList>

#include <vector>

// The records of a CSV file the programs wrote (a batch's results or candidates), as
// the program's own reader reads them: the header first.
inline std::vector<QStringList> records(const QByteArray& csv)
{
    QBuffer buffer;
    buffer.setData(csv);
    buffer.open(QIODevice::ReadOnly);
    CsvReader reader(buffer);
    std::vector<QStringList> rows;
    QStringList cells;
    while (reader.next(cells) == CsvReader::Next::Record)
        rows.push_back(cells);
    return rows;
}
