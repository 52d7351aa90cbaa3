#include "apps/common/csv_reader.h"

#include <QIODevice>
#include <QRegularExpression>
#include <QStringDecoder>

#include <algorithm>

namespace {

constexpr qint64 kChunk = 64 * 1024;

} // namespace

QString encodingName(TextEncoding encoding)
{
    return encoding == TextEncoding::Utf8 ? QStringLiteral("UTF-8") : QStringLiteral("GB18030");
}

CsvReader::CsvReader(QIODevice& in, TextEncoding encoding)
    : m_in(in)
    , m_encoding(encoding)
    , m_decoder(encoding == TextEncoding::Utf8 ? QStringDecoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless)
                                               : QStringDecoder("GB18030", QStringDecoder::Flag::Stateless))
{
}

bool CsvReader::fill()
{
    if (m_pos < m_buffer.size())
        return true;
    m_buffer = m_in.read(kChunk);
    m_pos = 0;
    return !m_buffer.isEmpty();
}

int CsvReader::peek()
{
    return fill() ? static_cast<unsigned char>(m_buffer[m_pos]) : -1;
}

int CsvReader::take()
{
    const int c = peek();
    if (c < 0)
        return c;
    ++m_pos;
    // a line ends with CRLF, LF or CR alone
    if (c == '\r' || (c == '\n' && !m_afterCr))
        ++m_line;
    m_afterCr = c == '\r';
    return c;
}

CsvReader::Next CsvReader::fail(qint64 line, int column, const QString& what)
{
    m_fault = QStringLiteral("第%1行第%2列：%3").arg(line).arg(column).arg(what);
    return Next::Fault;
}

CsvReader::Next CsvReader::next(QStringList& cells)
{
    cells.clear();
    if (!m_started) {
        m_started = true;
        if (peek() >= 0 && m_buffer.mid(m_pos, 3) == "\xEF\xBB\xBF")
            m_pos += 3;
    }
    // blank lines between records
    while (peek() == '\r' || peek() == '\n')
        take();
    if (peek() < 0)
        return Next::End;
    m_recordLine = m_line;

    QByteArray cell;
    for (;;) {
        const int column = static_cast<int>(cells.size()) + 1;
        const qint64 cellLine = m_line;
        cell.clear();
        if (peek() == '"') {
            take();
            for (;;) {
                const int c = take();
                if (c < 0)
                    return fail(cellLine, column, QStringLiteral("引号内的单元格没有结束引号"));
                if (c == '"') {
                    if (peek() != '"')
                        break;
                    take();
                }
                cell.append(char(c));
            }
            const int after = peek();
            if (after >= 0 && after != ',' && after != '\r' && after != '\n')
                return fail(m_line, column, QStringLiteral("单元格的结束引号后还有文字"));
        } else {
            for (int c = peek(); c >= 0 && c != ',' && c != '\r' && c != '\n'; c = peek()) {
                if (c == '"')
                    return fail(m_line, column, QStringLiteral("不以引号开头的单元格中含有引号"));
                cell.append(char(take()));
            }
        }
        m_decoder.resetState(); // each cell on its own: an error of one is not another's
        QString text = m_decoder.decode(cell);
        if (m_decoder.hasError()) {
            m_encodingFault = true;
            return fail(cellLine, column, QStringLiteral("不是%1文字").arg(encodingName(m_encoding)));
        }
        cells << text;
        const int end = take();
        if (end == ',')
            continue;
        if (end == '\r' && peek() == '\n')
            take();
        return Next::Record;
    }
}

namespace {

std::optional<CsvCheck> checkCsvFileIn(QIODevice& file, TextEncoding encoding, const QString& path,
    const std::function<QString(const QStringList&)>& header, bool* encodingFault, QString* fault)
{
    CsvReader reader(file, encoding);
    const auto failed = [&] {
        *encodingFault = reader.faultIsEncoding();
        *fault = QStringLiteral("%1，%2").arg(path, reader.fault());
        return std::nullopt;
    };
    QStringList cells;
    switch (reader.next(cells)) {
    case CsvReader::Next::End: *fault = QStringLiteral("%1 没有标题行").arg(path); return std::nullopt;
    case CsvReader::Next::Fault: return failed();
    case CsvReader::Next::Record: break;
    }
    if (const QString headerFault = header(cells); !headerFault.isEmpty()) {
        *fault = QStringLiteral("%1，第%2行%3").arg(path, QString::number(reader.recordLine()), headerFault);
        return std::nullopt;
    }
    const qsizetype columns = cells.size();
    CsvCheck checked {encoding, 0};
    for (;;) {
        const CsvReader::Next next = reader.next(cells);
        if (next == CsvReader::Next::End)
            return checked;
        if (next == CsvReader::Next::Fault)
            return failed();
        if (cells.size() != columns) {
            const qsizetype column = std::min(cells.size(), columns) + 1;
            *fault = QStringLiteral("%1，第%2行第%3列：有%4个单元格，标题行有%5列")
                         .arg(path)
                         .arg(reader.recordLine())
                         .arg(column)
                         .arg(cells.size())
                         .arg(columns);
            return std::nullopt;
        }
        ++checked.records;
    }
}

} // namespace

std::optional<CsvCheck> checkCsvFile(QIODevice& file, const QString& path,
    const std::function<QString(const QStringList&)>& header, QString* fault, bool* notText)
{
    // A file that is not UTF-8 throughout is read again as the Chinese spreadsheets'
    // own encoding; a file that is neither is refused with the fault of that reading.
    for (const TextEncoding tried : {TextEncoding::Utf8, TextEncoding::Gb18030}) {
        if (tried != TextEncoding::Utf8 && !file.seek(0)) {
            *fault = QStringLiteral("无法再次读取 %1：%2").arg(path, file.errorString());
            return std::nullopt;
        }
        bool encodingFault = false;
        std::optional<CsvCheck> checked = checkCsvFileIn(file, tried, path, header, &encodingFault, fault);
        if (checked || !encodingFault)
            return checked;
    }
    if (notText)
        *notText = true;
    return std::nullopt;
}

namespace {

// "-10", "+5", "-20.5", "1e-3": what a spreadsheet reads as a number, not a formula.
bool plainNumber(const QString& text)
{
    static const QRegularExpression number(QStringLiteral("^[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?$"));
    return number.match(text).hasMatch();
}

// A spreadsheet takes a cell that starts so as a formula (a tab or a carriage return
// before one, too).
bool readAsFormula(const QString& text)
{
    if (text.isEmpty())
        return false;
    const QChar first = text.front();
    if (first == u'=' || first == u'@' || first == u'\t' || first == u'\r')
        return true;
    return (first == u'+' || first == u'-') && !plainNumber(text);
}

} // namespace

QString csvCell(const QString& text)
{
    const QString shown = readAsFormula(text) ? u'\'' + text : text;
    // one pass: a results file has some fifty cells a point, nearly all plain
    const auto special = [](QChar c) { return c == u',' || c == u'"' || c == u'\n' || c == u'\r'; };
    if (std::none_of(shown.begin(), shown.end(), special))
        return shown;
    QString quoted = shown;
    quoted.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}
