#include "core/modelcode/model_code.h"

#include "core/form/form_model.h"
#include "core/form/numbers.h"
#include "core/form/vocabulary.h"
#include "core/record/selection_record.h"

#include <algorithm>
#include <array>
#include <vector>

using F = Field;
using namespace vocab;

const QString kNoCorrector = QStringLiteral("无修正仪，选型条件不满足！");
const QString kNoCounterNoCorrector = QStringLiteral("无机械计数器也无修正仪，选型条件不满足！");

namespace {

const QString kNoSensorRange = QStringLiteral("无压力传感器上限压力，选型失败！");
const QString kNoInstallation = QStringLiteral("无安装形式，选型失败！");

// The correction-mode suffixes by form ({M1} ... {M5}) and CorrectionMode item, in
// item order; the first item stands also for no item.
// clang-format off
const std::array<std::array<const char*, 4>, 5> kModeSuffixes = {{
    {"",  "-C",  "-B",  "-A"},
    {"",  "C-",  "B-",  "A-"},
    {"-", "-C-", "-B-", "-A-"},
    {"",  "-B",  "-C",  "-A"},
    {"",  "",    "",    "Ⅱ-"},
}};

// The communication letters of the KEV corrector.
struct LetterRow {
    bool gprs;
    bool flameproof;   // else intrinsically safe (a missing item counts as such)
    bool wireless;
    int current;       // 1 有, 0 无, -1 any
    const char* letters;
    bool setCurrentOff;
    bool setIntrinsicallySafe;
};

const LetterRow kLetters[] = {
    {true,  true,  false, -1, "G-G",  true,  false},
    {true,  true,  true,  -1, "G-GW", true,  false},
    {true,  false, false, 0,  "B-G",  false, true},
    {true,  false, false, 1,  "B-GI", false, true},
    {true,  false, true,  -1, "B-GW", true,  true},
    {false, true,  true,  -1, "G-W",  true,  false},
    {false, false, true,  -1, "B-W",  true,  false},
};
// clang-format on

QString textBefore(const QString& s, QChar c)
{
    const qsizetype i = s.indexOf(c);
    return i < 0 ? s : s.left(i);
}

} // namespace

ModelCode::ModelCode(FormModel& form)
    : m_form(form)
    , m_medium(form.item<Medium>(F::Medium))
{
    const QString size = m_form.text(F::Size);
    m_sizeCode = textBefore(size, u'(');
    m_sizeBoreText = boreDigits(size);
    m_seriesSizeCode = m_sizeCode.mid(m_sizeBoreText.size());
    m_baseAccuracy = m_form.text(F::BaseAccuracy);
    m_combinedAccuracy = m_form.text(F::CombinedAccuracy);
}

bool ModelCode::air() const
{
    return m_medium == Medium::Air;
}

bool ModelCode::is(Field f, QStringView item) const
{
    return m_form.index(f) >= 0 && m_form.text(f) == item;
}

bool ModelCode::yes(Field f) const
{
    return is(f, Yes);
}

bool ModelCode::intrinsicallySafe() const
{
    return is(F::ExProof, IntrinsicSafe);
}

bool ModelCode::flameproof() const
{
    return is(F::ExProof, Flameproof);
}

bool ModelCode::correctorFitted() const
{
    return m_form.text(F::Corrector) == Yes;
}

void ModelCode::set(Field f, QStringView item)
{
    m_form.select(f, item);
}

void ModelCode::set(std::initializer_list<Field> fields, QStringView item)
{
    for (Field f : fields)
        m_form.select(f, item);
}

void ModelCode::clear(Field f)
{
    m_form.setIndex(f, -1);
}

void ModelCode::firstMode()
{
    m_form.choose(F::CorrectionMode, CorrectionMode::Auto);
}

void ModelCode::sameOutputsOff()
{
    set({F::Gprs, F::ShortRangeWireless, F::CurrentOutput, F::Hart, F::DisplayFactor}, No);
}

