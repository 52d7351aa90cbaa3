#include "adapters/sql/statements.h"

#include "core/record/columns.h"


namespace {

QString quoted(const char* name)
{
    return QStringLiteral("\"%1\"").arg(QString::fromUtf8(name));
}

} // namespace

namespace statements {

Statement createTable()
{
    QStringList definitions;
    for (const Column& c : columns())
        definitions << quoted(c.name) + (definitions.isEmpty() ? QStringLiteral(" text not null primary key")
                                                               : QStringLiteral(" text"));
    return {QStringLiteral("create table if not exists 选型输出 (%1)").arg(definitions.join(u',')), {}};
}

Statement listPage(int offset, int limit)
{
    return {QStringLiteral("select * from 选型输出  order by 选型编号 desc limit ? offset ?"), {limit, offset}};
}

// The range of the day's eleven-digit numbers lets both engines read the key's index
// instead of every row, which on a server's table of a million selections is the
// difference between a moment and seconds at every new window.
Statement highestOfDay(const QString& day)
{
    return {QStringLiteral("select MAX(选型编号) from 选型输出 where 选型编号 between ? and ? and substr(选型编号,1,8)=? "),
            {day + QStringLiteral("000"), day + QStringLiteral("999"), day}};
}

Statement numbersOfDay(const QString& day)
{
    return {QStringLiteral("select 选型编号 from 选型输出 where 选型编号 between ? and ? and substr(选型编号,1,8)=?"),
            {day + QStringLiteral("000"), day + QStringLiteral("999"), day}};
}

Statement insert(const QStringList& row)
{
    Statement s;
    QStringList marks;
    for (int i = 0; i < kColumnCount; ++i) {
        marks << QStringLiteral("?");
        s.values << (i < row.size() ? row[i] : QString());
    }
    s.sql = QStringLiteral("insert into 选型输出 values(%1)").arg(marks.join(u','));
    return s;
}

Statement insertUnlessStored(const QStringList& row)
{
    Statement s = insert(row);
    s.sql += QStringLiteral(" on conflict (%1) do nothing").arg(quoted(columns()[0].name));
    return s;
}

Statement rowsAfter(const QString& number, int limit)
{
    // a null text would be bound as NULL, after which no number comes
    const QString after = number.isNull() ? QStringLiteral("") : number;
    return {QStringLiteral("select * from 选型输出 where 选型编号>? order by 选型编号 limit ?"), {after, limit}};
}

Statement fetch(const QString& number)
{
    return {QStringLiteral("select * from 选型输出 where 选型编号=?"), {number}};
}

Statement remove(const QString& number)
{
    return {QStringLiteral("delete from 选型输出 where 选型编号=?"), {number}};
}

// The printed columns by name: the text keeps the line breaks of the statement the
// sheet was designed with, which the error report shows.
Statement print(const QString& number, Names spelling)
{
    QString names;
    for (const Column& c : columns()) {
        if (c.printed == Printed::No)
            continue;
        if (!names.isEmpty() && !names.endsWith(u'\n'))
            names += u',';
        names += spelling == Names::Quoted ? quoted(c.name) : QString::fromUtf8(c.name);
        if (c.printed == Printed::YesThenLineBreak)
            names += QStringLiteral(",\n");
    }
    return {QStringLiteral("select %1 from 选型输出 where 选型编号=? ").arg(names), {number}};
}

} // namespace statements

