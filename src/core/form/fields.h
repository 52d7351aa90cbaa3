#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <optional>

// Every control of a selection window, in the order of the selection record.
enum class Field {
    Medium,
    StdFlowMin,
    StdFlowMax,
    ZMode,
    ZnZgMin,
    ZnZgMax,
    ConvFactorMin,
    ConvFactorMax,
    PabsMin,
    PabsMax,
    TempMin,
    TempMax,
    RefCondition,
    XCO2,
    XH2,
    Hs,
    RelDensity,
    WorkFlowMin,
    WorkFlowMax,
    CombinedAccuracy,
    MeterType,
    BaseOrigin,
    MechCounter,
    CardControl,
    Size,
    NominalPressure,
    BaseAccuracy,
    Corrector,
    Installation,
    Gprs,
    ShortRangeWireless,
    CurrentOutput,
    Hart,
    ExProof,
    CorrectionMode,
    PressSensorUpper,
    CorrectorAccuracy,
    DisplayFactor,
    SettlementUnit,
    CounterPulse,
    PipeConnection,
    ResultText,
    SelectionNo,
};

inline constexpr int kFieldCount = static_cast<int>(Field::SelectionNo) + 1;

enum class ControlKind { Edit, Label, List, Radio };

// Which keys an edit box lets through while the user types.
enum class KeyFilter {
    None,
    Unsigned, // backspace, ".", digits
    Signed,   // backspace, "+", "-", ".", digits
    Digits,   // the masked number box: digits only, eleven at most
};

struct FieldControl {
    Field field;
    const char* name; // the record's field name
    ControlKind kind;
    const char* caption;     // caption in the window
    QStringList items;       // list or radio items at design time
    int defaultIndex;        // chosen item of a new window (-1: none)
    const char* defaultText; // edit box or label text of a new window
    bool enabled;            // enabled in a new window
    KeyFilter filter;
    int columns; // radio groups: columns of the group's layout
};

const FieldControl& fieldControl(Field f);
QString fieldName(Field f);
std::optional<Field> fieldByName(QStringView name);
const std::array<Field, kFieldCount>& allFields();
