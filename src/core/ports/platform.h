#pragma once

#include "core/ports/message_kinds.h"

#include <QString>

// What a selection window's handlers ask of the screen. The desktop program answers
// with real dialogs; the headless runner prints events.
class Platform {
public:
    enum Button { Ok = 1, Cancel = 2 };

    virtual ~Platform() = default;

    // the platform's plain message box: application title, the text, OK
    virtual void plainMessage(const QString& text) = 0;
    // the program's message box of a kind; returns the button pressed
    virtual int showBox(MessageKind kind, const QString& text) = 0;
    virtual void beep() = 0;
    // a field name, or the caption of a group
    virtual void setFocus(const QString& target) = 0;
    // the application's general error report: a handler ended on an error
    virtual void generalError(const QString& text) = 0;
};

// A platform that shows nothing; for models that are driven without a screen.
class SilentPlatform : public Platform {
public:
    void plainMessage(const QString&) override { }
    int showBox(MessageKind, const QString&) override { return Ok; }
    void beep() override { }
    void setFocus(const QString&) override { }
    void generalError(const QString&) override { }
};

// Tells every event to a second platform before the one that answers it: the
// desktop program's scripted runs print what its real dialogs show.
class EchoingPlatform : public Platform {
public:
    EchoingPlatform(Platform& answering, Platform& echo)
        : m_answering(answering)
        , m_echo(echo)
    {
    }

    void plainMessage(const QString& text) override;
    int showBox(MessageKind kind, const QString& text) override;
    void beep() override;
    void setFocus(const QString& target) override;
    void generalError(const QString& text) override;

private:
    Platform& m_answering;
    Platform& m_echo;
};
