#pragma once

#include <QString>

// The application title set at start-up; it heads every message box.
QString applicationTitle();

// The kinds of the program's message box (ShowBox): title, icon and buttons.
struct ShowBoxKind {
    enum class Icon { Exclamation, Question, Stop };
    QString title;
    Icon icon;
    bool withCancel; // OK and Cancel, else OK alone
};

// 1 information, 2 question, 3 serious warning; any other value is an error box.
ShowBoxKind showBoxKind(int kind);

inline constexpr int kShowBoxInformation = 1;
inline constexpr int kShowBoxError = 4;
