#include "adapters/sql/statements.h"

#include "core/record/columns.h"

namespace {

QString quoted(const char* name)
{
    return QStringLiteral("\"%1\"").arg(QString::fromUtf8(name));
}

} // namespace

namespace statements {

QString besideTheTable(QStringView what)
{
    QString name = kSelectionTable.toString();
    name += what;
    return name;
}

QString quotedName(const char* name)
{
    return quoted(name);
}

Statement createTable()
{
    QStringList definitions;
    for (const Column& c : columns())
        definitions << quoted(c.name)
                + (definitions.isEmpty() ? QStringLiteral(" text not null primary key") : QStringLiteral(" text"));
    return {QStringLiteral("create table if not exists %1 (%2)").arg(kSelectionTable, definitions.join(u',')), {}};
}

namespace {

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

} // namespace

// The key's range of the numbers that start with a search's text in any case of
// its Latin letters: from its upper case up to past its lower case.
KeyRange caseFoldedPrefixRange(const QString& search)
{
    QString upper = search;
    QString lower = search;
    for (qsizetype i = 0; i < search.size(); ++i) {
        const char16_t c = search[i].unicode();
        if (c < 0x80) {
            upper[i] = QChar(c >= u'a' && c <= u'z' ? c - 0x20 : c);
            lower[i] = QChar(c >= u'A' && c <= u'Z' ? c + 0x20 : c);
        }
    }
    return {upper, prefixEnd(lower)};
}

bool isNumberPrefix(const QString& search)
{
    if (search.isEmpty())
        return false;
    for (QChar c : search) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

bool trigramsServe(const QString& search)
{
    // A NUL would end the phrase early, and a character beyond the 16 bits may make the
    // key's range of UTF-16 texts no range of the engine's UTF-8 ones: both scan.
    if (search.size() < 3)
        return false;
    for (QChar c : search) {
        if (c.unicode() == 0 || c.isSurrogate())
            return false;
    }
    return true;
}

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

// A page of the rows of `source`, ordered and cut by the key.
Statement pageOf(const QString& source, const ListQuery& query, int limit, Match match, QVariantList sourceValues)
{
    Statement s;
    s.values = std::move(sourceValues);
    QStringList conditions;
    addConditions(query, match, conditions, s.values);
    s.values << limit;
    s.sql = QStringLiteral("select * from %1 %2order by 选型编号 desc limit ?")
                .arg(source,
                    conditions.isEmpty() ? QString()
                                         : QStringLiteral("where %1 ").arg(conditions.join(QStringLiteral(" and "))));
    return s;
}

Statement listPage(const ListQuery& query, int limit, Match match)
{
    return pageOf(kSelectionTable.toString(), query, limit, match, {});
}

Statement pageInKeyRange(const ListQuery& query, int limit, Match match)
{
    const KeyRange range = caseFoldedPrefixRange(query.search);
    return pageOf(QStringLiteral("(select * from %1 where 选型编号 >= ? and 选型编号 < ?) r").arg(kSelectionTable),
        query, limit, match, {range.from, range.before});
}

Statement newestOfTwoPages(const Statement& first, const Statement& second, int limit)
{
    Statement s;
    s.sql = QStringLiteral("select * from (%1) a union select * from (%2) b order by 选型编号 desc limit ?")
                .arg(first.sql, second.sql);
    s.values = first.values + second.values;
    s.values << limit;
    return s;
}

Statement sliceEnd(const std::optional<QString>& after, int rows)
{
    Statement s;
    s.sql = QStringLiteral("select 选型编号 from %1 %2order by 选型编号 desc limit 1 offset ?")
                .arg(kSelectionTable, after ? QStringLiteral("where 选型编号 < ? ") : QString());
    if (after)
        s.values << *after;
    s.values << rows - 1;
    return s;
}

Statement sliceOfPage(const ListQuery& query, const std::optional<QString>& downTo, int limit, Match match)
{
    if (!downTo)
        return pageOf(kSelectionTable.toString(), query, limit, match, {});
    return pageOf(QStringLiteral("(select * from %1 where 选型编号 >= ?) r").arg(kSelectionTable), query, limit, match,
        {*downTo});
}

Statement listHolds(const ListQuery& query, const QString& number, Match match)
{
    Statement s;
    QStringList conditions {QStringLiteral("选型编号 = ?")};
    s.values << number;
    addConditions(query, match, conditions, s.values);
    s.sql = QStringLiteral("select 选型编号 from %1 where %2")
                .arg(kSelectionTable, conditions.join(QStringLiteral(" and ")));
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
                           "order by 选型编号 desc limit 1")
                .arg(kSelectionTable),
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

Statement insertManyUnlessStored(const std::vector<QStringList>& rows)
{
    Statement s;
    s.values.reserve(static_cast<qsizetype>(rows.size()) * kColumnCount);
    const QString marks = u'(' + QStringLiteral("?,").repeated(kColumnCount - 1) + QStringLiteral("?)");
    QStringList tuples;
    for (const QStringList& row : rows) {
        tuples << marks;
        for (int i = 0; i < kColumnCount; ++i)
            s.values << (i < row.size() ? row[i] : QString());
    }
    const QString key = quoted(columns()[0].name);
    s.sql = QStringLiteral("insert into %1 values%2 on conflict (%3) do nothing returning %3")
                .arg(kSelectionTable, tuples.join(u','), key);
    return s;
}

Statement rowsAfter(const QString& number, int limit)
{
    // a null text would be bound as NULL, after which no number comes
    const QString after = number.isNull() ? QStringLiteral("") : number;
    return {QStringLiteral("select * from %1 where 选型编号>? order by 选型编号 limit ?").arg(kSelectionTable),
        {after, limit}};
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
