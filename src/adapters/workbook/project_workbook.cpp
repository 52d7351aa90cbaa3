#include "adapters/workbook/project_workbook.h"

#include "adapters/files/atomic_file.h"
#include "core/record/columns.h"
#include "core/record/project_summary.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryFile>

#include <algorithm>
#include <xlsxwriter.h>

namespace {

const QString kLinesSheet = QStringLiteral("项目");
// A sheet name's length as spreadsheet programs count it: in UTF-16 units, which a
// character beyond the 16 bits (an emoji, a rare ideograph) takes two of.
constexpr int kSheetNameLimit = 31;
// What a cell holds at most, in the same units.
constexpr int kCellTextLimit = 32767;
constexpr int kQuantityColumn = 7;
// Names spreadsheet programs keep for themselves.
const QStringList kReservedSheetNames = {QStringLiteral("History")};

// The width of a column for its texts, in the character widths spreadsheets count:
// a CJK character takes two.
double widthOf(const QString& text)
{
    double width = 0;
    for (QChar c : text)
        width += c.unicode() >= 0x2E80 ? 2 : 1;
    return width;
}

void widen(std::vector<double>& widths, int column, const QString& text)
{
    widths[static_cast<size_t>(column)] = std::max(widths[static_cast<size_t>(column)], widthOf(text) + 2);
}

// At most `units` UTF-16 units of a text, never half a character.
QString cutAtCharacter(const QString& text, int units)
{
    if (text.size() <= units)
        return text;
    const int end = text[units - 1].isHighSurrogate() ? units - 1 : units;
    return text.left(end);
}

// Sheet names are one when they differ only in letter case or in the width of their
// characters (Ａ and A), as spreadsheet programs compare them.
QString sheetNameKey(const QString& name)
{
    return name.normalized(QString::NormalizationForm_KC).toCaseFolded();
}

// A text shown in a message, cut where it is long.
QString shown(const QString& text)
{
    constexpr int kShown = 20;
    QString s = cutAtCharacter(text, kShown);
    s.replace(QChar(u'\0'), QStringLiteral("\\0"));
    return s.size() < text.size() ? s + QStringLiteral("…") : s;
}

// Writes the cells of the workbook and keeps the first thing that went wrong: a
// cell the format cannot hold is refused before the library would cut it or leave
// it empty, and every call of the library is checked.
class Sheets {
public:
    explicit Sheets(lxw_workbook* book)
        : m_book(book)
    {
    }

    bool failed() const { return !m_error.isEmpty(); }
    const QString& error() const { return m_error; }

    lxw_worksheet* add(const QString& name)
    {
        if (failed())
            return nullptr;
        lxw_worksheet* sheet = workbook_add_worksheet(m_book, name.toUtf8().constData());
        if (!sheet)
            m_error = QStringLiteral("工作表“%1”不能添加").arg(shown(name));
        return sheet;
    }

    // `where` names the line and the field for the message.
    void text(lxw_worksheet* sheet, int row, int column, const QString& text, const QString& where,
        lxw_format* format = nullptr)
    {
        if (failed())
            return;
        if (text.contains(QChar(u'\0'))) {
            m_error = QStringLiteral("%1含有NUL字符，工作表的单元格不能保存").arg(where);
            return;
        }
        if (text.size() > kCellTextLimit) {
            m_error = QStringLiteral("%1有 %2 个字符，工作表的单元格最多 %3 个")
                          .arg(where)
                          .arg(text.size())
                          .arg(kCellTextLimit);
            return;
        }
        check(
            worksheet_write_string(sheet, lxw_row_t(row), lxw_col_t(column), text.toUtf8().constData(), format), where);
    }

    void number(lxw_worksheet* sheet, int row, int column, double value, const QString& where)
    {
        if (!failed())
            check(worksheet_write_number(sheet, lxw_row_t(row), lxw_col_t(column), value, nullptr), where);
    }

    void widths(lxw_worksheet* sheet, const std::vector<double>& widths)
    {
        for (size_t c = 0; c < widths.size() && !failed(); ++c)
            check(worksheet_set_column(sheet, lxw_col_t(c), lxw_col_t(c), std::min(widths[c], 80.0), nullptr),
                QStringLiteral("列宽"));
    }

