#pragma once

#include "core/rules/sensor_ranges.h"

#include <QStringList>
#include <QStringView>

class FormModel;

// Adds the pressure ratings (MPa) that the rating table offers for the choices on
// the form and PabsMax to the emptied nominal-pressure list.
void offerNominalPressures(FormModel& f);

// The sensor ranges that suit the card control and the chosen size's bore; a
// bore that cannot be read throws as an integer conversion would.
SensorScale sensorScaleOf(const FormModel& f);

// Every pressure rating (MPa) the rating table offers for a meter type ("气体涡轮",
// "气体腰轮(罗茨)", "气体旋进"), whatever the medium, size and pressure, in ascending
// order: the values of the nominal pressure, {N} of the model codes.
QStringList ratingsOfMeterType(QStringView meterType);
