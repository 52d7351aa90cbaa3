#pragma once

#include <QStringList>

// The row the selection sheet prints: the printed columns by their stored names.
struct PrintRow {
    QStringList columns;
    QStringList values;
    QString value(const QString& column) const;
};
