#pragma once

#include <QStringList>
#include <QStringView>

class SelectionContext;

// A size is chosen: offers its pressure ratings, the sensor ranges and the pipe
// connection, and sets the corrector options afresh.
void onSizeChanged(SelectionContext& w);

// Every pressure rating (MPa) the rating table offers for a meter type ("气体涡轮",
// "气体腰轮(罗茨)", "气体旋进"), whatever the medium, size and pressure, in ascending
// order: the values of the nominal pressure, {N} of the model codes.
QStringList ratingsOfMeterType(QStringView meterType);
