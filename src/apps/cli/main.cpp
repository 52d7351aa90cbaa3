#include "adapters/access/access_child.h"
#include "adapters/report/font_substitutions.h"
#include "apps/cli/cli_command.h"
#include "apps/common/event_writer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>

int main(int argc, char* argv[])
{
    if (const std::optional<int> status = runAccessChildIfAsked(argc, argv))
        return *status;
    // Drawing the selection sheet needs the fonts of a GUI application; no screen.
    bool drawing = false;
    for (int i = 1; i < argc; ++i)
        drawing = drawing || std::strcmp(argv[i], "sheet") == 0 || std::strcmp(argv[i], "code-key") == 0;
    if (drawing && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // A GUI application wants a private runtime folder; a session has one, a batch
    // run may not. Then it gets a new one of its own (made private, under a name no
    // one else can have taken first), removed after the application object.
    std::unique_ptr<QTemporaryDir> runtime;
    if (drawing && qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        runtime = std::make_unique<QTemporaryDir>(QDir::temp().filePath(QStringLiteral("flowsel-runtime-XXXXXX")));
        if (runtime->isValid())
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime->path()));
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