    void check(lxw_error result, const QString& where)
    {
        if (result != LXW_NO_ERROR && !failed())
            m_error = QStringLiteral("%1：%2").arg(where, QString::fromUtf8(lxw_strerror(result)));
    }

private:
    lxw_workbook* m_book;
    QString m_error;
};

// The line and field a cell belongs to, as a message names them.
QString cellOf(int lineNumber, const QString& tag, const QString& field)
{
    return QStringLiteral("第 %1 行（位号“%2”）的“%3”").arg(lineNumber).arg(shown(tag), field);
}

void writeLinesSheet(Sheets& sheets, lxw_format* bold, const std::vector<ProjectLine>& lines)
{
    lxw_worksheet* sheet = sheets.add(kLinesSheet);
    if (!sheet)
        return;
    const QStringList& headers = projectLineHeaders();
    std::vector<double> widths(static_cast<size_t>(headers.size()), 6);
    for (int c = 0; c < headers.size(); ++c) {
        sheets.text(sheet, 0, c, headers[c], headers[c], bold);
        widen(widths, c, headers[c]);
    }
    int row = 1;
    for (const ProjectLine& line : lines) {
        const ProjectLineView view = viewOf(line);
        const QStringList texts = projectLineTexts(view);
        for (int c = 0; c < texts.size(); ++c) {
            const QString where = cellOf(row, line.tag, headers[c]);
            if (c == kQuantityColumn && view.quantityValid)
                sheets.number(sheet, row, c, line.quantity, where);
            else
                sheets.text(sheet, row, c, texts[c], where);
            widen(widths, c, texts[c]);
        }
        ++row;
    }
    sheets.widths(sheet, widths);
    worksheet_freeze_panes(sheet, 1, 0);
}

void writeLineSheet(Sheets& sheets, lxw_format* bold, const QString& name, int lineNumber, const ProjectLine& line)
{
    lxw_worksheet* sheet = sheets.add(name);
    if (!sheet)
        return;
    std::vector<double> widths(2, 8);
    const QStringList header = {QStringLiteral("字段"), QStringLiteral("值")};
    for (int c = 0; c < 2; ++c) {
        sheets.text(sheet, 0, c, header[c], header[c], bold);
        widen(widths, c, header[c]);
    }
    const QString tagCaption = QStringLiteral("位号");
    sheets.text(sheet, 1, 0, tagCaption, tagCaption);
    sheets.text(sheet, 1, 1, line.tag, cellOf(lineNumber, line.tag, tagCaption));
    widen(widths, 1, line.tag);
    if (line.deleted()) {
        const QString numberCaption = QString::fromUtf8(columns()[0].name);
        sheets.text(sheet, 2, 0, numberCaption, numberCaption);
        sheets.text(sheet, 2, 1,
            line.selectionNo + QStringLiteral("（") + deletedSelectionText() + QStringLiteral("）"),
            cellOf(lineNumber, line.tag, numberCaption));
    } else {
        int row = 2;
        for (size_t c = 0; c < columns().size(); ++c, ++row) {
            const QString name = QString::fromUtf8(columns()[c].name);
            const QString value = line.selection->value(int(c));
            sheets.text(sheet, row, 0, name, name);
            sheets.text(sheet, row, 1, value, cellOf(lineNumber, line.tag, name));
            widen(widths, 0, name);
            widen(widths, 1, value);
        }
    }
    sheets.widths(sheet, widths);
    worksheet_freeze_panes(sheet, 1, 0);
}

// Whether a file ends as a whole zip archive does: with the end record of its
// central directory, which the zip writer writes last.
bool endsAsWholeArchive(const QByteArray& bytes)
{
    constexpr int kEndRecord = 22; // without a comment
    return bytes.size() >= kEndRecord && bytes.startsWith("PK\x03\x04")
        && bytes.sliced(bytes.size() - kEndRecord).startsWith("PK\x05\x06");
}

} // namespace

