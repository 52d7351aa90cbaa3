#pragma once

class SelectionContext;

// The card control is chosen: fills the size list with the sizes that cover the
// working flow range and sets the options that depend on a card control.
void ComboBox15Change(SelectionContext& w);

// A size is chosen: offers its pressure ratings, the sensor ranges and the pipe
// connection, and sets the corrector options afresh.
void ComboBox16Change(SelectionContext& w);
