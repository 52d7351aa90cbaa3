#pragma once

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

// A column of a table of an Access file.
struct AccessColumn {
    QString name;
    bool text = false; // a Text column, whose values are read; others are passed over
};

// The rows of one table of an Access file, front to back. Each row holds a value for
// every column: the text as stored (with every character it holds, also a NUL or an
// unpaired surrogate), the null string for NULL, and the null string for a column
// that is not text.
class AccessRows {
public:
    virtual ~AccessRows() = default;

    virtual const std::vector<AccessColumn>& columns() const = 0;
    virtual qint64 rowCount() const = 0;

    enum class Next { Row, End, Fault };
    virtual Next next(QStringList& values) = 0;
    // Why the last next() was a Fault.
    virtual QString fault() const = 0;
};

// Reads the table `table` of the Jet 4.0 file at `path` in this process, through
// libmdb. The file is opened read-only and checked before libmdb follows its pages
// (JetPages); then every row is read once, and their number compared with the one
// the table keeps, before the first is handed out, so that a damage libmdb passes
// over is told before any row is used. Nothing, and the reason, when the file is no
// such file, has no such table, or is damaged where that can be seen.
std::unique_ptr<AccessRows> readAccessTable(const QString& path, const QString& table, QString* error);
