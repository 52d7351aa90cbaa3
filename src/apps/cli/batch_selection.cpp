#include "apps/cli/batch_selection.h"

#include "apps/cli/csv_reader.h"
#include "apps/cli/event_writer.h"
#include "apps/cli/json_line.h"
#include "apps/cli/script_runner.h"
#include "core/form/buttons.h"
#include "workspace/selection_figures.h"
#include "workspace/selection_warnings.h"
#include "workspace/workspace.h"

#include <QIODevice>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

const QString kIdColumn = QStringLiteral("Id");
const QString kMessagesColumn = QStringLiteral("Messages");
const QString kMessageSeparator = QStringLiteral(" | ");

// Id, Status and Warnings come before the fields of the selection record.
constexpr int kFirstFieldColumn = 3;

// The options from the combined accuracy on are chosen after the working flow.
bool chosenAfterComputing(Field f)
{
    return static_cast<int>(f) >= static_cast<int>(Field::CombinedAccuracy);
}

QString lineFor(Field f, const QString& text)
{
    const ControlKind kind = fieldControl(f).kind;
    const QString verb = kind == ControlKind::List || kind == ControlKind::Radio ? QStringLiteral("choose")
                                                                               : QStringLiteral("paste");
    return verb + u' ' + fieldName(f) + u' ' + JsonLine::quoted(text);
}

QString clickLine(Button b)
{
    return QStringLiteral("click ") + buttonCaption(b);
}

} // namespace

std::optional<BatchColumns> BatchColumns::fromHeader(const QStringList& header, QString* fault)
{
    BatchColumns columns;
    for (qsizetype i = 0; i < header.size(); ++i) {
        const QString& name = header[i];
        const qsizetype first = header.indexOf(name);
        if (first != i) {
            *fault = QStringLiteral("第%1列：列名“%2”重复").arg(i + 1).arg(name);
            return std::nullopt;
        }
        if (name == kIdColumn) {
            columns.idColumn = static_cast<int>(i);
            columns.fields.emplace_back(std::nullopt);
            continue;
        }
        const std::optional<Field> f = fieldByName(name);
        if (!f) {
            *fault = QStringLiteral("第%1列：未知的列名“%2”").arg(i + 1).arg(name);
            return std::nullopt;
        }
        columns.fields.emplace_back(f);
    }
    return columns;
}

QString batchStatusText(BatchStatus status)
{
    switch (status) {
    case BatchStatus::Selected: return QStringLiteral("selected");
    case BatchStatus::NoFit: return QStringLiteral("no-fit");
    case BatchStatus::Refused: break;
    }
    return QStringLiteral("refused");
}

QString BatchResult::message() const
{
    return cells.value(kFirstFieldColumn + kFieldCount);
}

QString BatchResult::selectionNo() const
{
    return cells.value(kFirstFieldColumn + static_cast<int>(Field::SelectionNo));
}

void BatchCounts::count(const BatchResult& result)
{
    switch (result.status) {
    case BatchStatus::Selected: ++selected; break;
    case BatchStatus::NoFit: ++noFit; break;
    case BatchStatus::Refused: ++refused; break;
    }
}

QString BatchCounts::summary(TextEncoding encoding) const
{
    return QStringLiteral("%1 个测点：已选型 %2，无合适规格 %3，拒绝 %4（%5）")
        .arg(points())
        .arg(selected)
        .arg(noFit)
        .arg(refused)
        .arg(encodingName(encoding));
}

QStringList BatchSelector::resultHeader()
{
    QStringList header {kIdColumn, QStringLiteral("Status"), QStringLiteral("Warnings")};
    for (Field f : allFields())
        header << fieldName(f);
    header << kMessagesColumn << QStringLiteral("SgergRange") << QStringLiteral("SizeRange")
           << QStringLiteral("UseAtMax") << QStringLiteral("MarginAtMin");
    return header;
}

QStringList BatchSelector::batchScript(const BatchColumns& columns, const QStringList& cells, bool save,
                                       const QString& saveNumber)
{
    QStringList script;
    for (const bool after : {false, true}) {
        for (Field f : allFields()) {
            if (chosenAfterComputing(f) != after)
                continue;
            for (qsizetype i = 0; i < columns.size(); ++i) {
                if (columns.fields[i] == f && !cells.value(i).isEmpty())
                    script << lineFor(f, cells[i]);
            }
        }
        script << clickLine(after ? Button::Select : Button::ComputeFlow);
    }
    if (save && !saveNumber.isEmpty())
        script << lineFor(Field::SelectionNo, saveNumber);
    if (save)
        script << clickLine(Button::Save);
    return script;
}

// The windows' screen: what they show is kept as the texts of their messages.
struct BatchSelector::Run {
    Run(SelectionStore& store, const QString& today)
        : workspace(events, today, store)
    {
        workspace.onSaved = [this](SelectionWindow&, const QString& number) { savedAs = number; };
        // The list of stored selections is not read: no point needs it, and a large
        // store would cost its whole list before the first point.
    }

    void collect(const QString& line)
    {
        // Events other than messages, error reports and script errors are not kept.
        static const QString kinds[] = {QStringLiteral("{\"event\":\"message\""), QStringLiteral("{\"event\":\"error\""),
                                        QStringLiteral("{\"event\":\"script-error\"")};
        int kind = -1;
        for (int i = 0; i < 3; ++i) {
            if (line.startsWith(kinds[i]))
                kind = i;
        }
        if (kind < 0)
            return;
        const QString text = QJsonDocument::fromJson(line.toUtf8()).object().value(u"text").toString();
        messages << (kind == 2 ? QStringLiteral("script-error: ") + text : text);
    }

