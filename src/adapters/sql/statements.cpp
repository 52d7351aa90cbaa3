#include "adapters/sql/statements.h"

#include "core/record/columns.h"

namespace {

QString quoted(const char* name)
{
    return QStringLiteral("\"%1\"").arg(QString::fromUtf8(name));
}

// The name of a thing that belongs to the table of stored selections: the table's
// name, then what it is.
QString besideTheTable(QStringView what)
{
    QString name = kSelectionTable.toString();
    name += what;
    return name;
}

} // namespace

namespace statements {

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

QString trigramPhrase(const QString& search)
{
    QString phrase = search;
    phrase.replace(u'"', QStringLiteral("\"\""));
    return u'"' + phrase + u'"';
}

const QString& sqliteSearchIndexName()
{
    static const QString name = besideTheTable(u"检索");
    return name;
}

const QString& sqliteSearchKeysName()
{
    static const QString name = besideTheTable(u"检索号");
    return name;
}

const QString& sqliteSearchWaitingName()
{
    static const QString name = besideTheTable(u"检索待入");
    return name;
}

namespace {

// The texts the trigram index holds, as the columns of the index and of the table.
const QString& searchedColumns()
{
    static const QString names = QStringLiteral("仪表型号规格, 使用介质, 产品名称");
    return names;
}

} // namespace

// Each number gets its id, each row its entry, from the texts the table holds now.
QStringList sqliteSearchIndexCatchUp()
{
    const QString keys = sqliteSearchKeysName();
    const QString waiting = sqliteSearchWaitingName();
    // "or replace": a program that replaces a row without delete triggers leaves its id
    // behind, which then names no row any more
    return {
        QStringLiteral("insert or replace into %1(选型编号) select 选型编号 from %2").arg(keys, waiting),
        QStringLiteral("insert into %1(rowid, %2) select k.id, t.仪表型号规格, t.使用介质, t.产品名称 from %3 w "
                       "join %4 t on t.选型编号 = w.选型编号 join %5 k on k.选型编号 = w.选型编号")
            .arg(sqliteSearchIndexName(), searchedColumns(), waiting, kSelectionTable, keys),
        QStringLiteral("delete from %1").arg(waiting),
    };
}

// The index holds no text of its own (contentless): each row's entry is found by
// its number's id, and removed with the values it was made from, which the
// triggers have as old.*. The ids are those of a table of their own, an integer
// key that no VACUUM renumbers, unlike the rowids of 选型输出.
//
// A save does not write the index itself: the index would write a segment of its
// own for every transaction, and its merges after, which cost a save more than the
// row. The number waits in a small table instead, whose rows every search reads
// beside the index; when some dozens wait, the save that adds the last one moves
// them all into the index in one segment.
QStringList sqliteSearchIndex()
{
    const QString index = sqliteSearchIndexName();
    const QString keys = sqliteSearchKeysName();
    const QString waiting = sqliteSearchWaitingName();
    const QString added = QStringLiteral("insert or ignore into %1(选型编号) values (new.选型编号);").arg(waiting);
    const QString removed = QStringLiteral("delete from %1 where 选型编号 = old.选型编号; "
                                           "insert into %2(%2, rowid, %3) select 'delete', id, old.仪表型号规格, "
                                           "old.使用介质, old.产品名称 from %4 where 选型编号 = old.选型编号; "
                                           "delete from %4 where 选型编号 = old.选型编号;")
                                .arg(waiting, index, searchedColumns(), keys);
    return {
        QStringLiteral("create table if not exists %1 (id integer primary key, 选型编号 text not null unique)")
            .arg(keys),
        QStringLiteral("create virtual table if not exists %1 using fts5(%2, content='', tokenize='trigram')")
            .arg(index, searchedColumns()),
        QStringLiteral("create table if not exists %1 (选型编号 text primary key) without rowid").arg(waiting),
        QStringLiteral("create trigger if not exists %1_添加 after insert on %2 begin %3 end")
            .arg(index, kSelectionTable, added),
        QStringLiteral("create trigger if not exists %1_删除 after delete on %2 begin %3 end")
            .arg(index, kSelectionTable, removed),
        QStringLiteral("create trigger if not exists %1_修改 after update on %2 begin %3 %4 end")
            .arg(index, kSelectionTable, removed, added),
        QStringLiteral("create trigger if not exists %1_并入 after insert on %2 when (select count(*) from %2) >= %3 "
                       "begin %4; end")
            .arg(index, waiting)
            .arg(kSqliteRowsWaitingAtMost)
            .arg(sqliteSearchIndexCatchUp().join(QStringLiteral("; "))),
    };
}

const QStringList& sqliteSearchTriggerNames()
{
    static const QStringList names = [] {
        QStringList n;
        for (const char* kind : {"添加", "删除", "修改", "并入"})
            n << QStringLiteral("%1_%2").arg(sqliteSearchIndexName(), QString::fromUtf8(kind));
        return n;
    }();
    return names;
}

QStringList sqliteSearchTriggersRemoved()
{
    QStringList removed;
    for (const QString& name : sqliteSearchTriggerNames())
        removed << QStringLiteral("drop trigger if exists %1").arg(name);
    return removed;
}

QStringList sqliteSearchIndexRemoved()
{
    QStringList removed = sqliteSearchTriggersRemoved();
    for (const QString& table : {sqliteSearchWaitingName(), sqliteSearchKeysName(), sqliteSearchIndexName()})
        removed << QStringLiteral("drop table if exists %1").arg(table);
    return removed;
}

QStringList sqliteSearchIndexFill()
{
    // in the order of the key, so that the ids of the rows stored before follow it
    const QString keys = sqliteSearchKeysName();
    return {
        QStringLiteral("insert into %1(选型编号) select 选型编号 from %2 order by 选型编号").arg(keys, kSelectionTable),
        QStringLiteral("insert into %1(rowid, %2) select k.id, t.仪表型号规格, t.使用介质, t.产品名称 from %3 t "
                       "join %4 k on k.选型编号 = t.选型编号")
            .arg(sqliteSearchIndexName(), searchedColumns(), kSelectionTable, keys),
    };
}

Statement sqliteSearchRowsWaiting()
{
    return {QStringLiteral("select count(*) from %1").arg(sqliteSearchWaitingName()), {}};
}

Statement sqliteSearchMatches(const QString& search, int limit)
{
    return {QStringLiteral("select count(*) from (select rowid from %1 where %1 match ? limit ?)")
                .arg(sqliteSearchIndexName()),
        {trigramPhrase(search), limit}};
}

QStringList postgresSearchIndex(Making making)
{
    // pg_trgm's operator class folds case as ilike does and answers like and ilike
    // with a recheck of the row, so the statements stay as they are; the planner
    // reads an "or" of the four columns from indexes only when each of them has one,
    // so the number is in the trigram index too. A number's prefix of digits is read
    // sooner from a range of a btree in the order of its characters, which the
    // planner takes for an ilike whose text starts with no letter. Concurrently:
    // saves go on while an index is made (outside any transaction); within one,
    // which holds the table anyway, an index is made at once, in a fraction of the
    // time.
    const QString how = making == Making::WhileSavesGoOn ? QStringLiteral("concurrently ") : QString();
    const QStringList names = postgresSearchIndexNames();
    return {
        QStringLiteral("create extension if not exists pg_trgm"),
        QStringLiteral("create index %1if not exists %2 on %3 using gin (选型编号 gin_trgm_ops, "
                       "仪表型号规格 gin_trgm_ops, 使用介质 gin_trgm_ops, 产品名称 gin_trgm_ops)")
            .arg(how, names[0], kSelectionTable),
        QStringLiteral("create index %1if not exists %2 on %3 (选型编号 text_pattern_ops)")
            .arg(how, names[1], kSelectionTable),
    };
}

QStringList postgresSearchIndexNames()
{
    return {besideTheTable(u"检索"), besideTheTable(u"编号前缀")};
}

Statement postgresSearchIndexesFound()
{
    const QStringList names = postgresSearchIndexNames();
    return {QStringLiteral("select c.relname, i.indisvalid from pg_index i join pg_class c on c.oid = i.indexrelid "
                           "where i.indrelid = to_regclass(quote_ident(?)) and c.relname in (?, ?)"),
        {kSelectionTable.toString(), names[0], names[1]}};
}

Statement postgresRowsUpTo(int limit)
{
    return {QStringLiteral("select count(*) from (select 1 from %1 limit ?) r").arg(kSelectionTable), {limit}};
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

namespace {

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

} // namespace

// With an index, two pages are read, each stopping at `limit` rows: one from the
// key's range of the numbers that start with the text, one from the rows the
// trigram index names (or, on a server, whose texts hold the text, which its own
// indexes find); the page is the newest of both. For digits the range of a
// server's collation is the range of their characters. The search's own conditions decide in
// both, so that the rows and their order are those of the scan.
Statement listPage(const ListQuery& query, int limit, Match match, Index index)
{
    const bool trigrams = index == Index::Trigrams && trigramsServe(query.search);
    const bool numbers = index == Index::NumberRange && isNumberPrefix(query.search);
    if (!trigrams && !numbers)
        return pageOf(kSelectionTable.toString(), query, limit, match, {});
    const KeyRange range = caseFoldedPrefixRange(query.search);
    const Statement inRange
        = pageOf(QStringLiteral("(select * from %1 where 选型编号 >= ? and 选型编号 < ?) r").arg(kSelectionTable),
            query, limit, match, {range.from, range.before});
    Statement texts;
    if (trigrams) {
        const QString named
            = QStringLiteral("select 选型编号 from %1 where id in (select rowid from %2 where %2 match ?) "
                             "union all select 选型编号 from %3")
                  .arg(sqliteSearchKeysName(), sqliteSearchIndexName(), sqliteSearchWaitingName());
        texts = pageOf(QStringLiteral("(select * from %1 where 选型编号 in (%2)) r").arg(kSelectionTable, named), query,
            limit, match, {trigramPhrase(query.search)});
    } else {
        const QString op = match == Match::CaseFoldingLike ? QStringLiteral("like") : QStringLiteral("ilike");
        const QString anywhere = u'%' + likeLiteral(query.search) + u'%';
        texts = pageOf(QStringLiteral("(select * from %1 where 仪表型号规格 %2 ? escape '\\' or "
                                      "使用介质 %2 ? escape '\\' or 产品名称 %2 ? escape '\\') r")
                           .arg(kSelectionTable, op),
            query, limit, match, {anywhere, anywhere, anywhere});
    }
    Statement s;
    s.sql = QStringLiteral("select * from (%1) a union select * from (%2) b order by 选型编号 desc limit ?")
                .arg(inRange.sql, texts.sql);
    s.values = inRange.values + texts.values;
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

const QString& copiedRowsTable()
{
    static const QString name = QStringLiteral("copied_rows");
    return name;
}

Statement createCopiedRows()
{
    // emptied by every commit, so that the rows of a transaction never outlive it
    return {QStringLiteral("create temporary table if not exists %1 (like %2) on commit delete rows")
                .arg(copiedRowsTable(), kSelectionTable),
        {}};
}

Statement emptyCopiedRows()
{
    // within a transaction a delete is cheaper than a truncate, which makes a new file
    return {QStringLiteral("delete from %1").arg(copiedRowsTable()), {}};
}

Statement insertCopiedUnlessStored()
{
    const QString key = quoted(columns()[0].name);
    return {QStringLiteral("insert into %1 select * from %2 on conflict (%3) do nothing returning %3")
                .arg(kSelectionTable, copiedRowsTable(), key),
        {}};
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
