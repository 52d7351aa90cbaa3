#pragma once

#include <QString>

class Platform;

// The documents the menu bar opens. A click on one always ends in the document or
// in a message that names it and says why it cannot be shown: a user who sees
// nothing happen cannot tell a slow viewer from a missing file.

// Why the document file at `path` cannot be read; empty when it can.
QString documentFileProblem(const QString& path);

// The message for the document titled `title` (its menu caption) that cannot be
// shown for `reason`.
QString documentProblemMessage(const QString& title, const QString& reason);

// Opens the document file at `path` in the system's viewer, or tells `ui` why not.
// Returns whether the viewer was started.
bool openDocumentFile(const QString& title, const QString& path, Platform& ui);
