#pragma once

#include <QStringList>

#include <functional>

class SelectionStore;

// `flowsel-cli batch POINTS.csv [--out RESULTS.csv] [--save]`: the arguments after the
// command word. The points file is read through once to refuse an unusable file
// before any point is selected or saved, then again to select; the results stream
// to `out` or to the --out file, which appears whole or not at all.
// `openStore` opens the store in use and reports why it cannot (then nothing).
int runBatchCommand(const QStringList& arguments, const QString& today,
    const std::function<SelectionStore*()>& openStore, const std::function<void(const QString&)>& out,
    const std::function<void(const QString&)>& err);
