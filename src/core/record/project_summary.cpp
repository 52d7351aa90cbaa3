#include "core/record/project_summary.h"

#include "core/record/columns.h"

#include <algorithm>

namespace {

QString range(const StoredRow& row, Field low, Field high)
{
    const QString from = row.value(columnOf(low)).trimmed();
    const QString to = row.value(columnOf(high)).trimmed();
    if (from.isEmpty() && to.isEmpty())
        return QString();
    return from + u'~' + to;
}

} // namespace

QString deletedSelectionText()
{
    return QStringLiteral("已删除");
}

QString oddQuantityText(const QString& stored)
{
    return QStringLiteral("%1（数量无效）").arg(stored);
}

ProjectLineView viewOf(const ProjectLine& line)
{
    ProjectLineView view;
    view.tag = line.tag;
    view.selectionNo = line.selectionNo;
    view.quantity = line.quantity;
    view.quantityValid = line.quantityValid();
    view.quantityText = line.quantityValid() ? QString::number(line.quantity) : oddQuantityText(line.oddQuantity);
    view.deleted = line.deleted();
    if (view.deleted) {
        view.modelCode = deletedSelectionText();
        return view;
    }
    const StoredRow& row = *line.selection;
    view.modelCode = row.value(columnOf(Derived::ModelCode));
    view.medium = row.value(columnOf(Field::Medium));
    view.stdFlowRange = range(row, Field::StdFlowMin, Field::StdFlowMax);
    view.pressureRange = range(row, Field::PabsMin, Field::PabsMax);
    view.sizeSpec = row.value(columnOf(Field::Size));
    return view;
}

const QStringList& projectLineHeaders()
{
    static const QStringList headers = {
        QStringLiteral("位号"),
        QStringLiteral("选型编号"),
        QStringLiteral("型号"),
        QStringLiteral("介质"),
        QStringLiteral("标况流量范围"),
        QStringLiteral("绝压范围"),
        QStringLiteral("通径规格"),
        QStringLiteral("数量"),
    };
    return headers;
}

QStringList projectLineTexts(const ProjectLineView& line)
{
    return {line.tag, line.selectionNo, line.modelCode, line.medium, line.stdFlowRange, line.pressureRange,
        line.sizeSpec, line.quantityText};
}

std::vector<ModelTotal> totalsByModel(const std::vector<ProjectLine>& lines)
{
    std::vector<ModelTotal> totals;
    for (const ProjectLine& line : lines) {
        if (line.deleted() || !line.quantityValid())
            continue;
        const QString code = line.selection->value(columnOf(Derived::ModelCode));
        auto it
            = std::find_if(totals.begin(), totals.end(), [&code](const ModelTotal& t) { return t.modelCode == code; });
        if (it == totals.end())
            totals.push_back({code, line.quantity});
        else
            it->quantity += line.quantity;
    }
    return totals;
}
