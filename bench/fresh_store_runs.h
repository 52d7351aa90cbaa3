#pragma once

#include <QString>
#include <QStringList>

namespace benchmark {
class State;
}

// The benchmark's iterations, each the flowsel-cli command `arguments` (run in this
// process) filling a store made afresh, out of the time, before each run: the table
// of the PostgreSQL store `target` dropped when `server`, else the file `target`
// removed. Skipped unless every run ends well with its last line counting `rows` rows.
void runIntoFreshStores(
    benchmark::State& state, const QStringList& arguments, const QString& target, bool server, int rows);
