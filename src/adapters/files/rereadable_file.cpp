#include "adapters/files/rereadable_file.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QStorageInfo>
#include <QTemporaryFile>

#include <algorithm>

namespace {

constexpr qint64 kChunk = 64 * 1024;
constexpr qint64 kMiB = 1024 * 1024;
constexpr qint64 kLargestCopy = 1024 * kMiB;
constexpr qint64 kFreeSpaceMargin = 64 * kMiB;

QString bytesText(qint64 bytes)
{
    const int decimals = bytes % kMiB == 0 ? 0 : 1; // "1 GB", "16 MB", "15.9 MB"
    return QLocale::c().formattedDataSize(bytes, decimals, QLocale::DataSizeTraditionalFormat);
}

QString tooLong(qint64 limit, const QString& folder)
{
    return QStringLiteral("内容超过 %1，无法读入（管道等流式输入须先复制到临时目录 %2，"
                          "上限为 %3 与该目录可用空间减去 %4 两者中的较小者）")
        .arg(bytesText(limit), QDir::toNativeSeparators(folder), bytesText(kLargestCopy), bytesText(kFreeSpaceMargin));
}

} // namespace

qint64 streamCopyLimit(const QString& folder)
{
    const QStorageInfo storage(folder);
    if (!storage.isValid() || storage.bytesAvailable() < 0)
        return kLargestCopy;
    return std::clamp(storage.bytesAvailable() - kFreeSpaceMargin, qint64(0), kLargestCopy);
}

std::unique_ptr<QIODevice> openRereadable(const QString& path, QString* error, qint64 limit)
{
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::ReadOnly)) {
        *error = file->errorString();
        return nullptr;
    }
    if (!file->isSequential())
        return file;
    const QString folder = QDir::tempPath();
    if (limit < 0)
        limit = streamCopyLimit(folder);
    // chunk by chunk, so that memory stays flat however long the stream is
    auto copy = std::make_unique<QTemporaryFile>();
    if (!copy->open()) {
        *error = QStringLiteral("no temporary file for the copy of the stream: %1").arg(copy->errorString());
        return nullptr;
    }
    for (qint64 copied = 0;;) {
        // one byte beyond the limit tells a stream of exactly `limit` bytes from a longer one
        const QByteArray chunk = file->read(std::min(kChunk, limit + 1 - copied));
        if (chunk.isEmpty())
            break;
        copied += chunk.size();
        if (copied > limit) {
            *error = tooLong(limit, folder);
            return nullptr;
        }
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
