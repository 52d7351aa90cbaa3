#pragma once

#include <QStringList>

#include <functional>

// The command line of flowsel-cli, without the program name. `out` and `err`
// receive whole lines (without their newline). Returns the exit status:
// 0 every line ran, 1 some script line could not be carried out, 2 the command
// line cannot be used or the database cannot be opened.
int runFlowselCli(const QStringList& args, const std::function<void(const QString&)>& out,
    const std::function<void(const QString&)>& err);
