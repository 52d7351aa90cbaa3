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
