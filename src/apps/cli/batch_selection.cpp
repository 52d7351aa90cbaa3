#include "apps/cli/batch_selection.h"

#include "apps/cli/csv_reader.h"
#include "apps/cli/event_writer.h"
#include "apps/cli/json_line.h"
#include "apps/cli/script_runner.h"
#include "core/form/buttons.h"
#include "workspace/selection_figures.h"
#include "workspace/workspace.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace {

const QString kIdColumn = QStringLiteral("Id");
const QString kMessagesColumn = QStringLiteral("Messages");
const QString kMessageSeparator = QStringLiteral(" | ");

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
            *fault = QStringLiteral("column %1: the column '%2' is named twice").arg(i + 1).arg(name);
            return std::nullopt;
        }
        if (name == kIdColumn) {
            columns.idColumn = static_cast<int>(i);
            columns.fields.emplace_back(std::nullopt);
            continue;
        }
        const std::optional<Field> f = fieldByName(name);
        if (!f) {
            *fault = QStringLiteral("column %1: unknown column '%2'").arg(i + 1).arg(name);
            return std::nullopt;
        }
        columns.fields.emplace_back(f);
    }
    return columns;
}

QString BatchResult::message() const
{
    return cells.value(1 + kFieldCount);
}

QString BatchResult::selectionNo() const
{
    return cells.value(1 + static_cast<int>(Field::SelectionNo));
}

QStringList BatchSelector::resultHeader()
{
    QStringList header {kIdColumn};
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
    const QString saveNumber = save && m_numberForSave ? m_numberForSave() : QString();
    for (const QString& line : batchScript(columns, cells, save, saveNumber)) {
        if (!runner.runLine(++number, line))
            result.carriedOut = false;
    }
    result.savedAs = m_run->savedAs;
    SelectionWindow* w = workspace.current();
    result.cells << (columns.idColumn >= 0 ? cells.value(columns.idColumn) : QString());
    for (Field f : allFields())
        result.cells << (w ? w->form().text(f) : QString());
    result.selected = w && !w->form().text(Field::ResultText).trimmed().isEmpty();
    const std::optional<SizeUse> use = w ? sizeUseOf(w->context()) : std::nullopt;
    result.cells << m_run->messages.join(kMessageSeparator) << (w ? sgergRangeColumn(w->form()) : QString())
                 << (use ? use->capacity.rangeText() : QString()) << (use ? use->useAtMax : QString())
                 << (use ? use->marginAtMin : QString());
    if (w)
        runner.runLine(++number, QStringLiteral("close"));
    return result;
}

std::optional<BatchColumns> checkPointsFile(QIODevice& file, const QString& path, qint64* points, QString* fault)
{
    CsvReader reader(file);
    QStringList cells;
    switch (reader.next(cells)) {
    case CsvReader::Next::End:
        *fault = QStringLiteral("%1 holds no header line").arg(path);
        return std::nullopt;
    case CsvReader::Next::Fault:
        *fault = QStringLiteral("%1, %2").arg(path, reader.fault());
        return std::nullopt;
    case CsvReader::Next::Record:
        break;
    }
    QString headerFault;
    std::optional<BatchColumns> columns = BatchColumns::fromHeader(cells, &headerFault);
    if (!columns) {
        *fault = QStringLiteral("%1, line %2, %3").arg(path, QString::number(reader.recordLine()), headerFault);
        return std::nullopt;
    }
    *points = 0;
    for (;;) {
        const CsvReader::Next next = reader.next(cells);
        if (next == CsvReader::Next::End)
            return columns;
        if (next == CsvReader::Next::Fault) {
            *fault = QStringLiteral("%1, %2").arg(path, reader.fault());
            return std::nullopt;
        }
        if (cells.size() != columns->size()) {
            const qsizetype column = std::min(cells.size(), columns->size()) + 1;
            *fault = QStringLiteral("%1, line %2, column %3: %4 cells where the header names %5")
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
