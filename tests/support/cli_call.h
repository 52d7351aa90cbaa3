#pragma once

#include "apps/cli/cli_command.h"

#include <QStringList>

// What a command line of flowsel-cli, run in this process, gave.
struct CliResult {
    int status;
    QStringList out;
    QStringList err;
};

inline CliResult cli(const QStringList& args)
{
    CliResult r;
    r.status = runFlowselCli(
        args, [&](const QString& l) { r.out << l; }, [&](const QString& l) { r.err << l; });
    return r;
}
