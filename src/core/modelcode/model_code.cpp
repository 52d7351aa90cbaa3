#include "core/modelcode/model_code.h"

#include "core/form/numbers.h"
#include "core/ports/platform.h"
#include "core/form/selection_context.h"
#include "core/record/selection_record.h"
#include "core/form/vocabulary.h"

#include <array>

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

ModelCode::ModelCode(SelectionContext& w)
    : m_w(w)
    , m_form(w.form)
    , m_medium(w.form.item<Medium>(F::Medium))
{
    const QString size = m_form.text(F::Size);
    m_sizeCode = textBefore(size, u'(');
    m_sizeBoreText = LeadingDigits(size);
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

void ModelCode::refuse(const QString& text)
{
    m_w.ui().showBox(MessageKind::Information, text);
    throw CommandStopped {};
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
    m_w.ui().plainMessage(kNoSensorRange);
    m_w.ui().setFocus(fieldName(F::PressSensorUpper));
    throw CommandStopped {};
}

void ModelCode::requireInstallation()
{
    if (m_form.index(F::Installation) >= 0)
        return;
    m_w.ui().plainMessage(kNoInstallation);
    m_w.ui().setFocus(fieldName(F::Installation));
    throw CommandStopped {};
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

QString ModelCode::letters(bool setExProof)
{
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
        if (name == u"S")
            out += m_sizeCode;
        else if (name == u"R")
            out += m_seriesSizeCode;
        else if (name == u"D")
            out += m_sizeBoreText;
        else if (name == u"U")
            out += m_form.text(F::PressSensorUpper);
        else if (name == u"N")
            out += m_form.text(F::NominalPressure);
        else if (name == u"B")
            out += m_baseAccuracy;
        else if (name == u"C")
            out += m_combinedAccuracy;
        else if (name == u"TL")
            out += trimmed(m_form.text(F::TempMin));
        else if (name == u"TH")
            out += trimmed(m_form.text(F::TempMax));
        else if (name == u"L")
            out += letters();
        else if (name == u"I")
            out += installationSuffix();
        else if (name.size() == 2 && name[0] == u'M')
            out += modeSuffix(name[1].digitValue());
        else
            Q_ASSERT_X(false, "ModelCode::expand", "unknown placeholder");
    }
    return out;
}
