#include "adapters/report/pdf_file.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPdfWriter>
#include <QSaveFile>

QString writePdfFile(const QString& path, const std::function<QString(QPdfWriter&)>& draw)
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return QStringLiteral("a PDF needs a QGuiApplication for its fonts");
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    {
        QPdfWriter writer(&file);
        writer.setCreator(QStringLiteral("flowsel"));
        if (const QString reason = draw(writer); !reason.isEmpty()) {
            file.cancelWriting();
            return reason;
        }
    }
    // The PDF writer does not look at what its writes return, and commit() does not
    // see a failure of the last buffered block: a full disk shows only here. The
    // file is then dropped, so no cut-off PDF is left behind.
    if (!file.flush() || file.error() != QFileDevice::NoError) {
        // a write cut short leaves no system message: "Unknown error"
        const QString reason = QStringLiteral("写入不完整，磁盘可能已满（%1）").arg(file.errorString());
        file.cancelWriting();
        return reason;
    }
    if (!file.commit())
        return file.errorString();
    return QString();
}