    QStringList messages;
    QString savedAs;
    EventWriter events {[this](const QString& line) { collect(line); }};
    Workspace workspace;
    ScriptRunner runner {workspace, events};
};

BatchSelector::BatchSelector(SelectionStore& store, const QString& today)
    : m_run(std::make_unique<Run>(store, today))
{
}

BatchSelector::~BatchSelector() = default;

BatchResult BatchSelector::select(const BatchColumns& columns, const QStringList& cells, bool save)
{
    Workspace& workspace = m_run->workspace;
    ScriptRunner& runner = m_run->runner;
    m_run->messages.clear();
    m_run->savedAs.clear();
    BatchResult result;
    int number = 0;
    runner.runLine(++number, QStringLiteral("new"));
    SelectionWindow* w = workspace.current();
    const QString saveNumber = save && m_numberForSave ? m_numberForSave() : QString();
    const QString computeLine = clickLine(Button::ComputeFlow);
    // A point stops where it was not read as written: a cell the window cannot take,
    // or inputs that "计算工况流量" refuses. What would follow runs on values the
    // engineer did not give, and its code would be quoted as if it were the point's.
    bool inputRefused = false;
    for (const QString& line : batchScript(columns, cells, save, saveNumber)) {
        if (!runner.runLine(++number, line)) {
            result.carriedOut = false;
            break;
        }
        if (line == computeLine && w && w->form().text(Field::WorkFlowMax).isEmpty()) {
            inputRefused = true;
            break;
        }
    }
    result.savedAs = m_run->savedAs;
    result.cells << (columns.idColumn >= 0 ? cells.value(columns.idColumn) : QString());
    result.selected = w && !w->form().text(Field::ResultText).trimmed().isEmpty();
    result.status = !result.carriedOut || inputRefused ? BatchStatus::Refused
        : result.selected                              ? BatchStatus::Selected
                                                       : BatchStatus::NoFit;
    result.cells << batchStatusText(result.status);
    // A point that was not read as written has no figures: they would describe the
    // window's own values, not the point's.
    const SelectionWindow* read = result.carriedOut ? w : nullptr;
    QStringList warnings;
    if (read) {
        for (const SelectionWarning& warning : selectionWarnings(read->context()))
            warnings << warning.code;
    }
    result.cells << warnings.join(kMessageSeparator);
    for (Field f : allFields()) {
        // a number is the point's only once it was stored under it
        result.cells << (f == Field::SelectionNo ? result.savedAs : w ? w->form().text(f) : QString());
    }
    const std::optional<SizeUse> use = read ? sizeUseOf(read->context()) : std::nullopt;
    result.cells << m_run->messages.join(kMessageSeparator) << (read ? sgergRangeColumn(read->form()) : QString())
                 << (use ? use->capacity.rangeText() : QString()) << (use ? use->useAtMax : QString())
                 << (use ? use->marginAtMin : QString());
    if (w)
        runner.runLine(++number, QStringLiteral("close"));
    return result;
}

namespace {

std::optional<BatchColumns> checkPointsFileIn(QIODevice& file, TextEncoding encoding, const QString& path,
                                              qint64* points, bool* encodingFault, QString* fault)
{
    CsvReader reader(file, encoding);
    const auto failed = [&] {
        *encodingFault = reader.faultIsEncoding();
        *fault = QStringLiteral("%1，%2").arg(path, reader.fault());
        return std::nullopt;
    };
    QStringList cells;
    switch (reader.next(cells)) {
    case CsvReader::Next::End:
        *fault = QStringLiteral("%1 没有标题行").arg(path);
        return std::nullopt;
    case CsvReader::Next::Fault:
        return failed();
    case CsvReader::Next::Record:
        break;
    }
    QString headerFault;
    std::optional<BatchColumns> columns = BatchColumns::fromHeader(cells, &headerFault);
    if (!columns) {
        *fault = QStringLiteral("%1，第%2行%3").arg(path, QString::number(reader.recordLine()), headerFault);
        return std::nullopt;
    }
    *points = 0;
    for (;;) {
        const CsvReader::Next next = reader.next(cells);
        if (next == CsvReader::Next::End)
            return columns;
        if (next == CsvReader::Next::Fault)
            return failed();
        if (cells.size() != columns->size()) {
            const qsizetype column = std::min(cells.size(), columns->size()) + 1;
            *fault = QStringLiteral("%1，第%2行第%3列：有%4个单元格，标题行有%5列")
                         .arg(path)
                         .arg(reader.recordLine())
                         .arg(column)
                         .arg(cells.size())
                         .arg(columns->size());
            return std::nullopt;
        }
        ++*points;
    }
}

} // namespace

std::optional<BatchColumns> checkPointsFile(QIODevice& file, const QString& path, qint64* points,
                                            TextEncoding* encoding, QString* fault)
{
    // A file that is not UTF-8 throughout is read again as the Chinese spreadsheets'
    // own encoding; a file that is neither is refused with the fault of that reading.
    for (const TextEncoding tried : {TextEncoding::Utf8, TextEncoding::Gb18030}) {
        if (tried != TextEncoding::Utf8 && !file.seek(0)) {
            *fault = QStringLiteral("无法再次读取测点文件 %1：%2").arg(path, file.errorString());
            return std::nullopt;
        }
        bool encodingFault = false;
        std::optional<BatchColumns> columns = checkPointsFileIn(file, tried, path, points, &encodingFault, fault);
        *encoding = tried;
        if (columns || !encodingFault)
            return columns;
    }
    return std::nullopt;
}

QString batchCsvLine(const QStringList& cells)
{
    QString line;
    for (qsizetype i = 0; i < cells.size(); ++i) {
        if (i > 0)
            line += u',';
        line += csvCell(cells[i]);
    }
    return line;
}
