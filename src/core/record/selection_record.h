#pragma once

#include "core/form/fields.h"
#include "core/record/columns.h"

#include <QString>
#include <QStringList>

#include <array>

class FormModel;

// One selection: every input, option and result of one selection window, each a
// text, plus the fields that the selection command derives. One row of the table
// of stored selections.
struct TSelection {
    std::array<QString, kFieldCount> fields; // what each control shows
    QString ModelCode;
    QString ProductName;
    QString Bore;
    QString CorrectorModel;
    QString TempSensorL;
    QString TempSensorH;
    QString TempMaxError;

    QString& operator[](Field f) { return fields[static_cast<size_t>(f)]; }
    const QString& operator[](Field f) const { return fields[static_cast<size_t>(f)]; }
    const QString& operator[](Derived d) const;
    // What the column holds of this selection.
    const QString& valueOf(const Column& column) const;
};

// The selection as the form shows it, with the derived fields computed from it;
// `correctorModel` is what the last model-code composer chose.
TSelection snapshot(const FormModel& form, const QString& correctorModel);

// The bore digits of a size label: the characters up to the first one that is not
// "0" to "9".
QString boreDigits(const QString& text);

// "气体腰轮(罗茨)" is named by the origin: roots meters are imported.
QString productName(const QString& meterType, const QString& baseOrigin);
QString tempMaxError(const QString& correctorAccuracy);

// The 45 column values of a selection, in column order.
QStringList toRow(const TSelection& s);
