#include "apps/desktop/menu_documents.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

QString documentFileProblem(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return QStringLiteral("找不到文件 %1").arg(QDir::toNativeSeparators(path));
    if (!info.isFile())
        return QStringLiteral("%1 不是文件").arg(QDir::toNativeSeparators(path));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("文件 %1 无法读取（%2）").arg(QDir::toNativeSeparators(path), file.errorString());
    return {};
}

QString documentProblemMessage(const QString& title, const QString& reason)
{
    return QStringLiteral("无法显示“%1”：%2。").arg(title, reason);
}
