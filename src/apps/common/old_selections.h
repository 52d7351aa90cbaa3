#pragma once

#include "core/ports/selection_store.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

// The selections of the old program: the rows of its table 选型输出, from its Access
// file or from a CSV export of that table, each as the 45 values of a stored row in
// the order of the column table. The columns are found by their names; a value is
// the text as stored, a NULL the empty text.
class OldSelections {
public:
    virtual ~OldSelections() = default;

    // The old program's table.
    static QString tableName();

    // Opens `path`: an Access file (by its signature, or by a name that ends in .mdb,
    // .mde, .accdb or .accde), read in a child process (readAccessTableInChild), or
    // else a CSV file (UTF-8, or GB18030 when it is not UTF-8 throughout), checked
    // through first. The file is only read. Nothing, and the reason, when it cannot
    // be read, has no such table or lacks a column of it.
    static std::unique_ptr<OldSelections> open(const QString& path, QString* error);

    // How many rows there are to read.
    qint64 rowCount() const { return m_rowCount; }
    // The file's columns that the table does not have, which are passed over.
    const QStringList& extraColumns() const { return m_extraColumns; }

    enum class Next { Row, End, Fault };
    virtual Next next(StoredRow& row) = 0;
    // Why the last next() was a Fault.
    const QString& fault() const { return m_fault; }

protected:
    // Finds the table's columns among the file's: for each of the 45, its position
    // there. The reason when one is missing or named twice.
    QString mapColumns(const QStringList& names);
    // The row of the table out of a row of the file's values.
    StoredRow rowOf(const QStringList& values) const;
    // Where mapColumns() found each of the table's columns.
    const std::vector<qsizetype>& positions() const { return m_positions; }

    qint64 m_rowCount = 0;
    QStringList m_extraColumns;
    QString m_fault;

private:
    std::vector<qsizetype> m_positions;
};

// What is told when the old program's database at `path` cannot be read, and why.
QString oldSelectionsUnreadable(const QString& path, const QString& reason);
