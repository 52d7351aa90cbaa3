#include "apps/common/results_file.h"

#include <QFileInfo>

QString resultsFileWriteFault(const QString& results, const QString& reason)
{
    return QStringLiteral("无法写入结果文件 %1：%2").arg(results, reason);
}

QString candidatesFileWriteFault(const QString& candidates, const QString& reason)
{
    return QStringLiteral("无法写入规格比较文件 %1：%2").arg(candidates, reason);
}

QString resultsFileClash(const QString& results, const QString& points, const QString& storeFile)
{
    const QString target = QFileInfo(results).canonicalFilePath();
    if (target.isEmpty())
        return QString(); // a new file
    if (target == QFileInfo(points).canonicalFilePath())
        return QStringLiteral("结果文件 %1 就是测点文件：写入会覆盖测点").arg(results);
    if (!storeFile.isEmpty() && target == QFileInfo(storeFile).canonicalFilePath())
        return QStringLiteral("结果文件 %1 就是数据库 %2：写入会覆盖已保存的选型").arg(results, storeFile);
    return QString();
}
