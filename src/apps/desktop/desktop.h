#pragma once

#include "apps/common/store_choice.h"

#include <QString>

#include <optional>

class QApplication;
class QWidget;

// Settings every run of the desktop program makes once the application object
// exists: the font substitutions of the Windows font names, a default font with
// every Chinese glyph, and Qt's own texts in Chinese.
void prepareDesktop(QApplication& app);

// Opens the store at `location` for a program a person started. A missing file or a
// store that cannot be used is one question: make the missing file as init-db does,
// choose another file (then `location` names it), or leave: nothing then. The old
// program's Access file is the question whether to import its selections into a new
// store beside it (offerImportAtStart), which is then opened.
std::optional<OpenedStore> openStoreAsking(QString* location, QWidget* parent = nullptr);

// The desktop program: `flowsel [--db PATH] [--today YYYYMMDD] [--script FILE]
// [--grab OUT.png] [--project P [--grab-project OUT.png]] [--grab-question OUT.png]`.
// Returns the exit status.
int runDesktop(QApplication& app);
