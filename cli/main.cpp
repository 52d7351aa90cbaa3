#include "cli_command.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    auto writeLine = [](std::FILE* stream) {
        return [stream](const QString& line) {
            const QByteArray bytes = line.toUtf8();
            std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
            std::fputc('\n', stream);
        };
    };
    const int status = runFlowselCli(app.arguments().mid(1), writeLine(stdout), writeLine(stderr));
    std::fflush(stdout);
    return status;
}
