#include "apps/common/batch_selection.h"

#include "apps/common/candidate_columns.h"
#include "apps/common/csv_reader.h"
#include "core/form/buttons.h"
#include "core/form/gauge_pressure.h"
#include "core/form/numbers.h"
#include "core/ports/platform.h"
#include "workspace/checked_actions.h"
#include "workspace/script_actions.h"
#include "workspace/selection_figures.h"
#include "workspace/selection_warnings.h"
#include "workspace/workspace.h"

#include <QIODevice>

#include <algorithm>
#include <iterator>
#include <utility>

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

bool isChoice(Field f)
{
    const ControlKind kind = fieldControl(f).kind;
    return kind == ControlKind::List || kind == ControlKind::Radio;
}

// The columns beside the record's fields that give PabsMin and PabsMax from a gauge
// pressure, by header name.
struct GaugeColumn {
    const char16_t* name;
    int BatchColumns::*column;
};

// clang-format off
const GaugeColumn kGaugeColumns[] = {
    {u"PgaugeMin",    &BatchColumns::gaugeMinColumn},
    {u"PgaugeMax",    &BatchColumns::gaugeMaxColumn},
    {u"PressureUnit", &BatchColumns::pressureUnitColumn},
    {u"Patm",         &BatchColumns::atmosphereColumn},
};
// clang-format on

QString gaugeColumnName(int BatchColumns::*column)
{
    for (const GaugeColumn& g : kGaugeColumns) {
        if (g.column == column)
            return QString::fromUtf16(g.name);
    }
    return QString();
}

// What a point's gauge cells give PabsMin and PabsMax as box texts (empty where no
// gauge is given), or why the point is refused.
struct GaugePressures {
    QString pabsMin;
    QString pabsMax;
    QString refusal;

    QString textFor(Field f) const { return f == Field::PabsMin ? pabsMin : f == Field::PabsMax ? pabsMax : QString(); }
};

QString fieldCell(const BatchColumns& columns, const QStringList& cells, Field f)
{
    for (qsizetype i = 0; i < columns.size(); ++i) {
        if (columns.fields[i] == f)
            return cells.value(i);
    }
    return QString();
}

QString notANumber(int BatchColumns::*column, const QString& cell)
{
    return QStringLiteral("%1 列的“%2”不是数字").arg(gaugeColumnName(column), cell);
}

GaugePressures gaugePressures(const BatchColumns& columns, const QStringList& cells)
{
    GaugePressures out;
    const QString gaugeMin = cells.value(columns.gaugeMinColumn);
    const QString gaugeMax = cells.value(columns.gaugeMaxColumn);
    const bool absoluteGiven
        = !fieldCell(columns, cells, Field::PabsMin).isEmpty() || !fieldCell(columns, cells, Field::PabsMax).isEmpty();
    if (absoluteGiven && (!gaugeMin.isEmpty() || !gaugeMax.isEmpty())) {
        // which of the two the engineer meant is not ours to guess
        out.refusal = QStringLiteral("同时给出了绝对压力和表压，请只填一种");
        return out;
    }
    PressureUnit unit = PressureUnit::KPa;
    if (const QString cell = cells.value(columns.pressureUnitColumn); !cell.isEmpty()) {
        const std::optional<PressureUnit> named = pressureUnitByName(trimmed(cell));
        if (!named) {
            out.refusal = QStringLiteral("%1 列的“%2”不是压力单位，应为 kPa、MPa 或 bar")
                              .arg(gaugeColumnName(&BatchColumns::pressureUnitColumn), cell);
            return out;
        }
        unit = *named;
    }
    double atmosphere = kStandardAtmosphereKpa;
    if (const QString cell = cells.value(columns.atmosphereColumn); !cell.isEmpty()) {
        const std::optional<double> given = parseDecimalTrimmed(cell);
        if (!given) {
            out.refusal = notANumber(&BatchColumns::atmosphereColumn, cell);
            return out;
        }
        atmosphere = *given;
    }
    const std::pair<int BatchColumns::*, QString*> boxes[]
        = {{&BatchColumns::gaugeMinColumn, &out.pabsMin}, {&BatchColumns::gaugeMaxColumn, &out.pabsMax}};
    for (const auto& [column, text] : boxes) {
        const QString cell = cells.value(columns.*column);
        if (cell.isEmpty())
            continue;
        const std::optional<double> gauge = parseDecimalTrimmed(cell);
        if (!gauge) {
            out.refusal = notANumber(column, cell);
            return out;
        }
        const std::optional<double> kpa = absolutePressureKpa(*gauge, unit, atmosphere);
        if (!kpa) {
            out.refusal = QStringLiteral("%1 列的“%2”换算成绝对压力超出数值范围").arg(gaugeColumnName(column), cell);
            return out;
        }
        *text = pressureBoxText(*kpa);
    }
    return out;
}

