#pragma once

class QApplication;

// Settings every run of the desktop program makes once the application object
// exists: the font substitutions of the Windows font names, a default font with
// every Chinese glyph, and Qt's own texts in Chinese.
void prepareDesktop(QApplication& app);

// The desktop program: `flowsel [--db PATH] [--today YYYYMMDD] [--script FILE]
// [--grab OUT.png]`. Returns the exit status.
int runDesktop(QApplication& app);
