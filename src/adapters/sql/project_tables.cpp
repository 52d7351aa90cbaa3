#include "adapters/sql/project_tables.h"

#include "adapters/sql/project_statements.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace {

bool isWholeNumber(const QString& type)
{
    const QString t = type.toLower();
    return t == u"integer" || t == u"bigint" || t == u"smallint";
}

QString errorText(const QSqlError& error)
{
    return error.databaseText().isEmpty() ? error.text() : error.databaseText();
}

// The tables that are missing; nullopt when one cannot be read or has not the
// program's shape (the reason in `problem`).
std::optional<QStringList> missingTables(const ColumnReader& read, Qt::CaseSensitivity names, QString* problem)
{
    QStringList missing;
    for (const QString& table : project_statements::tableNames()) {
        const std::optional<std::vector<TableColumn>> found = read(table, problem);
        if (!found)
            return std::nullopt;
        if (found->empty()) {
            missing << table;
            continue;
        }
        *problem = projectTableProblem(table, *found, names);
        if (!problem->isEmpty())
            return std::nullopt;
    }
    return missing;
}

} // namespace

QString projectTableProblem(const QString& table, const std::vector<TableColumn>& found, Qt::CaseSensitivity names)
{
    const std::vector<project_statements::ProjectColumn>& expected = project_statements::columnsOf(table);
    const auto wrong = [&](const QString& what) {
        return QStringLiteral("%1表的结构与本程序不符（%2），本程序不使用也不修改此表").arg(table, what);
    };
    if (found.size() != expected.size())
        return wrong(QStringLiteral("有%1列，应为%2列").arg(found.size()).arg(expected.size()));
    QStringList keys;
    for (size_t i = 0; i < found.size(); ++i) {
        const QString name = QString::fromUtf8(expected[i].name);
        if (found[i].name.compare(name, names) != 0)
            return wrong(QStringLiteral("第%1列为“%2”，应为“%3”").arg(i + 1).arg(found[i].name, name));
        if (expected[i].integer && !isWholeNumber(found[i].type))
            return wrong(QStringLiteral("“%1”列为%2型，应为整数型（INTEGER）").arg(name, found[i].type));
        if (!expected[i].integer && !found[i].text)
            return wrong(QStringLiteral("“%1”列为%2型，应为文本型（TEXT）").arg(name, found[i].type));
        if (found[i].key != expected[i].key) {
            for (const project_statements::ProjectColumn& c : expected) {
                if (c.key)
                    keys << QString::fromUtf8(c.name);
            }
            return wrong(QStringLiteral("主键应为“%1”").arg(keys.join(QStringLiteral("”“"))));
        }
    }
    return QString();
}

QString prepareProjectTables(
    QSqlDatabase db, bool mayWrite, const ColumnReader& read, Qt::CaseSensitivity names, ProjectTablesState* state)
{
    *state = {};
    QString problem;
    std::optional<QStringList> missing = missingTables(read, names, &problem);
    if (!missing)
        return problem;
    if (missing->isEmpty()) {
        state->present = true;
        return QString();
    }
    if (!mayWrite) {
        state->missing = QStringLiteral("数据库中没有项目表（%1），只读的数据库不能添加").arg(missing->join(u'、'));
        return QString();
    }
    QString refused;
    for (const Statement& create : project_statements::createTables()) {
        QSqlQuery q(db);
        if (!q.exec(create.sql) && refused.isEmpty())
            refused = errorText(q.lastError());
    }
    // another program may have made them at the same moment: what counts is what is there now
    missing = missingTables(read, names, &problem);
    if (!missing)
        return problem;
    if (!missing->isEmpty()) {
        state->missing = QStringLiteral("数据库中没有项目表（%1），也不能添加：%2").arg(missing->join(u'、'), refused);
        return QString();
    }
    state->present = true;
    return QString();
}