// One thing a point does to its window, as its script line would: a cell's text
// chosen or pasted into a field, or a click.
struct Step {
    Field field = Field::Medium;
    QString text;
    std::optional<Button> click;
};

std::vector<Step> steps(const BatchColumns& columns, const QStringList& cells, const GaugePressures& gauge, bool save,
    const QString& saveNumber)
{
    std::vector<Step> out;
    for (const bool after : {false, true}) {
        for (Field f : allFields()) {
            if (chosenAfterComputing(f) != after)
                continue;
            for (qsizetype i = 0; i < columns.size(); ++i) {
                if (columns.fields[i] == f && !cells.value(i).isEmpty())
                    out.push_back({f, cells[i], std::nullopt});
            }
            // a point gives its pressure either way, never both (refused before)
            if (const QString absolute = gauge.textFor(f); !absolute.isEmpty())
                out.push_back({f, absolute, std::nullopt});
        }
        out.push_back({Field::Medium, QString(), after ? Button::Select : Button::ComputeFlow});
    }
    if (save && !saveNumber.isEmpty())
        out.push_back({Field::SelectionNo, saveNumber, std::nullopt});
    if (save)
        out.push_back({Field::Medium, QString(), Button::Save});
    return out;
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
        const auto gauge = std::find_if(std::begin(kGaugeColumns), std::end(kGaugeColumns),
            [&](const GaugeColumn& g) { return name == QStringView(g.name); });
        if (gauge != std::end(kGaugeColumns)) {
            columns.*(gauge->column) = static_cast<int>(i);
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
    case BatchStatus::Unsaved: return QStringLiteral("unsaved");
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
    case BatchStatus::Unsaved: ++unsaved; break;
    }
    if (!result.savedAs.isEmpty())
        ++saved;
}

QString BatchCounts::summary(TextEncoding encoding) const
{
    const QString unsavedText = unsaved > 0 ? QStringLiteral("，未保存 %1").arg(unsaved) : QString();
    return QStringLiteral("%1 个测点：已选型 %2，无合适规格 %3，拒绝 %4%5（%6）")
        .arg(points())
        .arg(selected)
        .arg(noFit)
        .arg(refused)
        .arg(unsavedText, encodingName(encoding));
}