void ModelCode::plainEnd()
{
    set({F::DisplayFactor, F::CounterPulse}, No);
    set(F::PipeConnection, Flange);
}

QString ModelCode::oilFieldWithoutCorrector(CodeTemplateId withCurrent, CodeTemplateId plain)
{
    clear(F::CorrectionMode);
    clear(F::CorrectorAccuracy);
    set(F::ExProof, Flameproof);
    set(F::Hart, No);
    correctorModel.clear();
    return expand(yes(F::CurrentOutput) ? withCurrent : plain);
}

void ModelCode::refuse(const QString& text)
{
    throw CommandStopped {CommandStopped::Box::Information, text, std::nullopt};
}

void ModelCode::requireCorrector()
{
    if (!correctorFitted())
        refuse(kNoCorrector);
}

void ModelCode::requireSensorRange()
{
    if (!m_form.text(F::PressSensorUpper).isEmpty())
        return;
    throw CommandStopped {CommandStopped::Box::Plain, kNoSensorRange, F::PressSensorUpper};
}

void ModelCode::requireInstallation()
{
    if (m_form.index(F::Installation) >= 0)
        return;
    throw CommandStopped {CommandStopped::Box::Plain, kNoInstallation, F::Installation};
}

QString ModelCode::installationSuffix()
{
    requireInstallation();
    return m_form.chosen(F::Installation, Installation::Vertical) ? QStringLiteral("-C") : QString();
}

QString ModelCode::modeSuffix(int form)
{
    CorrectionMode mode = m_form.item<CorrectionMode>(F::CorrectionMode);
    if (m_form.index(F::CorrectionMode) < 0) {
        mode = CorrectionMode::Auto;
        if (!m_keepModeWithoutItem)
            firstMode();
    } else if (form == 5 && (mode == CorrectionMode::PressureMeasured || mode == CorrectionMode::TemperatureMeasured)) {
        mode = CorrectionMode::Auto;
        firstMode();
    }
    return QString::fromUtf8(kModeSuffixes[static_cast<size_t>(form - 1)][static_cast<size_t>(mode)]);
}

QString ModelCode::letters()
{
    const bool setExProof = m_lettersSetExProof;
    const bool gprs = yes(F::Gprs);
    const bool flame = flameproof();
    const bool wireless = yes(F::ShortRangeWireless);
    const int current = yes(F::CurrentOutput) ? 1 : 0;
    for (const LetterRow& row : kLetters) {
        if (row.gprs != gprs || row.flameproof != flame || row.wireless != wireless
            || (row.current >= 0 && row.current != current))
            continue;
        if (row.setCurrentOff)
            set(F::CurrentOutput, No);
        if (row.setIntrinsicallySafe && setExProof)
            set(F::ExProof, IntrinsicSafe);
        return QString::fromLatin1(row.letters);
    }
    return QString();
}

// The placeholders: name, what the position stands for, and how it is filled. Those
// with effects (the letters, the mode suffixes, the installation suffix) take them
// when they are filled.
struct ModelCode::PlaceholderRow {
    const char16_t* name;
    const char* meaning;
    QString (*value)(ModelCode& m);
};

