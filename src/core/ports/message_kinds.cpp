#include "core/ports/message_kinds.h"

QString applicationTitle()
{
    return QStringLiteral("Corvane仪表集团仪表选型系统（V1.0）");
}

ShowBoxKind showBoxKind(int kind)
{
    using Icon = ShowBoxKind::Icon;
    switch (kind) {
    case 1: return {applicationTitle() + QStringLiteral("提示:"), Icon::Exclamation, false};
    case 2: return {applicationTitle() + QStringLiteral("询问?"), Icon::Question, true};
    case 3: return {applicationTitle() + QStringLiteral("谨告!"), Icon::Stop, true};
    default: return {applicationTitle() + QStringLiteral("错误提示!"), Icon::Stop, false};
    }
}
