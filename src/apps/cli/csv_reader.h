#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class QIODevice;

// Reads comma-separated records as RFC 4180 quotes them, one at a time from a stream:
// UTF-8 text (a byte-order mark at the start is skipped), CRLF, LF or CR line ends,
// blank lines skipped. A fault names its line and column.
class CsvReader {
public:
    explicit CsvReader(QIODevice& in);

    enum class Next { Record, End, Fault };
    Next next(QStringList& cells);

    // "line 3, column 2: a quoted cell is not closed"
    const QString& fault() const { return m_fault; }
    // the line the last record started on, from 1
    qint64 recordLine() const { return m_recordLine; }

private:
    int peek();
    int take();
    bool fill();
    Next fail(qint64 line, int column, const QString& what);

    QIODevice& m_in;
    QByteArray m_buffer;
    qsizetype m_pos = 0;
    bool m_started = false;
    qint64 m_line = 1;
    bool m_afterCr = false;
    qint64 m_recordLine = 0;
    QString m_fault;
};

// One cell written for a CSV file: quoted when it holds a comma, a quote or a line
// end. A text that a spreadsheet would take as a formula — it starts with = + - @, a
// tab or a carriage return, and is not a plain number such as "-10" — gets a ' in
// front, so that a point's own text is never run as a formula where the results are
// opened.
QString csvCell(const QString& text);
