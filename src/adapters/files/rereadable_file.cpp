#include "adapters/files/rereadable_file.h"

#include <QFile>
#include <QTemporaryFile>

namespace {

constexpr qint64 kChunk = 64 * 1024;

} // namespace

std::unique_ptr<QIODevice> openRereadable(const QString& path, QString* error)
{
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::ReadOnly)) {
        *error = file->errorString();
        return nullptr;
    }
    if (!file->isSequential())
        return file;
    // chunk by chunk, so that memory stays flat however long the stream is
    auto copy = std::make_unique<QTemporaryFile>();
    if (!copy->open()) {
        *error = QStringLiteral("no temporary file for the copy of the stream: %1").arg(copy->errorString());
        return nullptr;
    }
    for (;;) {
        const QByteArray chunk = file->read(kChunk);
        if (chunk.isEmpty())
            break;
        if (copy->write(chunk) != chunk.size()) {
            *error = QStringLiteral("the copy of the stream in %1 is incomplete: %2")
                         .arg(copy->fileName(), copy->errorString());
            return nullptr;
        }
    }
    if (file->error() != QFileDevice::NoError) {
        *error = file->errorString();
        return nullptr;
    }
    if (!copy->flush() || !copy->seek(0)) {
        *error = QStringLiteral("the copy of the stream in %1 cannot be read: %2")
                     .arg(copy->fileName(), copy->errorString());
        return nullptr;
    }
    return copy;
}
