#include "adapters/sql/project_statements.h"

#include "core/record/columns.h"

namespace project_statements {

namespace {

const QString kProjects = QStringLiteral("选型项目");
const QString kLines = QStringLiteral("项目测点");
const QString kProjectColumns = QStringLiteral("项目编号,项目名称,客户,现场,日期,备注");
const QString kLineColumns = QStringLiteral("项目编号,位号,选型编号,数量,备注");

QVariantList valuesOf(const Project& p)
{
    return {p.number, p.name, p.customer, p.site, p.date, p.notes};
}

// A null text would be bound as NULL; the tables keep empty texts instead.
QString text(const QString& value)
{
    return value.isNull() ? QStringLiteral("") : value;
}

} // namespace

const QStringList& tableNames()
{
    static const QStringList names = {kProjects, kLines};
    return names;
}

const std::vector<ProjectColumn>& columnsOf(const QString& table)
{
    static const std::vector<ProjectColumn> projects = {
        {"项目编号", false, true},
        {"项目名称", false, false},
        {"客户", false, false},
        {"现场", false, false},
        {"日期", false, false},
        {"备注", false, false},
    };
    static const std::vector<ProjectColumn> lines = {
        {"项目编号", false, true},
        {"位号", false, true},
        {"选型编号", false, false},
        {"数量", true, false},
        {"备注", false, false},
    };
    return table == kProjects ? projects : lines;
}

std::vector<Statement> createTables()
{
    return {
        {QStringLiteral("create table if not exists 选型项目 (项目编号 text not null primary key, "
                        "项目名称 text not null, 客户 text, 现场 text, 日期 text, 备注 text)"),
            {}},
        // the selection is named by its number only: deleting it must not break the line
        {QStringLiteral("create table if not exists 项目测点 (项目编号 text not null, 位号 text not null, "
                        "选型编号 text not null, 数量 integer not null, 备注 text, primary key (项目编号, 位号))"),
            {}},
    };
}

QString numberPrefix(const QString& day)
{
    return QStringLiteral("XM") + day;
}

QString projectNumber(const QString& day, int sequence)
{
    return numberPrefix(day) + QStringLiteral("%1").arg(sequence, 3, 10, QChar(u'0'));
}

Statement numbersOfDay(const QString& day)
{
    const statements::KeyRange range = statements::dayRange(numberPrefix(day));
    return {QStringLiteral("select 项目编号 from 选型项目 where 项目编号 >= ? and 项目编号 < ?"),
        {range.from, range.before}};
}

Statement insertProject(const Project& project)
{
    return {QStringLiteral("insert into 选型项目 (%1) values (?,?,?,?,?,?)").arg(kProjectColumns), valuesOf(project)};
}

Statement insertProjectUnlessStored(const Project& project)
{
    Statement s = insertProject(project);
    s.sql += QStringLiteral(" on conflict (项目编号) do nothing");
    return s;
}

Statement fetchProject(const QString& number)
{
    return {QStringLiteral("select %1 from 选型项目 where 项目编号 = ?").arg(kProjectColumns), {number}};
}

Statement listProjects(const QString& search, statements::Match match)
{
    if (search.isEmpty())
        return {QStringLiteral("select %1 from 选型项目 order by 项目编号 desc").arg(kProjectColumns), {}};
    const QString op = match == statements::Match::CaseFoldingLike ? QStringLiteral("like") : QStringLiteral("ilike");
    const QString pattern = u'%' + statements::likeLiteral(search) + u'%';
    return {QStringLiteral("select %1 from 选型项目 where 项目编号 %2 ? escape '\\' or 项目名称 %2 ? escape '\\' "
                           "or 客户 %2 ? escape '\\' or 现场 %2 ? escape '\\' order by 项目编号 desc")
                .arg(kProjectColumns, op),
        {pattern, pattern, pattern, pattern}};
}

Statement allProjects()
{
    return {QStringLiteral("select %1 from 选型项目 order by 项目编号").arg(kProjectColumns), {}};
}

Statement updateProject(const Project& project)
{
    return {QStringLiteral("update 选型项目 set 项目名称 = ?, 客户 = ?, 现场 = ?, 备注 = ? where 项目编号 = ?"),
        {text(project.name), text(project.customer), text(project.site), text(project.notes), project.number}};
}

Statement projectLines(const QString& number)
{
    return {QStringLiteral("select l.位号, l.选型编号, l.数量, l.备注, s.* from 项目测点 l "
                           "left join %1 s on s.选型编号 = l.选型编号 where l.项目编号 = ?")
                .arg(kSelectionTable),
        {number}};
}

Statement addLine(const QString& projectNo, const ProjectLine& line)
{
    return {QStringLiteral("insert into 项目测点 (%1) select ?, ?, ?, ?, ? "
                           "where exists (select 1 from 选型项目 where 项目编号 = ?) "
                           "and exists (select 1 from %2 where 选型编号 = ?)")
                .arg(kLineColumns, kSelectionTable),
        {projectNo, text(line.tag), text(line.selectionNo), line.quantity, text(line.note), projectNo,
            text(line.selectionNo)}};
}

Statement insertLineUnlessStored(const StoredProjectLine& line)
{
    return {QStringLiteral("insert into 项目测点 (%1) values (?, ?, ?, ?, ?) on conflict (项目编号, 位号) do nothing")
                .arg(kLineColumns),
        {line.projectNo, text(line.tag), text(line.selectionNo), line.quantity, text(line.note)}};
}

Statement lineExists(const QString& projectNo, const QString& tag)
{
    return {QStringLiteral("select 位号 from 项目测点 where 项目编号 = ? and 位号 = ?"), {projectNo, tag}};
}

Statement projectExists(const QString& number)
{
    return {QStringLiteral("select 项目编号 from 选型项目 where 项目编号 = ?"), {number}};
}

Statement selectionExists(const QString& number)
{
    return statements::exists(number);
}

Statement removeLine(const QString& projectNo, const QString& tag)
{
    return {QStringLiteral("delete from 项目测点 where 项目编号 = ? and 位号 = ?"), {projectNo, tag}};
}

Statement updateLine(const QString& projectNo, const QString& tag, const QString& newTag, int quantity)
{
    return {QStringLiteral("update 项目测点 set 位号 = ?, 数量 = ? where 项目编号 = ? and 位号 = ?"),
        {text(newTag), quantity, projectNo, tag}};
}

Statement projectsUsing(const QString& selectionNo)
{
    return {
        QStringLiteral("select distinct 项目编号 from 项目测点 where 选型编号 = ? order by 项目编号"), {selectionNo}};
}

Statement allLines()
{
    return {QStringLiteral("select %1 from 项目测点 order by 项目编号, 位号").arg(kLineColumns), {}};
}

} // namespace project_statements
