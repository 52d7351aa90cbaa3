#pragma once

#include <QString>

// The documents the menu bar opens. A click on one always ends in the document or
// in a message that names it and says why it cannot be shown: a user who sees
// nothing happen cannot tell a slow viewer from a missing file.

// Why the document file at `path` cannot be read; empty when it can.
QString documentFileProblem(const QString& path);

// The message for the document titled `title` (its menu caption) that cannot be
// shown for `reason`.
QString documentProblemMessage(const QString& title, const QString& reason);
