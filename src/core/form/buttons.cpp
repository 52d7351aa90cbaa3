#include "core/form/buttons.h"

QString buttonCaption(Button button)
{
    switch (button) {
    case Button::ComputeFlow: return QStringLiteral("计算工况流量");
    case Button::Select: return QStringLiteral("选型");
    case Button::Save: return QStringLiteral("保存");
    case Button::Print: return QStringLiteral("打印");
    }
    return QString();
}
