#include "workspace/calculation_record.h"

#include "core/form/numbers.h"
#include "core/form/vocabulary.h"
#include "core/gas/flow_conversion.h"
#include "core/gas/sgerg_coefficients.h"
#include "core/ports/platform.h"
#include "core/ports/selection_store.h"
#include "workspace/selection_figures.h"
#include "workspace/selection_restore.h"
#include "workspace/selection_warnings.h"
#include "workspace/selection_window.h"
#include "workspace/size_candidates.h"
#include "workspace/store_messages.h"

#include <algorithm>
#include <optional>

using F = Field;

namespace {

// The candidates the page has room for.
constexpr qsizetype kCandidatesOnRecord = 5;

// What the computation would have shown the user; the record repeats it, since a
// refused computation leaves boxes empty that the reader expects filled.
class NotingPlatform : public SilentPlatform {
public:
    void plainMessage(const QString& text) override { notes << text; }
    int showBox(MessageKind, const QString& text) override
    {
        notes << text;
        return Ok;
    }
    void generalError(const QString& text) override { notes << text; }

    QStringList notes;
};

QString withUnit(const QString& value, const char* unit)
{
    if (value.isEmpty())
        return QStringLiteral("—");
    return *unit ? value + u' ' + QString::fromUtf8(unit) : value;
}

QString orDash(const QString& value)
{
    return value.isEmpty() ? QStringLiteral("—") : value;
}

// One corner of the working range: the standard flow with the line condition it is
// converted at, and the boxes that show what became of it.
struct Corner {
    const char* name;
    Field stdFlow;
    Field pressure;
    Field temperature;
    Field znzg;
    Field factor;
    Field workFlow;
};

// The least flow is converted at the highest pressure and the lowest temperature,
// the greatest at the opposite corner: together they bound the working flows.
constexpr Corner kCorners[] = {
    {"最小流量", F::StdFlowMin, F::PabsMax, F::TempMin, F::ZnZgMin, F::ConvFactorMin, F::WorkFlowMin},
    {"最大流量", F::StdFlowMax, F::PabsMin, F::TempMax, F::ZnZgMax, F::ConvFactorMax, F::WorkFlowMax},
};

// Zn and Zg of a corner as the window's computation obtains them: the same single
// precision operands, the same reference.
std::optional<ZnAndZg> cornerFactors(const FormModel& f, const Corner& c)
{
    const std::optional<double> p = parseDecimalTrimmed(f.text(c.pressure));
    const std::optional<double> t = parseDecimalTrimmed(f.text(c.temperature));
    const std::optional<double> hs = parseDecimalTrimmed(f.text(F::Hs));
    const std::optional<double> d = parseDecimalTrimmed(f.text(F::RelDensity));
    const std::optional<double> xco2 = parseDecimalTrimmed(f.text(F::XCO2));
    const std::optional<double> xh2 = parseDecimalTrimmed(f.text(F::XH2));
    if (!p || !t || !hs || !d || !xco2 || !xh2)
        return std::nullopt;
    const GasReference reference = f.chosen(F::RefCondition, vocab::RefCondition::Ref20)
        ? GasReference::Combustion20Metering20
        : GasReference::Combustion25Metering0;
    return computedZnAndZg(reference, float(*p / 1000), float(*t), {float(*hs), float(*d), float(*xco2), float(*xh2)});
}

// How the record shows a judged input: its symbol (primed once converted to the
// method's reference), unit, and the decimals of a converted value.
struct JudgedInput {
    const char* symbol;
    const char* converted;
    const char* unit;
    int decimals;
};

constexpr JudgedInput kJudged[kSgergRangeInputCount] = {
    {"Hs", "Hs′", "MJ/m³", 2},
    {"d", "d′", "", 4},
    {"xCO2", "xCO2", "", 0},
    {"xH2", "xH2", "", 0},
    {"pmin", "pmin", "kPa", 0},
    {"pmax", "pmax", "kPa", 0},
    {"tmin", "tmin", "℃", 0},
    {"tmax", "tmax", "℃", 0},
};

const JudgedInput& judged(const SgergInputFigure& figure)
{
    return kJudged[int(figure.input)];
}

// The value the method judges, as the window shows it unless it was converted.
QString atMethodReference(const SgergInputFigure& figure)
{
    if (!figure.atMethodReference)
        return QStringLiteral("—");
    return figure.converted ? formatFixed(*figure.atMethodReference, judged(figure).decimals) : trimmed(figure.entered);
}

QString boundsText(const SgergBounds& bounds)
{
    return QString::number(bounds.low) + u'～' + QString::number(bounds.high);
}

QString rangeWord(SgergRangeClass range)
{
    switch (range) {
    case SgergRangeClass::Normal: return QStringLiteral("常规");
    case SgergRangeClass::Wider: return QStringLiteral("扩展");
    case SgergRangeClass::Outside: break;
    }
    return QStringLiteral("超出");
}

// "高位发热量 Hs′ = 48.29 MJ/m³ > 48": the input against the bound of `bounds` it passed.
QString beyond(const SgergInputFigure& figure, const SgergBounds& bounds)
{
    const JudgedInput& j = judged(figure);
    const double value = *figure.atMethodReference;
    const QString unit = *j.unit ? u' ' + QString::fromUtf8(j.unit) : QString();
    const QString side = value < bounds.low ? QStringLiteral("< ") + QString::number(bounds.low)
                                            : QStringLiteral("> ") + QString::number(bounds.high);
    return QStringLiteral("%1 %2 = %3%4 %5")
        .arg(sgergInputWord(figure.input), QString::fromUtf8(figure.converted ? j.converted : j.symbol),
            atMethodReference(figure), unit, side);
}

QString verdictLine(
    const SgergRangeVerdict& verdict, const std::array<SgergInputFigure, kSgergRangeInputCount>& figures)
{
    const auto named = [&](const std::vector<SgergRangeInput>& inputs, bool wider) {
        QStringList out;
        for (SgergRangeInput input : inputs)
            out << beyond(figures[int(input)], wider ? sgergWiderBounds(input) : sgergNormalBounds(input));
        return out.join(u'；');
    };
    switch (verdict.range) {
    case SgergRangeClass::Normal: return QStringLiteral("结论：各输入均在管输天然气的常规适用范围内。");
    case SgergRangeClass::Wider:
        return QStringLiteral("结论：在扩展适用范围内，超出常规范围的有 %1。").arg(named(verdict.wider, false));
    case SgergRangeClass::Outside: break;
    }
    return QStringLiteral("结论：超出适用范围：%1，压缩系数仅供参考。").arg(named(verdict.outside, true));
}

// The inputs; those the method judges beside the value it receives and the limits
// it judges them by, when it is used.
CalculationSheet::Section inputs(const FormModel& f, bool corrected)
{
    CalculationSheet::Section s {QStringLiteral("一、输入数据"),
        {
            {QStringLiteral("使用介质"), orDash(f.text(F::Medium))},
            {QStringLiteral("最小标况流量 Qn,min"), withUnit(f.text(F::StdFlowMin), "m³/h")},
            {QStringLiteral("最大标况流量 Qn,max"), withUnit(f.text(F::StdFlowMax), "m³/h")},
        }};
    if (corrected) {
        s.tableHeader = {QStringLiteral("输入"), QStringLiteral("录入值"), QStringLiteral("25℃/0℃参比下"),
            QStringLiteral("常规范围"), QStringLiteral("扩展范围"), QStringLiteral("判断")};
    }
    for (const SgergInputFigure& figure : sgergInputFigures(f)) {
        const JudgedInput& j = judged(figure);
        const QString name = sgergInputWord(figure.input) + u' ' + QString::fromUtf8(j.symbol);
        if (!corrected) {
            s.lines.push_back({name, withUnit(trimmed(figure.entered), j.unit)});
            continue;
        }
        const QString judgement = figure.atMethodReference
            ? rangeWord(sgergInputRange(figure.input, *figure.atMethodReference))
            : QStringLiteral("—");
        s.tableRows.push_back({*j.unit ? name + QStringLiteral(" (%1)").arg(QString::fromUtf8(j.unit)) : name,
            orDash(trimmed(figure.entered)), atMethodReference(figure), boundsText(sgergNormalBounds(figure.input)),
            boundsText(sgergWiderBounds(figure.input)), judgement});
    }
    return s;
}

CalculationSheet::Section conditionsAndMethod(const FormModel& f, bool corrected)
{
    CalculationSheet::Section s {QStringLiteral("二、参比条件与计算方法"),
        {
            {QStringLiteral("气体数据参比条件"), orDash(f.text(F::RefCondition))},
            {QStringLiteral("流量标准状态"), QStringLiteral("温度20℃，绝对压力101.325kPa")},
            {QStringLiteral("压缩系数修正"), orDash(f.text(F::ZMode))},
        }};
    if (corrected)
        s.lines.push_back({QStringLiteral("压缩系数"),
            QStringLiteral("SGERG-88（ISO 12213-3，GB/T 17747.3），Zn 标准状态、Zg 工况")});
    else
        s.lines.push_back({QStringLiteral("压缩系数"), QStringLiteral("未使用状态方程，Zn/Zg 为录入值")});
    s.lines.push_back({QStringLiteral("换算系数"), QStringLiteral("K = Zn/Zg × (pg/pn) × (Tn/Tg)")});
    s.lines.push_back({QStringLiteral("工况流量"), QStringLiteral("Q = Qn / K")});
    return s;
}

CalculationSheet::Section corners(const FormModel& f, bool corrected)
{
    CalculationSheet::Section s;
    s.heading = QStringLiteral("三、工况点");
    s.tableHeader = {QStringLiteral("工况点"), QStringLiteral("Qn (m³/h)"), QStringLiteral("p (kPa)"),
        QStringLiteral("t (℃)"), QStringLiteral("Zn"), QStringLiteral("Zg"), QStringLiteral("Zn/Zg"),
        QStringLiteral("K"), QStringLiteral("Q (m³/h)")};
    for (const Corner& c : kCorners) {
        QString zn = QStringLiteral("—");
        QString zg = QStringLiteral("—");
        QString ratio = orDash(f.text(c.znzg));
        if (!corrected) {
            ratio += QStringLiteral("（录入）");
        } else if (trimmed(f.text(c.factor)).isEmpty()) {
            // the computation was refused: the box still holds the stored ratio, which
            // this record did not compute
            ratio = QStringLiteral("—");
        } else if (const std::optional<ZnAndZg> z = cornerFactors(f, c)) {
            zn = formatFixed(z->zn, 5);
            zg = formatFixed(z->zg, 5);
        }
        s.tableRows.push_back({QString::fromUtf8(c.name), orDash(f.text(c.stdFlow)), orDash(f.text(c.pressure)),
            orDash(f.text(c.temperature)), zn, zg, ratio, orDash(f.text(c.factor)), orDash(f.text(c.workFlow))});
    }
    s.notes << QStringLiteral("取点：同一标况流量在气体最密（压力最高、温度最低）时工况流量最小，"
                              "故 Qn,min 按 pmax、tmin 换算，Qn,max 按 pmin、tmax 换算，"
                              "两点之间即仪表须覆盖的工况流量范围。");
    return s;
}

// How the gas data reach the method, and the verdict naming the inputs that decided it.
CalculationSheet::Section range(const FormModel& f, bool corrected)
{
    CalculationSheet::Section s;
    s.heading = QStringLiteral("四、适用范围");
    if (!corrected) {
        s.notes << QStringLiteral("未使用状态方程，不判断适用范围。");
        return s;
    }
    const std::array<SgergInputFigure, kSgergRangeInputCount> figures = sgergInputFigures(f);
    if (figures[int(SgergRangeInput::Hs)].converted) {
        s.notes << QStringLiteral("气体数据参比条件为20℃/20℃，换算到方法的参比条件（燃烧25℃、计量0℃）："
                                  "Hs′ = %1 × Hs，d′ = %2 × d。")
                       .arg(QString::number(sgerg::ref20HeatFactor), QString::number(sgerg::ref20DensityFactor));
    }
    const std::optional<SgergRangeVerdict> verdict = sgergRangeOf(f);
    s.notes << (verdict ? verdictLine(*verdict, figures) : QStringLiteral("输入不全，未能判断。"));
    return s;
}

// The candidates of the chosen meter type as the window's pane lists them, the
// chosen size marked: the few beside the chosen one, as the page has room for.
void candidatesTable(const SelectionContext& w, CalculationSheet::Section& s)
{
    const QString type = w.form.text(F::MeterType);
    const QString chosen = w.form.text(F::Size);
    std::vector<SizeCandidate> ofType;
    for (SizeCandidate& c : sizeCandidates(w)) {
        if (c.meterType == type)
            ofType.push_back(std::move(c));
    }
    if (ofType.empty())
        return;
    const qsizetype count = qsizetype(ofType.size());
    const auto at
        = std::find_if(ofType.begin(), ofType.end(), [&](const SizeCandidate& c) { return c.sizeSpec == chosen; });
    const qsizetype first = count <= kCandidatesOnRecord
        ? 0
        : std::clamp(
            qsizetype(at - ofType.begin()) - kCandidatesOnRecord / 2, qsizetype(0), count - kCandidatesOnRecord);
    for (qsizetype i = first; i < std::min(count, first + kCandidatesOnRecord); ++i) {
        const SizeCandidate& c = ofType[i];
        s.tableRows.push_back({c.sizeSpec, c.use.capacity.rangeText(), c.use.useAtMax, c.use.marginAtMin, c.velocity,
            c.fitWord(), c.sizeSpec == chosen ? QStringLiteral("●") : QString()});
    }
    s.tableHeader = {QStringLiteral("候选规格"), QStringLiteral("范围 (m³/h)"), QStringLiteral("上限利用 (%)"),
        QStringLiteral("下限余量 (倍)"), QStringLiteral("流速 (m/s)"), QStringLiteral("匹配"), QStringLiteral("所选")};
    const QString shown = count > kCandidatesOnRecord ? QStringLiteral("，共 %1 个").arg(count) : QString();
    s.notes << QStringLiteral("候选规格按默认产地、计数器和卡控%1；流速按公称通径；● 为所选规格。").arg(shown);
}

CalculationSheet::Section size(const SelectionContext& w)
{
    CalculationSheet::Section s {QStringLiteral("五、通径"),
        {
            {QStringLiteral("流量计类型"), orDash(w.form.text(F::MeterType))},
            {QStringLiteral("通径规格"), orDash(w.form.text(F::Size))},
        }};
    candidatesTable(w, s);
    // the chosen size's row tells its figures; a size the table does not hold (another
    // origin than the first) tells them here
    const bool inTable = std::any_of(
        s.tableRows.begin(), s.tableRows.end(), [](const QStringList& row) { return !row.last().isEmpty(); });
    if (const std::optional<SizeUse> use = sizeUseOf(w); use && !inTable) {
        s.lines.push_back({QStringLiteral("流量范围"), use->capacity.rangeText() + QStringLiteral(" m³/h")});
        s.lines.push_back({QStringLiteral("最大工况流量占上限"), use->useAtMax + u'%'});
        s.lines.push_back({QStringLiteral("最小工况流量为下限的"), use->marginAtMin + QStringLiteral(" 倍")});
    }
    return s;
}

} // namespace

