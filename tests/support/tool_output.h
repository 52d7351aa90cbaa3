#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// What a tool (pdfinfo, pdftotext) wrote on its standard output; nothing when it
// could not run or failed, so a check on the text fails rather than the test hanging.
inline QString toolOutput(const QString& tool, const QStringList& arguments)
{
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}
