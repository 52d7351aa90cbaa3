#pragma once

#include "core/ports/platform.h"

#include <functional>

class EventWriter;
class QWidget;

// The platform of the desktop program: real message boxes with the titles, icons
// and buttons of the program's kinds, the system beep, and focus moves to the real
// widgets. A scripted run echoes every event as the headless runner prints it and
// answers every box with OK.
class WidgetPlatform : public Platform {
public:
    // `focusTarget` finds the widget for a field name or a group caption.
    explicit WidgetPlatform(std::function<QWidget*(const QString&)> focusTarget = {});

    void plainMessage(const QString& text) override;
    int showBox(int kind, const QString& text) override;
    void beep() override;
    void setFocus(const QString& target) override;
    void generalError(const QString& text) override;

    // Scripted runs and tests: boxes are answered OK as soon as they show, and the
    // events are written to `echo` when it is given.
    static void setScripted(bool scripted, EventWriter* echo = nullptr);
    static bool scripted();

private:
    std::function<QWidget*(const QString&)> m_focusTarget;
};