CalculationSheet calculationRecord(const QStringList& row, const QString& dateText)
{
    NotingPlatform ui;
    SelectionWindow window(ui);
    window.dispatch([&] { restoreSelection(window.context(), row); });
    const FormModel& f = window.form();
    const bool corrected = !f.chosen(F::ZMode, vocab::ZMode::NotCorrected);

    CalculationSheet sheet;
    sheet.title = QStringLiteral("选型计算书");
    sheet.subtitle
        = QStringLiteral("选型编号：%1　　仪表型号规格：%2").arg(f.text(F::SelectionNo), orDash(f.text(F::ResultText)));
    sheet.sections = {inputs(f, corrected), conditionsAndMethod(f, corrected), corners(f, corrected),
        range(f, corrected), size(window.context())};
    if (!ui.notes.isEmpty()) {
        CalculationSheet::Section told;
        told.heading = QStringLiteral("计算时的提示");
        told.notes = ui.notes;
        sheet.sections.push_back(told);
    }
    for (const SelectionWarning& warning : selectionWarnings(window.context()))
        sheet.warnings << warning.text;
    sheet.signatures = {QStringLiteral("编制："), QStringLiteral("校核：")};
    sheet.footer = QStringLiteral("flowsel %1　计算日期：%2").arg(QStringLiteral(FLOWSEL_VERSION), dateText);
    return sheet;
}

std::optional<CalculationSheet> storedCalculationRecord(
    SelectionStore& store, const QString& number, const QString& dateText, QString* error)
{
    const StoreResult<std::optional<StoredRow>> stored = store.fetch(number);
    if (!stored.ok()) {
        *error = queryErrorText(stored.error().statement, stored.error().message);
        return std::nullopt;
    }
    if (!stored.value()) {
        *error = notSavedMessage(number);
        return std::nullopt;
    }
    return calculationRecord(*stored.value(), dateText);
}
