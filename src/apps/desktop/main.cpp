#include "apps/desktop/desktop.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    return runDesktop(app);
}
