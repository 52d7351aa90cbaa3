#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>

class QWidget;

// The questions the program asks before work is lost. They are for the person at the
// screen: a scripted run asks none, since its line is the user's confirmed intent.
namespace WorkQuestion {

// "确定删除选型编号（N）的选型记录吗？删除后不能恢复。" with 删除 and 取消, 取消 the
// default; true when the record may go.
bool confirmDelete(QWidget* parent, const QString& number);
// The same for a selection that lines of the projects `projects` use: the question
// names them and tells that their lines will show "已删除" (none: as above).
bool confirmDelete(QWidget* parent, const QString& number, const QStringList& projects);

// What to do with unsaved results before a window or the program closes.
enum class BeforeClosing { Save, Discard, Cancel };

// Closing one window with an unsaved result: 保存 / 不保存 / 取消, 保存 the default.
BeforeClosing askBeforeClosing(QWidget* parent, const QString& number);
// Exiting with unsaved results in the windows numbered `numbers`: one question,
// 全部保存 / 不保存 / 取消, 全部保存 the default.
BeforeClosing askBeforeExit(QWidget* parent, const QStringList& numbers);

// A store the program cannot start on: make the missing file (as init-db does),
// choose another, or leave the program. `reason` tells why it cannot be used.
enum class StoreAnswer { Create, Choose, Exit, Import };
StoreAnswer askAboutStore(QWidget* parent, const QString& shownLocation, const QString& reason, bool missing);
// The store is the old program's Access database holding `rows` selections: import
// them into a new store (导入, the default), choose another store, or leave.
StoreAnswer askAboutOldDatabase(QWidget* parent, qint64 rows);

// A box that only tells something (how an import went), shown as the questions are:
// handed to the test's handler while there is one, answered at once in a scripted run.
void tell(QWidget* parent, QMessageBox::Icon icon, const QString& text);

// Tests answer the questions here: while a handler is set, every question is built
// and handed to it, scripted run or not, and its result is the button clicked.
using Handler = std::function<QAbstractButton*(QMessageBox& box)>;
void setHandler(Handler handler);

} // namespace WorkQuestion
