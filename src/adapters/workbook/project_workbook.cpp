#include "adapters/workbook/project_workbook.h"

#include "adapters/files/atomic_file.h"
#include "core/record/columns.h"
#include "core/record/project_summary.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <algorithm>
#include <xlsxwriter.h>

namespace {

const QString kLinesSheet = QStringLiteral("项目");
constexpr int kSheetNameLimit = 31; // characters, as spreadsheet programs allow
constexpr int kQuantityColumn = 7;

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

void setWidths(lxw_worksheet* sheet, const std::vector<double>& widths)
{
    for (size_t c = 0; c < widths.size(); ++c)
        worksheet_set_column(sheet, lxw_col_t(c), lxw_col_t(c), std::min(widths[c], 80.0), nullptr);
}

void writeText(lxw_worksheet* sheet, int row, int column, const QString& text, lxw_format* format = nullptr)
{
    worksheet_write_string(sheet, lxw_row_t(row), lxw_col_t(column), text.toUtf8().constData(), format);
}

void writeLinesSheet(lxw_workbook* book, lxw_format* bold, const std::vector<ProjectLine>& lines)
{
    lxw_worksheet* sheet = workbook_add_worksheet(book, kLinesSheet.toUtf8().constData());
    const QStringList& headers = projectLineHeaders();
    std::vector<double> widths(static_cast<size_t>(headers.size()), 6);
    for (int c = 0; c < headers.size(); ++c) {
        writeText(sheet, 0, c, headers[c], bold);
        widen(widths, c, headers[c]);
    }
    int row = 1;
    for (const ProjectLine& line : lines) {
        const QStringList texts = projectLineTexts(viewOf(line));
        for (int c = 0; c < texts.size(); ++c) {
            if (c == kQuantityColumn)
                worksheet_write_number(sheet, lxw_row_t(row), lxw_col_t(c), line.quantity, nullptr);
            else
                writeText(sheet, row, c, texts[c]);
            widen(widths, c, texts[c]);
        }
        ++row;
    }
    setWidths(sheet, widths);
    worksheet_freeze_panes(sheet, 1, 0);
}

void writeLineSheet(lxw_workbook* book, lxw_format* bold, const QString& name, const ProjectLine& line)
{
    lxw_worksheet* sheet = workbook_add_worksheet(book, name.toUtf8().constData());
    std::vector<double> widths(2, 8);
    const QStringList header = {QStringLiteral("字段"), QStringLiteral("值")};
    for (int c = 0; c < 2; ++c) {
        writeText(sheet, 0, c, header[c], bold);
        widen(widths, c, header[c]);
    }
    writeText(sheet, 1, 0, QStringLiteral("位号"));
    writeText(sheet, 1, 1, line.tag);
    widen(widths, 1, line.tag);
    if (line.deleted()) {
        writeText(sheet, 2, 0, QString::fromUtf8(columns()[0].name));
        writeText(sheet, 2, 1, line.selectionNo + QStringLiteral("（") + deletedSelectionText() + QStringLiteral("）"));
    } else {
        int row = 2;
        for (size_t c = 0; c < columns().size(); ++c, ++row) {
            const QString name = QString::fromUtf8(columns()[c].name);
            const QString value = line.selection->value(int(c));
            writeText(sheet, row, 0, name);
            writeText(sheet, row, 1, value);
            widen(widths, 0, name);
            widen(widths, 1, value);
        }
    }
    setWidths(sheet, widths);
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
    QStringList taken = {kLinesSheet};
    for (const ProjectLine& line : lines) {
        QString base = line.tag;
        for (QChar& c : base) {
            if (QStringLiteral("[]:*?/\\").contains(c) || c.unicode() < 0x20)
                c = u'_';
        }
        // a sheet name may not start or end with an apostrophe
        if (base.startsWith(u'\''))
            base[0] = u'_';
        if (base.endsWith(u'\''))
            base[base.size() - 1] = u'_';
        if (base.trimmed().isEmpty())
            base = line.selectionNo;
        base = base.left(kSheetNameLimit);
        QString name = base;
        for (int n = 2; taken.contains(name, Qt::CaseInsensitive); ++n) {
            const QString suffix = QStringLiteral("(%1)").arg(n);
            name = base.left(kSheetNameLimit - suffix.size()) + suffix;
        }
        taken << name;
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
    // The library writes the archive to a file of its own: a temporary one in the
    // target's folder, read back whole, then put in place by the one atomic writer.
    QTemporaryFile staging(QFileInfo(path).absoluteDir().filePath(QStringLiteral(".flowsel-XXXXXX.xlsx")));
    if (!staging.open())
        return fail(staging.errorString());
    staging.close();
    const QByteArray stagingPath = QFile::encodeName(staging.fileName());
    lxw_workbook* book = workbook_new(stagingPath.constData());
    if (!book)
        return fail(QStringLiteral("the workbook cannot be made"));
    const QByteArray title = project.name.toUtf8();
    const QByteArray subject = QStringLiteral("%1 %2").arg(project.number, project.customer).toUtf8();
    lxw_doc_properties properties {};
    properties.title = const_cast<char*>(title.constData());
    properties.subject = const_cast<char*>(subject.constData());
    workbook_set_properties(book, &properties);
    lxw_format* bold = workbook_add_format(book);
    format_set_bold(bold);
    writeLinesSheet(book, bold, lines);
    const QStringList names = lineSheetNames(lines);
    for (size_t i = 0; i < lines.size(); ++i)
        writeLineSheet(book, bold, names[int(i)], lines[i]);
    if (const lxw_error closed = workbook_close(book); closed != LXW_NO_ERROR)
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
