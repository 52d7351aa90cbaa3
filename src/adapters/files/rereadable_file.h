#pragma once

#include <QString>

#include <memory>

class QIODevice;

// Opens `path` for reading so that it can be read through more than once: a file as
// it is; a pipe, a FIFO or a terminal (`/dev/stdin`, `<(…)`), which can be read only
// once, copied first into a temporary file that goes with the device. Nothing, and
// the reason in `error`, when it cannot be opened or copied.
std::unique_ptr<QIODevice> openRereadable(const QString& path, QString* error);
