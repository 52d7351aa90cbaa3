#pragma once

#include <QString>

// What is told when the results file could not be written whole.
QString resultsFileWriteFault(const QString& results, const QString& reason);
// The same for the candidates file of --candidates.
QString candidatesFileWriteFault(const QString& candidates, const QString& reason);

// Why `results` may not be written as the results file: it is the points file, or
// `storeFile`, the file of the store in use (empty for a store that is no file).
// Existing files are compared by their canonical paths. Empty when it may.
QString resultsFileClash(const QString& results, const QString& points, const QString& storeFile);
