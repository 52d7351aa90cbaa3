#pragma once

#include "core/form/fields.h"
#include "core/form/vocabulary.h"
#include "core/modelcode/code_templates.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>
#include <span>

class FormModel;

// A placeholder of the templates and what its position of the code stands for: the
// table expand() works from, so that a key of the codes reads the same table.
struct CodePlaceholder {
    QStringView name; // "S", "M1"
    QString meaning;
};
std::span<const CodePlaceholder> codePlaceholders();

// The values of {L}, the KEV corrector's communication letters, in table order.
QStringList codeLetterValues();
// The values of {M1} ... {M5} (`form` 1 to 5): the suffix for each item of the
// correction mode, in item order.
QStringList modeSuffixValues(int form);

// {P} as a composer took it: the text of a row of the part table, its placeholders
// filled, and the template it goes into.
struct CodePartText {
    CodeTemplateId templ {};
    QString text;
};

// What stops the selection command, as a composer found it: the message the user is
// shown (the plain box with the focus moved to the field that lacks its choice, or
// the program's box of information) and the field to choose. The composers show
// nothing: the command's step shows it.
struct CommandStopped {
    enum class Box {
        Plain,       // the platform's plain message box
        Information, // the program's box, kind 1
    };
    Box box = Box::Information;
    QString text;
    std::optional<Field> focus;
};

// What the model-code composers work with during one run of "选型": the window's
// selection, the working texts of the run, the corrector model chosen, and the
// pieces all composers share (placeholders, suffixes, communication letters,
// checks that stop the command).
class ModelCode {
public:
    explicit ModelCode(FormModel& form);

    FormModel& form() { return m_form; }
    vocab::Medium medium() const { return m_medium; }
    bool air() const;

    // The series-and-size code of the run, {R}.
    const QString& seriesSizeCode() const { return m_seriesSizeCode; }

    QString correctorModel;

    // Tests of a choice by its text. A yes/no group without an item counts as "无".
    bool is(Field f, QStringView item) const;
    bool yes(Field f) const;
    bool intrinsicallySafe() const; // ExProof is "本安 iaIICT4" (a missing item is not)
    bool flameproof() const;        // ExProof is "隔爆 dIICT4"
    bool correctorFitted() const;   // Corrector is "有"

    // Settings of option groups (a radio group runs its click step on a change).
    void set(Field f, QStringView item);
    void set(std::initializer_list<Field> fields, QStringView item);
    void clear(Field f); // no item
    void firstMode();    // CorrectionMode "温压自动检测"

    // Shared groups of settings.
    void sameOutputsOff(); // Gprs, ShortRangeWireless, CurrentOutput, Hart, DisplayFactor "无"
    void plainEnd();       // DisplayFactor, CounterPulse "无"; PipeConnection "法兰"
    // Oil-field gas without a corrector (VRN, MQE): no correction, "隔爆 dIICT4", no
    // HART, no corrector model; the code with the current output or without.
    QString oilFieldWithoutCorrector(CodeTemplateId withCurrent, CodeTemplateId plain);

    // The model code from a template: literal text with {S} {R} {D} {U} {N} {B} {C}
    // {TL} {TH} {L} {M1} ... {M5} {I} replaced. Placeholders with effects (the
    // letters, the mode suffixes, the installation suffix) take effect in the
    // order they stand.
    QString expand(QStringView templ);
    QString expand(CodeTemplateId id) { return expand(codeTemplate(id)); }
    // {P}: the row `id` of the part table, its placeholders filled now, with their
    // effects, where the composer takes it.
    CodePartText part(CodePartId id);
    // A template with {P}, the part the composer took for it.
    QString expand(CodeTemplateId id, const CodePartText& part);

    // {M1} ... {M5} leave an empty CorrectionMode without item (instead of setting
    // item 0) in the rows that say so.
    void keepModeWithoutItem() { m_keepModeWithoutItem = true; }
    // {L} leaves the explosion protection as it is (instead of setting "本安 iaIICT4"
    // in the rows that say so).
    void keepExProofInLetters() { m_lettersSetExProof = false; }

    // Stops: the command ends, with what the user is to be told (CommandStopped).
    [[noreturn]] void refuse(const QString& text); // ShowBox kind 1
    void requireCorrector();                       // "无修正仪，选型条件不满足！"
    void requireSensorRange();                     // "无压力传感器上限压力，选型失败！"
    void requireInstallation();                    // "无安装形式，选型失败！"

    // The communication letters of the KEV corrector ({L}), with the settings their
    // row makes.
    QString letters();
    QString modeSuffix(int form);
    QString installationSuffix();

private:
    struct PlaceholderRow;
    static const PlaceholderRow kPlaceholders[];
    friend std::span<const CodePlaceholder> codePlaceholders();

    QString expand(QStringView templ, const QString& part);

    FormModel& m_form;
    vocab::Medium m_medium;
    bool m_keepModeWithoutItem = false;
    bool m_lettersSetExProof = true;
    QString m_sizeCode;
    QString m_seriesSizeCode;
    QString m_sizeBoreText;
    QString m_baseAccuracy;
    QString m_combinedAccuracy;
    QString m_part;
};

// The messages that stop the command.
extern const QString kNoCorrector;
extern const QString kNoCounterNoCorrector;
