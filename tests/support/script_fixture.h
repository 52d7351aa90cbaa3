#pragma once

#include "event_writer.h"
#include "script_runner.h"
#include "workspace.h"

#include <QStringList>

// A workspace with its first window, driven by script lines; collects the JSON
// event lines the runner prints.
struct ScriptFixture {
    QStringList lines;
    EventWriter events {[this](const QString& line) { lines << line; }};
    Workspace workspace {events, QStringLiteral("20261210")};
    ScriptRunner runner {workspace, events};

    ScriptFixture()
    {
        workspace.onWindowShown = [this](SelectionWindow& w) {
            events.window(w.caption(), w.form().text(Field::SelectionNo));
        };
        workspace.activate();
        lines.clear();
    }

    // Runs the lines and returns what they printed.
    QStringList run(const QString& script)
    {
        lines.clear();
        runner.run(script);
        return lines;
    }
};
