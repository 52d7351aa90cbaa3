#include "adapters/sql/table_shape.h"

#include "core/record/columns.h"

QString tableShapeProblem(const std::vector<TableColumn>& found, Qt::CaseSensitivity names)
{
    const QString table = kSelectionTable.toString();
    if (found.empty())
        return QStringLiteral("数据库中没有%1表").arg(table);
    const auto wrong = [&](const QString& what) {
        return QStringLiteral("%1表的结构与本程序不符（%2），本程序不使用也不修改此表").arg(table, what);
    };
    if (found.size() != static_cast<size_t>(kColumnCount))
        return wrong(QStringLiteral("有%1列，应为%2列").arg(found.size()).arg(kColumnCount));
    for (size_t i = 0; i < found.size(); ++i) {
        const QString name = QString::fromUtf8(columns()[i].name);
        if (found[i].name.compare(name, names) != 0)
            return wrong(QStringLiteral("第%1列为“%2”，应为“%3”").arg(i + 1).arg(found[i].name, name));
        if (!found[i].text)
            return wrong(QStringLiteral("“%1”列为%2型，应为文本型（TEXT）").arg(name, found[i].type));
        if (found[i].key != (i == 0))
            return wrong(QStringLiteral("主键应为“%1”一列").arg(QString::fromUtf8(columns()[0].name)));
    }
    return QString();
}
