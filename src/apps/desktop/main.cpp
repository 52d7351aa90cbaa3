#include "adapters/access/access_child.h"
#include "apps/desktop/desktop.h"

#include <QApplication>

#include <optional>

int main(int argc, char* argv[])
{
    // the reader of an Access file, started by the program itself, needs no screen
    if (const std::optional<int> status = runAccessChildIfAsked(argc, argv))
        return *status;
    QApplication app(argc, argv);
    return runDesktop(app);
}
