#pragma once

#include <QString>

// What a selection window's handlers ask of the screen. The desktop program answers
// with real dialogs; the headless runner prints events.
class Platform {
public:
    enum Button { Ok = 1, Cancel = 2 };

    virtual ~Platform() = default;

    // the platform's plain message box: application title, the text, OK
    virtual void plainMessage(const QString& text) = 0;
    // the program's message box of a kind (1 information, 2 question, 3 serious
    // warning, anything else error); returns the button pressed
    virtual int showBox(int kind, const QString& text) = 0;
    virtual void beep() = 0;
    // a field name, or the caption of a group
    virtual void setFocus(const QString& target) = 0;
    // the application's general error report: a handler ended on an error
    virtual void generalError(const QString& text) = 0;
};

// A platform that shows nothing; for models that are driven without a screen.
class SilentPlatform : public Platform {
public:
    void plainMessage(const QString&) override {}
    int showBox(int, const QString&) override { return Ok; }
    void beep() override {}
    void setFocus(const QString&) override {}
    void generalError(const QString&) override {}
};
