#pragma once

class SelectionContext;

// Refills the meter-type list with the types that suit the medium, the maximum
// working flow and the maximum absolute pressure, chooses one and, when there is
// any, starts the option chain with it.
void fillMeterTypes(SelectionContext& w);
