#include "message_kinds.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>

// A minimal window until the desktop windows exist; the selection logic already
// runs headless through flowsel-cli.
int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(applicationTitle());
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Corvane仪表集团气体流量计选型软件（V1.0）"));
    auto* label = new QLabel(QStringLiteral("选型窗口尚在建设中；请使用 flowsel-cli 运行选型脚本。"));
    label->setAlignment(Qt::AlignCenter);
    window.setCentralWidget(label);
    window.resize(800, 500);
    window.show();
    return app.exec();
}
