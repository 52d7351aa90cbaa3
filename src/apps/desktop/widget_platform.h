#pragma once

#include "core/ports/platform.h"

#include <functional>
#include <optional>

class QWidget;

// The platform of the desktop program: real message boxes with the titles, icons
// and buttons of the program's kinds, the system beep, and focus moves to the real
// widgets. In a scripted run every box is answered OK as soon as it shows.
class WidgetPlatform : public Platform {
public:
    // `focusTarget` finds the widget for a field name or a group caption.
    explicit WidgetPlatform(std::function<QWidget*(const QString&)> focusTarget = {});

    void plainMessage(const QString& text) override;
    int showBox(MessageKind kind, const QString& text) override;
    void beep() override;
    void setFocus(const QString& target) override;
    void generalError(const QString& text) override;

    // Scripted runs and tests: boxes are answered OK as soon as they show.
    static void setScripted(bool scripted);
    static bool scripted();

private:
    std::function<QWidget*(const QString&)> m_focusTarget;
};

// The platform a window of the desktop program talks to: its widget platform, told
// first to `echo` when there is one (a scripted run prints every event).
class DesktopPlatform {
public:
    explicit DesktopPlatform(Platform* echo, std::function<QWidget*(const QString&)> focusTarget = {});
    DesktopPlatform(const DesktopPlatform&) = delete;
    DesktopPlatform& operator=(const DesktopPlatform&) = delete;

    Platform& get() { return m_echoing ? static_cast<Platform&>(*m_echoing) : m_widgets; }

private:
    WidgetPlatform m_widgets;
    std::optional<EchoingPlatform> m_echoing;
};
