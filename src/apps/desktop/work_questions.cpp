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

namespace {

BeforeClosing askSaveDiscardCancel(QWidget* parent, const QString& text, const QString& saveCaption)
{
    if (WidgetPlatform::scripted() && !g_handler)
        return BeforeClosing::Discard; // a script's close is meant as written
    QMessageBox box(QMessageBox::Warning, applicationTitle(), text, QMessageBox::NoButton, parent);
    QPushButton* save = box.addButton(saveCaption, QMessageBox::AcceptRole);
    QPushButton* discard = box.addButton(QStringLiteral("不保存"), QMessageBox::DestructiveRole);
    QPushButton* cancel = box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
    box.setDefaultButton(save);
    box.setEscapeButton(cancel);
    QAbstractButton* clicked = ask(box);
    if (clicked == save)
        return BeforeClosing::Save;
    return clicked == discard ? BeforeClosing::Discard : BeforeClosing::Cancel;
}

} // namespace

BeforeClosing askBeforeClosing(QWidget* parent, const QString& number)
{
    return askSaveDiscardCancel(parent,
        QStringLiteral("选型编号（%1）的选型结果还未保存，关闭前要保存吗？").arg(number), QStringLiteral("保存"));
}

BeforeClosing askBeforeExit(QWidget* parent, const QStringList& numbers)
{
    return askSaveDiscardCancel(parent,
        QStringLiteral("以下选型结果还未保存：\n%1\n退出前要保存吗？").arg(numbers.join(QStringLiteral("、"))),
        QStringLiteral("全部保存"));
}

StoreAnswer askAboutStore(QWidget* parent, const QString& shownLocation, const QString& reason, bool missing)
{
    const QString text = missing
        ? QStringLiteral("找不到选型数据库：%1\n可以新建一个空的选型数据库，或选择其他数据库文件。").arg(shownLocation)
        : QStringLiteral("选型数据库无法使用：%1\n(%2)\n请选择其他数据库文件。").arg(shownLocation, reason);
    QMessageBox box(missing ? QMessageBox::Warning : QMessageBox::Critical, applicationTitle(), text,
        QMessageBox::NoButton, parent);
    QPushButton* create = missing ? box.addButton(QStringLiteral("新建数据库"), QMessageBox::AcceptRole) : nullptr;
    QPushButton* choose = box.addButton(QStringLiteral("选择其他数据库…"), QMessageBox::ActionRole);
    QPushButton* leave = box.addButton(QStringLiteral("退出"), QMessageBox::RejectRole);
    box.setDefaultButton(create ? create : choose);
    box.setEscapeButton(leave);
    QAbstractButton* clicked = ask(box);
    if (clicked && clicked == create)
        return StoreAnswer::Create;
    return clicked == choose ? StoreAnswer::Choose : StoreAnswer::Exit;
}

StoreAnswer askAboutOldDatabase(QWidget* parent, qint64 rows)
{
    QMessageBox box(QMessageBox::Question, applicationTitle(),
        QStringLiteral("这是旧版选型软件的数据库（Access）。要把其中的 %1 条选型导入新的数据库吗？").arg(rows),
        QMessageBox::NoButton, parent);
    QPushButton* import = box.addButton(QStringLiteral("导入"), QMessageBox::AcceptRole);
    QPushButton* choose = box.addButton(QStringLiteral("选择其他数据库…"), QMessageBox::ActionRole);
    QPushButton* leave = box.addButton(QStringLiteral("退出"), QMessageBox::RejectRole);
    box.setDefaultButton(import);
    box.setEscapeButton(leave);
    QAbstractButton* clicked = ask(box);
    if (clicked && clicked == import)
        return StoreAnswer::Import;
    return clicked == choose ? StoreAnswer::Choose : StoreAnswer::Exit;
}

void tell(QWidget* parent, QMessageBox::Icon icon, const QString& text)
{
    if (WidgetPlatform::scripted() && !g_handler)
        return;
    QMessageBox box(icon, applicationTitle(), text, QMessageBox::Ok, parent);
    ask(box);
}

bool confirmDelete(QWidget* parent, const QString& number)
{
    return confirmDelete(parent, number, {});
}

bool confirmDelete(QWidget* parent, const QString& number, const QStringList& projects)
{
    if (WidgetPlatform::scripted() && !g_handler)
        return true;
    const QString text = projects.isEmpty()
        ? QStringLiteral("确定删除选型编号（%1）的选型记录吗？删除后不能恢复。").arg(number)
        : QStringLiteral("选型编号（%1）用于项目 %2，删除后项目中的该行将显示“已删除”。\n"
                         "确定删除选型编号（%1）的选型记录吗？删除后不能恢复。")
              .arg(number, projects.join(QStringLiteral("、")));
    QMessageBox box(QMessageBox::Question, applicationTitle(), text, QMessageBox::NoButton, parent);
    QPushButton* remove = box.addButton(QStringLiteral("删除"), QMessageBox::DestructiveRole);
    QPushButton* cancel = box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
    // a slip of the mouse or an Enter too many keeps the record
    box.setDefaultButton(cancel);
    box.setEscapeButton(cancel);
    return ask(box) == remove;
}

} // namespace WorkQuestion
