#pragma once

class FormModel;

// The lists of the option chain above the size: which origins, mechanical counters
// and card controls the choices on the form offer. Each adds its items to a list
// the caller has emptied.

// The origins of the base meter for the medium and the meter type.
void offerBaseOrigins(FormModel& f);
// The mechanical counters for the medium, the meter type and the origin.
void offerMechCounters(FormModel& f);
// The card controls for the medium, the meter type, the origin and the counter,
// within the maximum working flow `qmax` (m3/h) and PabsMax.
void offerCardControls(FormModel& f, double qmax);
