#include "apps/cli/cli_command.h"
#include "apps/cli/event_writer.h"
#include "adapters/report/font_substitutions.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <cstdio>
#include <cstring>
#include <memory>

#include <unistd.h>

int main(int argc, char* argv[])
{
    // Drawing the selection sheet needs the fonts of a GUI application; no screen.
    bool drawing = false;
    for (int i = 1; i < argc; ++i)
        drawing = drawing || std::strcmp(argv[i], "sheet") == 0;
    if (drawing && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (drawing && qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        // a GUI application wants a private runtime folder; a session has one, a batch run may not
        const QString runtime = QDir::temp().filePath(QStringLiteral("flowsel-runtime-%1").arg(::getuid()));
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
    }
    std::unique_ptr<QCoreApplication> owner;
    if (drawing)
        owner = std::make_unique<QGuiApplication>(argc, argv);
    else
        owner = std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication& app = *owner;
    if (drawing)
        installFontSubstitutions();
    return runFlowselCli(app.arguments().mid(1), lineWriter(stdout), lineWriter(stderr));
}
