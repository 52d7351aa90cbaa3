#include "adapters/report/pdf_file.h"

#include "adapters/files/atomic_file.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPdfWriter>

QString writePdfFile(const QString& path, const std::function<QString(QPdfWriter&)>& draw)
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return QStringLiteral("a PDF needs a QGuiApplication for its fonts");
    AtomicFile file(path);
    if (!file.open())
        return file.errorString();
    {
        QPdfWriter writer(&file.device());
        writer.setCreator(QStringLiteral("flowsel"));
        if (const QString reason = draw(writer); !reason.isEmpty()) {
            file.cancel();
            return reason;
        }
    }
    // The PDF writer does not look at what its writes return: a full disk shows only
    // here, and then no cut-off PDF is left behind.
    if (!file.commit())
        return file.errorString();
    return QString();
}
