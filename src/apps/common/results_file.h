#pragma once

#include <QString>

// What is told when the results file could not be written whole.
QString resultsFileWriteFault(const QString& results, const QString& reason);
// The same for the candidates file of --candidates.
QString candidatesFileWriteFault(const QString& candidates, const QString& reason);

// Why the files of a batch cannot be used together: the results file (`results`)
// or the candidates file (`candidates`, each empty when not written) is the points
// file, `storeFile` (the file of the store in use; empty for a store that is no
// file), or the other one. Paths are compared after their links are followed, a
// file not yet there by its resolved folder and name; a character device
// (/dev/null) written in place may take both outputs. Empty when they can.
QString batchFilesClash(
    const QString& points, const QString& storeFile, const QString& results, const QString& candidates = QString());
