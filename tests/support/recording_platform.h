#pragma once

#include "core/ports/platform.h"

#include <QStringList>

// Records what the handlers show, one short line per event:
// "plain: TEXT", "box K: TEXT", "beep", "focus: TARGET", "error: TEXT".
class RecordingPlatform : public Platform {
public:
    void plainMessage(const QString& text) override { events << QStringLiteral("plain: ") + text; }
    int showBox(MessageKind kind, const QString& text) override
    {
        events << QStringLiteral("box %1: %2").arg(static_cast<int>(kind)).arg(text);
        return answer;
    }
    void beep() override { events << QStringLiteral("beep"); }
    void setFocus(const QString& target) override { events << QStringLiteral("focus: ") + target; }
    void generalError(const QString& text) override { events << QStringLiteral("error: ") + text; }

    QStringList take()
    {
        QStringList out = events;
        events.clear();
        return out;
    }

    QStringList events;
    int answer = Ok;
};
