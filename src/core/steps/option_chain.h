#pragma once

class FormModel;
class SelectionContext;
enum class Field;

// The option chain of a selection window: each step empties the lists below it,
// fills the next one, chooses its first item and runs the next step.

// Empties the chain's lists from `first` down (meter type, origin, counter, card
// control, size, nominal pressure).
void emptyChainFrom(FormModel& f, Field first);

// A gas or flow input changed: the chain and the working flow are emptied and the
// accuracy choices set back.
void onGasInputChanged(SelectionContext& w);
// Refills the meter-type list with the types that suit the medium, the maximum
// working flow and the maximum absolute pressure, chooses one and, when there is
// any, starts the option chain with it.
void fillMeterTypes(SelectionContext& w);
// A meter type is chosen: fills the origin list.
void onMeterTypeChanged(SelectionContext& w);
// An origin is chosen: fills the mechanical-counter list.
void onBaseOriginChanged(SelectionContext& w);
// A counter item is chosen: fills the card-control list.
void onMechCounterChanged(SelectionContext& w);
// The card control is chosen: fills the size list with the sizes that cover the
// working flow range and sets the options that depend on a card control.
void onCardControlChanged(SelectionContext& w);
// A size is chosen: offers its pressure ratings, the sensor ranges and the pipe
// connection, and sets the corrector options afresh.
void onSizeChanged(SelectionContext& w);
// The combined accuracy is clicked.
void onCombinedAccuracyClicked(SelectionContext& w);
// The corrector is chosen.
void onCorrectorChanged(SelectionContext& w);
// Any plain option changes: the result no longer describes the choices.
void onOptionClicked(SelectionContext& w);
