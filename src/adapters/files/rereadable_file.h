#pragma once

#include <QString>

#include <memory>

class QIODevice;

// The most a stream is copied for openRereadable(), in bytes: the smaller of 1 GiB and
// the free space of `folder` (the temporary folder) less a margin of 64 MiB, which the
// system and the programs' other files keep. 0 when the folder has not even that.
qint64 streamCopyLimit(const QString& folder);

// Opens `path` for reading so that it can be read through more than once: a file as
// it is; a pipe, a FIFO or a terminal (`/dev/stdin`, `<(…)`), which can be read only
// once, copied first into a temporary file that goes with the device. A stream longer
// than `limit` bytes (`/dev/zero` never ends) is refused before it fills the disk;
// below 0, `limit` is streamCopyLimit() of the temporary folder.
// Nothing, and the reason in `error`, when it cannot be opened or copied; then no
// temporary file is left.
std::unique_ptr<QIODevice> openRereadable(const QString& path, QString* error, qint64 limit = -1);
