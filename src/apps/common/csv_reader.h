#pragma once

#include <QByteArray>
#include <QString>
#include <QStringDecoder>
#include <QStringList>

#include <functional>
#include <optional>

class QIODevice;

// The encodings a points file is read in: UTF-8, or GB18030 (which covers GBK), the
// default of spreadsheet programs on Chinese systems. Either keeps the bytes of
// commas, quotes and line ends apart from those of the characters, so records are
// split on bytes and only the cells are decoded.
enum class TextEncoding { Utf8, Gb18030 };
QString encodingName(TextEncoding encoding); // "UTF-8", "GB18030"

// Reads comma-separated records as RFC 4180 quotes them, one at a time from a stream:
// text in one encoding (a UTF-8 byte-order mark at the start is skipped), CRLF, LF or
// CR line ends, blank lines skipped. A fault names its line and column.
class CsvReader {
public:
    explicit CsvReader(QIODevice& in, TextEncoding encoding = TextEncoding::Utf8);

    enum class Next { Record, End, Fault };
    Next next(QStringList& cells);

    // "第3行第2列：引号内的单元格没有结束引号"
    const QString& fault() const { return m_fault; }
    // Whether the last fault is a cell that is not text in the reader's encoding.
    bool faultIsEncoding() const { return m_encodingFault; }
    // the line the last record started on, from 1
    qint64 recordLine() const { return m_recordLine; }

private:
    int peek();
    int take();
    bool fill();
    Next fail(qint64 line, int column, const QString& what);

    QIODevice& m_in;
    TextEncoding m_encoding;
    QStringDecoder m_decoder;
    bool m_encodingFault = false;
    QByteArray m_buffer;
    qsizetype m_pos = 0;
    bool m_started = false;
    qint64 m_line = 1;
    bool m_afterCr = false;
    qint64 m_recordLine = 0;
    QString m_fault;
};

// What reading a file of records under a header line through found: the encoding it
// reads in and how many records follow the header.
struct CsvCheck {
    TextEncoding encoding = TextEncoding::Utf8;
    qint64 records = 0;
};

// Reads an open file of records through before it is used: in UTF-8, and again in
// GB18030 when it is not UTF-8 throughout. `header` is given the header line and says
// why it cannot be used (empty when it can); every record after it must have as many
// cells. Nothing, and the reason naming the file and its line and column, when the
// file cannot be used; `notText`, when given, tells whether that is because it is
// text in neither encoding. The file is left anywhere: seek to its start before
// reading it again.
std::optional<CsvCheck> checkCsvFile(QIODevice& file, const QString& path,
    const std::function<QString(const QStringList& header)>& header, QString* fault, bool* notText = nullptr);

// One cell written for a CSV file: quoted when it holds a comma, a quote or a line
// end. A text that a spreadsheet would take as a formula — it starts with = + - @, a
// tab or a carriage return, and is not a plain number such as "-10" — gets a ' in
// front, so that a point's own text is never run as a formula where the results are
// opened.
QString csvCell(const QString& text);
