#include "workspace/store_messages.h"

#include "core/ports/platform.h"
#include "core/ports/selection_store.h"

QString dataErrorText(const QString& statement, const QString& error)
{
    return QStringLiteral("数据错误!\r\n(%1)\r\n(%2)").arg(statement, error);
}

QString queryErrorText(const QString& statement, const QString& error)
{
    return QStringLiteral("数据查询错误!\r\n(%1)\r\n(%2)").arg(statement, error);
}

QString connectionLostText(const QString& statement, const QString& error)
{
    return QStringLiteral(
        "与数据库服务器的连接已断开，本次操作未完成；服务器恢复后请重试，程序将自动重新连接。\r\n(%1)\r\n(%2)")
        .arg(statement, error);
}

void showDataError(Platform& ui, const StoreError& error)
{
    if (error.kind == StoreError::Kind::Disconnected)
        ui.showBox(MessageKind::Error, connectionLostText(error.statement, error.message));
    else
        ui.showBox(MessageKind::Error, dataErrorText(error.statement, error.message));
}

void showQueryError(Platform& ui, const StoreError& error)
{
    if (error.kind == StoreError::Kind::Disconnected)
        ui.showBox(MessageKind::Error, connectionLostText(error.statement, error.message));
    else
        ui.showBox(MessageKind::Error, queryErrorText(error.statement, error.message));
}

QString notSavedMessage()
{
    return QStringLiteral("系统还未保存该编号选型信息！");
}

QString notSavedMessage(const QString& number)
{
    return QStringLiteral("系统还未保存该编号（%1）选型信息！").arg(number);
}
