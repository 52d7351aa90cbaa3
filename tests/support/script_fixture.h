#pragma once

#include "apps/common/event_writer.h"
#include "apps/common/script_runner.h"
#include "support/test_store.h"
#include "support/window_script.h"
#include "workspace/workspace.h"

#include <QStringList>

// A workspace with its first window, driven by script lines; collects the JSON
// event lines the runner prints.
struct ScriptFixture {
    QStringList lines;
    EventWriter events {[this](const QString& line) { lines << line; }};
    TestStore database;
    bool databaseOpened;
    Workspace workspace {events, QStringLiteral("20261210"), *database};
    ScriptRunner runner {workspace, events};

    // On a fresh in-memory database, or on the store at `location` (a database file
    // or a postgresql:// URI).
    explicit ScriptFixture(const QString& location = SelectionDatabase::memoryPath())
        : database(location)
        , databaseOpened(database.opened)
    {
        workspace.showMainWindow();
        workspace.onWindowShown
            = [this](SelectionWindow& w) { events.window(w.caption(), w.form().text(Field::SelectionNo)); };
        workspace.onPreview
            = [this](SelectionWindow& w, const PrintRow&) { events.preview(w.form().text(Field::SelectionNo)); };
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
