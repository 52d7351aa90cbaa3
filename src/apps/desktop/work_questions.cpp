#include "apps/desktop/work_questions.h"

#include "apps/desktop/widget_platform.h"
#include "core/ports/message_kinds.h"

#include <QPushButton>

namespace {

WorkQuestion::Handler g_handler;

// Shows the box, or hands it to the test's handler; the button clicked, or nothing
// when the box was closed without one.
QAbstractButton* ask(QMessageBox& box)
{
    if (g_handler)
        return g_handler(box);
    box.exec();
    return box.clickedButton();
}

} // namespace

namespace WorkQuestion {

void setHandler(Handler handler)
{
    g_handler = std::move(handler);
}

bool confirmDelete(QWidget* parent, const QString& number)
{
    if (WidgetPlatform::scripted() && !g_handler)
        return true;
    QMessageBox box(QMessageBox::Question, applicationTitle(),
                    QStringLiteral("确定删除选型编号（%1）的选型记录吗？删除后不能恢复。").arg(number),
                    QMessageBox::NoButton, parent);
    QPushButton* remove = box.addButton(QStringLiteral("删除"), QMessageBox::DestructiveRole);
    QPushButton* cancel = box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
    // a slip of the mouse or an Enter too many keeps the record
    box.setDefaultButton(cancel);
    box.setEscapeButton(cancel);
    return ask(box) == remove;
}

} // namespace WorkQuestion
