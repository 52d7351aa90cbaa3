#pragma once

#include "core/form/fields.h"

#include <QString>

class ScriptActions;
class SelectionWindow;

// The user's edits of a window's controls, each refused the way a script line is
// refused when the window could not take it: the script runner and the batch both
// come here, so a points cell fails exactly as its script line would, and with the
// same words. Each returns why the action could not be carried out (nothing was
// changed then), or an empty text once `actions` has carried it out.

// Replaces (`paste`) or types the text of the edit box `f`.
QString editChecked(ScriptActions& actions, SelectionWindow& w, Field f, const QString& text, bool paste);
// Chooses the item whose text is exactly `text` in the list or radio group `f`.
QString chooseChecked(ScriptActions& actions, SelectionWindow& w, Field f, const QString& text);
// Moves the focus out of the control `f`.
QString leaveChecked(ScriptActions& actions, SelectionWindow& w, Field f);
// Why there is no window to act on.
QString noWindowOpen();

// Whether `text` holds ASCII digits only (the empty text does).
bool allDigits(const QString& text);
