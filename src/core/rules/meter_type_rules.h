#pragma once

class FormModel;

// Adds to the emptied meter-type list the types that suit the medium, the maximum
// working flow `qmax` (m3/h) and the maximum absolute pressure.
void offerMeterTypes(FormModel& f, double qmax);