// clang-format off
const ModelCode::PlaceholderRow ModelCode::kPlaceholders[] = {
    {u"S",  "通径规格代号（通径和系列规格）", [](ModelCode& m) { return m.m_sizeCode; }},
    {u"R",  "系列规格代号（通径规格去掉通径）", [](ModelCode& m) { return m.m_seriesSizeCode; }},
    {u"D",  "通径（mm）", [](ModelCode& m) { return m.m_sizeBoreText; }},
    {u"U",  "压力传感器上限压力（MPa）", [](ModelCode& m) { return m.m_form.text(F::PressSensorUpper); }},
    {u"N",  "公称压力（MPa）", [](ModelCode& m) { return m.m_form.text(F::NominalPressure); }},
    {u"B",  "基表准确度等级", [](ModelCode& m) { return m.m_baseAccuracy; }},
    {u"C",  "综合准确度等级", [](ModelCode& m) { return m.m_combinedAccuracy; }},
    {u"TL", "最低温度（℃）：输入的温度范围下限，照写", [](ModelCode& m) { return trimmed(m.m_form.text(F::TempMin)); }},
    {u"TH", "最高温度（℃）：输入的温度范围上限，照写", [](ModelCode& m) { return trimmed(m.m_form.text(F::TempMax)); }},
    {u"L",  "KEV修正仪的通讯代号（GPRS、防爆、短程无线、电流输出）", [](ModelCode& m) { return m.letters(); }},
    {u"I",  "安装形式：垂直安装为-C，水平安装为空", [](ModelCode& m) { return m.installationSuffix(); }},
    {u"P",  "修正仪型号与通讯、防爆代号（PWXC为温度、压力检测方式代号），随所选选项而定", [](ModelCode& m) { return m.m_part; }},
    {u"A",  "修正仪准确度等级", [](ModelCode& m) { return m.m_form.text(F::CorrectorAccuracy); }},
    {u"M1", "温度、压力检测方式代号（第1种写法）", [](ModelCode& m) { return m.modeSuffix(1); }},
    {u"M2", "温度、压力检测方式代号（第2种写法）", [](ModelCode& m) { return m.modeSuffix(2); }},
    {u"M3", "温度、压力检测方式代号（第3种写法）", [](ModelCode& m) { return m.modeSuffix(3); }},
    {u"M4", "温度、压力检测方式代号（第4种写法）", [](ModelCode& m) { return m.modeSuffix(4); }},
    {u"M5", "温度、压力检测方式代号（第5种写法）", [](ModelCode& m) { return m.modeSuffix(5); }},
};
// clang-format on

std::span<const CodePlaceholder> codePlaceholders()
{
    static const std::vector<CodePlaceholder> table = [] {
        std::vector<CodePlaceholder> out;
        for (const ModelCode::PlaceholderRow& row : ModelCode::kPlaceholders)
            out.push_back({QStringView(row.name), QString::fromUtf8(row.meaning)});
        return out;
    }();
    return table;
}

QStringList codeLetterValues()
{
    QStringList out;
    for (const LetterRow& row : kLetters)
        out << QString::fromLatin1(row.letters);
    return out;
}

QStringList modeSuffixValues(int form)
{
    QStringList out;
    for (const char* suffix : kModeSuffixes[static_cast<size_t>(form - 1)])
        out << QString::fromUtf8(suffix);
    return out;
}

CodePartText ModelCode::part(CodePartId id)
{
    const CodePart& row = codePart(id);
    return {row.templ, expand(QStringView(row.text))};
}

QString ModelCode::expand(CodeTemplateId id, const CodePartText& part)
{
    Q_ASSERT_X(part.templ == id, "ModelCode::expand", "a part of another template");
    return expand(codeTemplate(id), part.text);
}

QString ModelCode::expand(QStringView templ, const QString& part)
{
    m_part = part;
    QString out = expand(templ);
    m_part.clear();
    return out;
}

QString ModelCode::expand(QStringView templ)
{
    QString out;
    qsizetype i = 0;
    while (i < templ.size()) {
        if (templ[i] != u'{') {
            out += templ[i++];
            continue;
        }
        const qsizetype close = templ.indexOf(u'}', i);
        const QStringView name = templ.mid(i + 1, close - i - 1);
        i = close + 1;
        const PlaceholderRow* row = std::find_if(std::begin(kPlaceholders), std::end(kPlaceholders),
            [name](const PlaceholderRow& r) { return name == r.name; });
        Q_ASSERT_X(row != std::end(kPlaceholders), "ModelCode::expand", "unknown placeholder");
        if (row != std::end(kPlaceholders))
            out += row->value(*this);
    }
    return out;
}
