#include "apps/common/results_file.h"

#include "adapters/files/atomic_file.h"

#include <QFile>

#include <sys/stat.h>

namespace {

// Writing one more time to a character device changes no file, so two outputs may
// share it.
bool isCharacterDevice(const QString& path)
{
    struct stat st { };
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISCHR(st.st_mode);
}

} // namespace

QString resultsFileWriteFault(const QString& results, const QString& reason)
{
    return QStringLiteral("无法写入结果文件 %1：%2").arg(results, reason);
}

QString candidatesFileWriteFault(const QString& candidates, const QString& reason)
{
    return QStringLiteral("无法写入规格比较文件 %1：%2").arg(candidates, reason);
}

QString batchFilesClash(
    const QString& points, const QString& storeFile, const QString& results, const QString& candidates)
{
    const QString pointsFile = resolvedPath(points);
    const QString store = storeFile.isEmpty() ? QString() : resolvedPath(storeFile);
    struct Output {
        const QString& path;
        const char* what;
    };
    for (const Output& o : {Output {results, "结果文件"}, Output {candidates, "规格比较文件"}}) {
        if (o.path.isEmpty())
            continue;
        const QString target = resolvedPath(o.path);
        if (isCharacterDevice(target))
            continue;
        const QString what = QString::fromUtf8(o.what);
        if (target == pointsFile)
            return QStringLiteral("%1 %2 就是测点文件：写入会覆盖测点").arg(what, o.path);
        if (!store.isEmpty() && target == store)
            return QStringLiteral("%1 %2 就是数据库 %3：写入会覆盖已保存的选型").arg(what, o.path, storeFile);
    }
    if (!results.isEmpty() && !candidates.isEmpty()) {
        const QString target = resolvedPath(results);
        if (target == resolvedPath(candidates) && !isCharacterDevice(target))
            return QStringLiteral("规格比较文件 %1 就是结果文件").arg(candidates);
    }
    return QString();
}
