#include "core/ports/message_kinds.h"

QString applicationTitle()
{
    return QStringLiteral("Corvane仪表集团仪表选型系统（V1.0）");
}

ShowBoxKind showBoxKind(MessageKind kind)
{
    using Icon = ShowBoxKind::Icon;
    switch (kind) {
    case MessageKind::Information: return {applicationTitle() + QStringLiteral("提示:"), Icon::Exclamation, false};
    case MessageKind::Question: return {applicationTitle() + QStringLiteral("询问?"), Icon::Question, true};
    case MessageKind::Warning: return {applicationTitle() + QStringLiteral("谨告!"), Icon::Stop, true};
    case MessageKind::Error: break;
    }
    return {applicationTitle() + QStringLiteral("错误提示!"), Icon::Stop, false};
}