qsizetype BatchSelector::resultColumns()
{
    static const qsizetype columns = resultHeader().size();
    return columns;
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

QString BatchSelector::refusal(const BatchColumns& columns, const QStringList& cells)
{
    return gaugePressures(columns, cells).refusal;
}

// The windows' screen: what they show is kept as the texts of their messages, in
// the order they are shown; message boxes are answered OK, as the script runner
// answers them.
struct BatchSelector::Run : Platform {
    Run(SelectionStore& store, const QString& today)
        : workspace(*this, today, store)
    {
        workspace.onSaved = [this](SelectionWindow&, const QString& number) { savedAs = number; };
        // The list of stored selections is not read: no point needs it, and a large
        // store would cost its whole list before the first point.
    }

    void plainMessage(const QString& text) override { messages << text; }
    int showBox(MessageKind, const QString& text) override
    {
        messages << text;
        return Ok;
    }
    void beep() override { }
    void setFocus(const QString&) override { }
    void generalError(const QString& text) override { messages << text; }

    // Carries one step out on the current window, as its script line would; why it
    // could not be, or empty.
    QString carryOut(const Step& step)
    {
        SelectionWindow* w = workspace.current();
        QString why;
        if (!w)
            why = noWindowOpen();
        else if (step.click)
            actions.click(*w, *step.click);
        else if (isChoice(step.field))
            why = chooseChecked(actions, *w, step.field, step.text);
        else
            why = editChecked(actions, *w, step.field, step.text, true);
        actions.settle();
        return why;
    }

    QStringList messages;
    QString savedAs;
    Workspace workspace;
    ScriptActions actions {workspace};
};

BatchSelector::BatchSelector(SelectionStore& store, const QString& today)
    : m_run(std::make_unique<Run>(store, today))
{
}

BatchSelector::~BatchSelector() = default;

BatchResult BatchSelector::select(const BatchColumns& columns, const QStringList& cells, bool save)
{
    Workspace& workspace = m_run->workspace;
    m_run->messages.clear();
    m_run->savedAs.clear();
    BatchResult result;
    SelectionWindow* w = nullptr;
    // A point stops where it was not read as written: gauge cells that cannot be
    // turned into pressures, a cell the window cannot take, or inputs that
    // "计算工况流量" refuses. What would follow runs on values the engineer did not
    // give, and its code would be quoted as if it were the point's.
    bool inputRefused = false;
    const GaugePressures gauge = gaugePressures(columns, cells);
    if (!gauge.refusal.isEmpty()) {
        // no window: none of the point's lines runs, and no number is taken
        m_run->messages << gauge.refusal;
        result.carriedOut = false;
    } else {
        m_run->actions.newSelection();
        m_run->actions.settle();
        w = workspace.current();
        const QString saveNumber = save && m_numberForSave ? m_numberForSave() : QString();
        // a number the program gives, as the window's own was: taken meanwhile by
        // another program, the point is saved under the next free one
        if (w && !saveNumber.isEmpty())
            w->setAssignedNumber(saveNumber);
        for (const Step& step : steps(columns, cells, gauge, save, saveNumber)) {
            if (const QString why = m_run->carryOut(step); !why.isEmpty()) {
                m_run->messages << QStringLiteral("script-error: ") + why;
                result.carriedOut = false;
                break;
            }
            if (step.click == Button::ComputeFlow && w && w->form().text(Field::WorkFlowMax).isEmpty()) {
                inputRefused = true;
                break;
            }
            if (step.click == Button::ComputeFlow && w && m_candidatesWanted)
                result.candidates = m_run->actions.candidates(*w);
        }
    }
    result.savedAs = m_run->savedAs;
    result.cells.reserve(resultColumns());
    result.cells << (columns.idColumn >= 0 ? cells.value(columns.idColumn) : QString());
    result.selected = w && !w->form().text(Field::ResultText).trimmed().isEmpty();
    // A save that did not store the point (a store that refuses writes, a day whose
    // numbers are used up) leaves it undone: its message tells why.
    const bool unsaved = save && result.selected && result.savedAs.isEmpty();
    result.status = !result.carriedOut || inputRefused ? BatchStatus::Refused
        : unsaved                                      ? BatchStatus::Unsaved
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
    if (SelectionWindow* open = w ? workspace.current() : nullptr) {
        m_run->actions.close(*open);
        m_run->actions.settle();
    }
    return result;
}

std::optional<BatchColumns> checkPointsFile(
    QIODevice& file, const QString& path, qint64* points, TextEncoding* encoding, QString* fault)
{
    std::optional<BatchColumns> columns;
    const auto header = [&columns](const QStringList& names) {
        QString headerFault;
        columns = BatchColumns::fromHeader(names, &headerFault);
        return headerFault;
    };
    const std::optional<CsvCheck> checked = checkCsvFile(file, path, header, fault);
    if (!checked)
        return std::nullopt;
    *points = checked->records;
    *encoding = checked->encoding;
    return columns;
}

QString batchCsvLine(const QStringList& cells)
{
    qsizetype length = cells.size();
    for (const QString& cell : cells)
        length += cell.size();
    QString line;
    line.reserve(length + length / 8); // room for a few quotes
    for (qsizetype i = 0; i < cells.size(); ++i) {
        if (i > 0)
            line += u',';
        line += csvCell(cells[i]);
    }
    return line;
}

QStringList candidatesHeader()
{
    QStringList header {kIdColumn};
    for (const CandidateMember& member : candidateMembers(SizeCandidate {}))
        header << QString::fromLatin1(member.name);
    return header;
}

void candidateLines(const BatchResult& result, const std::function<void(const QStringList&)>& line)
{
    for (const SizeCandidate& candidate : result.candidates) {
        QStringList cells {result.cells.value(0)}; // the point's Id
        for (const CandidateMember& member : candidateMembers(candidate))
            cells << member.text;
        line(cells);
    }
}
