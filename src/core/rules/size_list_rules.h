#pragma once

class SelectionContext;

// The card control is chosen: fills the size list with the sizes that cover the
// working flow range and sets the options that depend on a card control.
void onCardControlChanged(SelectionContext& w);
