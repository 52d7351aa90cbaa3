#include "adapters/postgresql/search_index.h"

#include "core/record/columns.h"

#include <QSqlDatabase>
#include <QSqlQuery>

namespace postgres_search {

QStringList made(Making making)
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
    const QStringList indexes = names();
    return {
        QStringLiteral("create extension if not exists pg_trgm"),
        QStringLiteral("create index %1if not exists %2 on %3 using gin (选型编号 gin_trgm_ops, "
                       "仪表型号规格 gin_trgm_ops, 使用介质 gin_trgm_ops, 产品名称 gin_trgm_ops)")
            .arg(how, indexes[0], kSelectionTable),
        QStringLiteral("create index %1if not exists %2 on %3 (选型编号 text_pattern_ops)")
            .arg(how, indexes[1], kSelectionTable),
    };
}

QStringList names()
{
    return {statements::besideTheTable(u"检索"), statements::besideTheTable(u"编号前缀")};
}

Statement foundStatement()
{
    const QStringList indexes = names();
    return {QStringLiteral("select c.relname, i.indisvalid from pg_index i join pg_class c on c.oid = i.indexrelid "
                           "where i.indrelid = to_regclass(quote_ident(?)) and c.relname in (?, ?)"),
        {kSelectionTable.toString(), indexes[0], indexes[1]}};
}

Statement rowsUpTo(int limit)
{
    return {QStringLiteral("select count(*) from (select 1 from %1 limit ?) r").arg(kSelectionTable), {limit}};
}

// The search indexes that are there, each with whether it is usable: one whose
// making was cut short is there, unusable, and kept by "if not exists".
std::map<QString, bool> found(const QSqlDatabase& db)
{
    QSqlQuery q(db);
    std::map<QString, bool> there;
    if (executeStatement(q, foundStatement())) {
        while (q.next())
            there[q.value(0).toString()] = q.value(1).toBool();
    }
    return there;
}

// Adds the search indexes where they are missing, while saves go on. init-db does so
// whatever the table holds; an opening program only on a table of a size whose
// indexes are made in a moment, since it waits for them (at a million rows, about
// a minute): a big table made before them gets them from init-db. A role that may
// not make them, or a making cut short (by another program's long transaction),
// keeps searching without them: slower, never wrong, the statements the same.
void add(const QSqlDatabase& db, bool whateverTheSize)
{
    constexpr int kRowsIndexedAtOpen = 50000;
    const std::map<QString, bool> there = found(db);
    if (there.size() == 2 && there.begin()->second && there.rbegin()->second)
        return;
    QSqlQuery q(db);
    if (!whateverTheSize) {
        const Statement count = rowsUpTo(kRowsIndexedAtOpen);
        if (!executeStatement(q, count) || !q.next() || q.value(0).toInt() >= kRowsIndexedAtOpen)
            return;
    }
    for (const auto& [name, usable] : there) {
        if (!usable)
            q.exec(QStringLiteral("drop index concurrently if exists %1").arg(name));
    }
    for (const QString& sql : made()) {
        if (!q.exec(sql))
            break;
    }
    q.finish();
}

// The search indexes that are not there, or not usable (a making cut short).
QStringList missing(const QSqlDatabase& db)
{
    const std::map<QString, bool> there = found(db);
    QStringList absent;
    for (const QString& name : names()) {
        const auto it = there.find(name);
        if (it == there.end())
            absent << name;
        else if (!it->second)
            absent << QStringLiteral("%1（不可用）").arg(name);
    }
    return absent;
}

Statement page(const ListQuery& query, int limit)
{
    // Two pages, each stopping at `limit` rows: the rows of the key's range of the
    // numbers that start with the digits (for digits the range of the server's
    // collation is the range of their characters), and those whose texts hold them,
    // which the trigram index finds. The planner would read the key from the top for
    // an "or" of a number's prefix with the texts, past every newer row, when the
    // prefix is that of an old year.
    constexpr statements::Match kILike = statements::Match::ILike;
    const QString anywhere = u'%' + statements::likeLiteral(query.search) + u'%';
    const Statement texts
        = statements::pageOf(QStringLiteral("(select * from %1 where 仪表型号规格 ilike ? escape '\\' or "
                                            "使用介质 ilike ? escape '\\' or 产品名称 ilike ? escape '\\') r")
                                 .arg(kSelectionTable),
            query, limit, kILike, {anywhere, anywhere, anywhere});
    return statements::newestOfTwoPages(statements::pageInKeyRange(query, limit, kILike), texts, limit);
}

} // namespace postgres_search
