#pragma once

#include <QString>

// The application title set at start-up; it heads every message box.
QString applicationTitle();

// The kinds of the program's message box (ShowBox). Their numbers are the ones the
// headless runner prints.
enum class MessageKind {
    Information = 1,
    Question = 2,
    Warning = 3, // a serious warning
    Error = 4,
};

// What a kind looks like: title, icon and buttons.
struct ShowBoxKind {
    enum class Icon { Exclamation, Question, Stop };
    QString title;
    Icon icon;
    bool withCancel; // OK and Cancel, else OK alone
};

// Any value outside the enumeration is shown as an error box.
ShowBoxKind showBoxKind(MessageKind kind);
