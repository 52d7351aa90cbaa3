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
    return {QStringLiteral("create table if not exists %1 (%2)").arg(kSelectionTable, definitions.join(u',')), {}};
}

namespace {

// The conditions of a list query and their values, joined by "and". A search
// compares the number from its start, the model code, the medium and the product
// name anywhere, with letters compared without case (`match`).
void addConditions(const ListQuery& query, Match match, QStringList& conditions, QVariantList& values)
{
    if (query.after) {
        conditions << QStringLiteral("选型编号 < ?");
        values << *query.after;
    }
    if (!query.search.isEmpty()) {
        const QString op = match == Match::CaseFoldingLike ? QStringLiteral("like") : QStringLiteral("ilike");
        conditions << QStringLiteral("(选型编号 %1 ? escape '\\' or 仪表型号规格 %1 ? escape '\\'"
                                     " or 使用介质 %1 ? escape '\\' or 产品名称 %1 ? escape '\\')")
                          .arg(op);
        const QString literal = likeLiteral(query.search);
        values << literal + u'%';
        for (int i = 0; i < 3; ++i)
            values << u'%' + literal + u'%';
    }
}

// The smallest text that follows every text beginning with `prefix`.
QString prefixEnd(const QString& prefix)
{
    QString end = prefix;
    while (!end.isEmpty() && end.back() == QChar(0xFFFF))
        end.chop(1);
    if (!end.isEmpty())
        end.back() = QChar(end.back().unicode() + 1);
    return end;
}

} // namespace

QString likeLiteral(const QString& text)
{
    QString literal;
    literal.reserve(text.size() + 4);
    for (QChar c : text) {
        if (c == u'\\' || c == u'%' || c == u'_')
            literal += u'\\';
        literal += c;
    }
    return literal;
}

Statement listPage(const ListQuery& query, int limit, Match match)
{
    Statement s;
    QStringList conditions;
    addConditions(query, match, conditions, s.values);
    s.values << limit;
    s.sql = QStringLiteral("select * from %1 %2order by 选型编号 desc limit ?")
                .arg(kSelectionTable, conditions.isEmpty() ? QString()
                                          : QStringLiteral("where %1 ").arg(conditions.join(QStringLiteral(" and "))));
    return s;
}

Statement listHolds(const ListQuery& query, const QString& number, Match match)
{
    Statement s;
    QStringList conditions {QStringLiteral("选型编号 = ?")};
    s.values << number;
    addConditions(query, match, conditions, s.values);
    s.sql = QStringLiteral("select 选型编号 from %1 where %2").arg(kSelectionTable, conditions.join(QStringLiteral(" and ")));
    return s;
}

KeyRange dayRange(const QString& day)
{
    return {day, prefixEnd(day)};
}

// The range of the day's numbers lets both engines read the key's index instead of
// every row, which on a table of a million selections is the difference between a
// moment and seconds at every new window.
Statement highestOfDay(const QString& day)
{
    const KeyRange range = dayRange(day);
    return {QStringLiteral("select 选型编号 from %1 where 选型编号 >= ? and 选型编号 < ? "
                           "order by 选型编号 desc limit 1").arg(kSelectionTable),
            {range.from, range.before}};
}

Statement numbersOfDay(const QString& day)
{
    const KeyRange range = dayRange(day);
    return {QStringLiteral("select 选型编号 from %1 where 选型编号 >= ? and 选型编号 < ?").arg(kSelectionTable),
            {range.from, range.before}};
}

Statement insert(const QStringList& row)
{
    Statement s;
    QStringList marks;
    for (int i = 0; i < kColumnCount; ++i) {
        marks << QStringLiteral("?");
        s.values << (i < row.size() ? row[i] : QString());
    }
    s.sql = QStringLiteral("insert into %1 values(%2)").arg(kSelectionTable, marks.join(u','));
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
    return {QStringLiteral("select * from %1 where 选型编号>? order by 选型编号 limit ?").arg(kSelectionTable), {after, limit}};
}

Statement fetch(const QString& number)
{
    return {QStringLiteral("select * from %1 where 选型编号=?").arg(kSelectionTable), {number}};
}

Statement exists(const QString& number)
{
    return {QStringLiteral("select 选型编号 from %1 where 选型编号=?").arg(kSelectionTable), {number}};
}

Statement remove(const QString& number)
{
    return {QStringLiteral("delete from %1 where 选型编号=?").arg(kSelectionTable), {number}};
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
    return {QStringLiteral("select %1 from %2 where 选型编号=? ").arg(names, kSelectionTable), {number}};
}

} // namespace statements

