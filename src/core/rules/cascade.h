#pragma once

class SelectionContext;

// The option chain of a selection window: each step empties the lists below it,
// fills the next one, chooses its first item and runs the next step.

// A gas or flow input changed: the chain and the working flow are emptied and the
// accuracy choices set back.
void ComboBox10Change(SelectionContext& w);
// A meter type is chosen: fills the origin list.
void ComboBox12Change(SelectionContext& w);
// An origin is chosen: fills the mechanical-counter list.
void ComboBox13Change(SelectionContext& w);
// A counter item is chosen: fills the card-control list.
void ComboBox14Change(SelectionContext& w);
// The combined accuracy is clicked.
void RadioGroup8Click(SelectionContext& w);
// The corrector is chosen.
void ComboBox2Change(SelectionContext& w);
// Any plain option changes: the result no longer describes the choices.
void RadioGroup12Click(SelectionContext& w);
