#pragma once

#include <QStringList>

// Windows font names the program asks for, and the Debian faces that stand in for
// them. The desktop program installs the table for its widgets; the selection sheet
// builds its fonts from the same table, so the preview and the PDF look alike.

// Registers every substitution with QFont. Safe to call more than once.
void installFontSubstitutions();

// The family asked for, followed by its stand-ins, for QFont::setFamilies(). A name
// outside the table comes back alone. Matching ignores case.
QStringList fontFamiliesFor(const QString& family);
