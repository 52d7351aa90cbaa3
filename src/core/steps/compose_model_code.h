#pragma once

class SelectionContext;

// The button "选型": checks that the working flow and the choices are there, has
// the composer of the meter family write the model code and set the options the
// product fixes, finishes the result text and leaves the pending row for saving.
void composeModelCode(SelectionContext& w);
