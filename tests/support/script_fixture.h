#pragma once

#include "apps/common/event_writer.h"
#include "apps/common/script_runner.h"
#include "support/test_store.h"
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

// The JSON lines of the messages the program shows.
inline QString showBoxLine(const QString& text, int kind = 1)
{
    const QString title = kind == 1 ? QStringLiteral("Corvane仪表集团仪表选型系统（V1.0）提示:")
                                    : QStringLiteral("Corvane仪表集团仪表选型系统（V1.0）错误提示!");
    return QStringLiteral("{\"event\":\"message\",\"box\":\"ShowBox\",\"kind\":%1,\"title\":\"%2\",\"text\":\"%3\"}")
        .arg(kind)
        .arg(title, text);
}

inline QString plainLine(const QString& text)
{
    return QStringLiteral("{\"event\":\"message\",\"box\":\"plain\",\"title\":\"Corvane仪表集团仪表选型系统（V1.0）\","
                          "\"text\":\"%1\"}")
        .arg(text);
}

inline QString focusLine(const QString& target)
{
    return QStringLiteral("{\"event\":\"focus\",\"target\":\"%1\"}").arg(target);
}

// Script lines that compute exact working flows: Qmin and Qmax at standard
// conditions come out unchanged at line conditions (K = 1 at both limits), while
// PabsMax takes the given value for the pressure rules.
inline QString flowLines(const QString& medium, const QString& qmin, const QString& qmax, const QString& pabsMax)
{
    const QString znzgMin = QString::number(101.325 / pabsMax.toDouble(), 'g', 17);
    return QStringLiteral("choose Medium %1\n"
                          "paste StdFlowMin %2\npaste StdFlowMax %3\n"
                          "paste PabsMin 101.325\npaste PabsMax %4\n"
                          "paste TempMin 20\npaste TempMax 20\n"
                          "choose ZMode 不修正\npaste ZnZgMax 1\npaste ZnZgMin %5\n"
                          "click 计算工况流量\n")
        .arg(medium, qmin, qmax, pabsMax, znzgMin);
}