QStringList lineSheetNames(const std::vector<ProjectLine>& lines)
{
    QStringList names;
    QSet<QString> taken = {sheetNameKey(kLinesSheet)};
    for (const QString& reserved : kReservedSheetNames)
        taken.insert(sheetNameKey(reserved));
    for (const ProjectLine& line : lines) {
        QString base = line.tag;
        for (QChar& c : base) {
            if (QStringLiteral("[]:*?/\\").contains(c) || c.unicode() < 0x20 || c.unicode() == 0x7F)
                c = u'_';
        }
        // a lone half of a character pair is no character a name can hold
        for (qsizetype i = 0; i < base.size(); ++i) {
            const bool paired = base[i].isHighSurrogate() ? i + 1 < base.size() && base[i + 1].isLowSurrogate()
                : base[i].isLowSurrogate()                ? i > 0 && base[i - 1].isHighSurrogate()
                                                          : true;
            if (!paired)
                base[i] = u'_';
        }
        if (base.trimmed().isEmpty())
            base = line.selectionNo;
        base = cutAtCharacter(base, kSheetNameLimit);
        // a sheet name may not start or end with an apostrophe
        if (base.startsWith(u'\''))
            base[0] = u'_';
        if (base.endsWith(u'\''))
            base[base.size() - 1] = u'_';
        QString name = base;
        for (int n = 2; taken.contains(sheetNameKey(name)); ++n) {
            const QString suffix = QStringLiteral("(%1)").arg(n);
            name = cutAtCharacter(base, kSheetNameLimit - int(suffix.size())) + suffix;
        }
        taken.insert(sheetNameKey(name));
        names << name;
    }
    return names;
}

bool writeProjectWorkbook(
    const QString& path, const Project& project, const std::vector<ProjectLine>& lines, QString* error)
{
    const auto fail = [&](const QString& reason) {
        if (error)
            *error = QStringLiteral("项目工作簿未能保存：%1\n(%2)").arg(QDir::toNativeSeparators(path), reason);
        return false;
    };
    QString refusal;
    const WriteTarget target = writeTargetOf(path, &refusal);
    if (target == WriteTarget::Refused)
        return fail(refusal);
    // The library writes the archive to a file of its own: a temporary one, read back
    // whole, then put in place by the one atomic writer. Beside the target, on its
    // disk, unless the target is a device or a pipe, whose folder is no place for it.
    const QString stagingFolder
        = target == WriteTarget::Stream ? QDir::tempPath() : QFileInfo(path).absoluteDir().path();
    QTemporaryFile staging(QDir(stagingFolder).filePath(QStringLiteral(".flowsel-XXXXXX.xlsx")));
    if (!staging.open())
        return fail(staging.errorString());
    staging.close();
    const QByteArray stagingPath = QFile::encodeName(staging.fileName());
    lxw_workbook* book = workbook_new(stagingPath.constData());
    if (!book)
        return fail(QStringLiteral("the workbook cannot be made"));
    Sheets sheets(book);
    const QByteArray title = project.name.toUtf8();
    const QByteArray subject = QStringLiteral("%1 %2").arg(project.number, project.customer).toUtf8();
    lxw_doc_properties properties {};
    properties.title = const_cast<char*>(title.constData());
    properties.subject = const_cast<char*>(subject.constData());
    sheets.check(workbook_set_properties(book, &properties), QStringLiteral("文档属性"));
    lxw_format* bold = workbook_add_format(book);
    format_set_bold(bold);
    writeLinesSheet(sheets, bold, lines);
    const QStringList names = lineSheetNames(lines);
    for (size_t i = 0; i < lines.size() && !sheets.failed(); ++i)
        writeLineSheet(sheets, bold, names[int(i)], int(i) + 1, lines[i]);
    const lxw_error closed = workbook_close(book);
    if (sheets.failed())
        return fail(sheets.error());
    if (closed != LXW_NO_ERROR)
        return fail(QString::fromUtf8(lxw_strerror(closed)));
    QFile written(staging.fileName());
    if (!written.open(QIODevice::ReadOnly))
        return fail(written.errorString());
    const QByteArray bytes = written.readAll();
    if (!endsAsWholeArchive(bytes))
        return fail(QStringLiteral("the workbook was written only in part"));
    if (const QString reason = writeWholeFile(path, bytes); !reason.isEmpty())
        return fail(reason);
    return true;
}
