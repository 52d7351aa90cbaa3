#include "adapters/sqlite/search_index.h"

#include "core/record/columns.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace sqlite_search {

QString phrase(const QString& search)
{
    QString phrase = search;
    phrase.replace(u'"', QStringLiteral("\"\""));
    return u'"' + phrase + u'"';
}

const QString& indexName()
{
    static const QString name = statements::besideTheTable(u"检索");
    return name;
}

const QString& keysName()
{
    static const QString name = statements::besideTheTable(u"检索号");
    return name;
}

const QString& waitingName()
{
    static const QString name = statements::besideTheTable(u"检索待入");
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
QStringList caughtUp()
{
    const QString keys = keysName();
    const QString waiting = waitingName();
    // "or replace": a program that replaces a row without delete triggers leaves its id
    // behind, which then names no row any more
    return {
        QStringLiteral("insert or replace into %1(选型编号) select 选型编号 from %2").arg(keys, waiting),
        QStringLiteral("insert into %1(rowid, %2) select k.id, t.仪表型号规格, t.使用介质, t.产品名称 from %3 w "
                       "join %4 t on t.选型编号 = w.选型编号 join %5 k on k.选型编号 = w.选型编号")
            .arg(indexName(), searchedColumns(), waiting, kSelectionTable, keys),
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
QStringList made()
{
    const QString index = indexName();
    const QString keys = keysName();
    const QString waiting = waitingName();
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
            .arg(kRowsWaitingAtMost)
            .arg(caughtUp().join(QStringLiteral("; "))),
    };
}

const QStringList& triggerNames()
{
    static const QStringList names = [] {
        QStringList n;
        for (const char* kind : {"添加", "删除", "修改", "并入"})
            n << QStringLiteral("%1_%2").arg(indexName(), QString::fromUtf8(kind));
        return n;
    }();
    return names;
}

QStringList triggersRemoved()
{
    QStringList removed;
    for (const QString& name : triggerNames())
        removed << QStringLiteral("drop trigger if exists %1").arg(name);
    return removed;
}

QStringList removed()
{
    QStringList removed = triggersRemoved();
    for (const QString& table : {waitingName(), keysName(), indexName()})
        removed << QStringLiteral("drop table if exists %1").arg(table);
    return removed;
}

QStringList filled()
{
    // in the order of the key, so that the ids of the rows stored before follow it
    const QString keys = keysName();
    return {
        QStringLiteral("insert into %1(选型编号) select 选型编号 from %2 order by 选型编号").arg(keys, kSelectionTable),
        QStringLiteral("insert into %1(rowid, %2) select k.id, t.仪表型号规格, t.使用介质, t.产品名称 from %3 t "
                       "join %4 k on k.选型编号 = t.选型编号")
            .arg(indexName(), searchedColumns(), kSelectionTable, keys),
    };
}

Statement rowsWaiting()
{
    return {QStringLiteral("select count(*) from %1").arg(waitingName()), {}};
}

Statement matches(const QString& search, int limit)
{
    return {QStringLiteral("select count(*) from (select rowid from %1 where %1 match ? limit ?)").arg(indexName()),
        {phrase(search), limit}};
}

// The page of a search the index serves: the rows the key's range of the numbers that
// start with the text holds, and those the index names or that wait for it; the
// search's own conditions decide in both, so that the rows and their order are those
// of the scan.
Statement page(const ListQuery& query, int limit, statements::Match match)
{
    const QString named = QStringLiteral("select 选型编号 from %1 where id in (select rowid from %2 where %2 match ?) "
                                         "union all select 选型编号 from %3")
                              .arg(keysName(), indexName(), waitingName());
    const Statement texts
        = statements::pageOf(QStringLiteral("(select * from %1 where 选型编号 in (%2)) r").arg(kSelectionTable, named),
            query, limit, match, {phrase(query.search)});
    return statements::newestOfTwoPages(statements::pageInKeyRange(query, limit, match), texts, limit);
}

namespace {

bool hasTable(const QSqlDatabase& db, const QString& name)
{
    QSqlQuery q(db);
    q.prepare(QStringLiteral("select 1 from sqlite_master where type = 'table' and name = ?"));
    q.addBindValue(name);
    return q.exec() && q.next();
}

bool hasTrigger(const QSqlDatabase& db, const QString& name)
{
    QSqlQuery q(db);
    q.prepare(QStringLiteral("select 1 from sqlite_master where type = 'trigger' and name = ?"));
    q.addBindValue(name);
    return q.exec() && q.next();
}

// The first value of a statement's first row; -1 when it fails.
qlonglong number(const QSqlDatabase& db, const QString& sql)
{
    QSqlQuery q(db);
    return q.exec(sql) && q.next() ? q.value(0).toLongLong() : -1;
}

int layoutOf(const QSqlDatabase& db)
{
    return int(number(db, QStringLiteral("pragma user_version")));
}

bool run(QSqlDatabase& db, const QStringList& steps, QString* error)
{
    for (const QString& sql : steps) {
        QSqlQuery q(db);
        if (!q.exec(sql)) {
            *error = q.lastError().databaseText().isEmpty() ? q.lastError().text() : q.lastError().databaseText();
            return false;
        }
    }
    return true;
}

QStringList rebuilt()
{
    return removed() + made() + filled();
}

QString layoutStep()
{
    return QStringLiteral("pragma user_version = %1").arg(kLayout);
}

} // namespace

QString damage(const QSqlDatabase& db, bool thorough)
{
    const QString index = indexName();
    const QString keys = keysName();
    const QString waiting = waitingName();
    for (const QString& table : {index, keys, waiting}) {
        if (!hasTable(db, table))
            return QStringLiteral("检索索引缺少表 %1").arg(table);
    }
    for (const QString& trigger : triggerNames()) {
        if (!hasTrigger(db, trigger))
            return QStringLiteral("检索索引缺少触发器 %1，其后保存的选型可能未编入索引").arg(trigger);
    }
    // Every stored row is either indexed (it has an id) or waiting to be, never both;
    // and the index holds one entry per id.
    const qlonglong rows = number(db, QStringLiteral("select count(*) from %1").arg(kSelectionTable));
    const qlonglong ids = number(db, QStringLiteral("select count(*) from %1").arg(keys));
    const qlonglong waits = number(db, QStringLiteral("select count(*) from %1").arg(waiting));
    const qlonglong entries = number(db, QStringLiteral("select count(*) from %1").arg(index));
    if (rows < 0 || ids < 0 || waits < 0 || entries < 0)
        return QStringLiteral("检索索引无法读取");
    if (rows != ids + waits)
        return QStringLiteral("检索索引与数据不一致（%1 条选型，索引记有 %2 条）").arg(rows).arg(ids + waits);
    if (entries != ids)
        return QStringLiteral("检索索引与数据不一致（%1 条已编入，索引中有 %2 条）").arg(ids).arg(entries);
    if (thorough) {
        QSqlQuery q(db);
        if (!q.exec(QStringLiteral("insert into %1(%1) values('integrity-check')").arg(index)))
            return QStringLiteral("检索索引已损坏：%1").arg(q.lastError().databaseText());
    }
    return QString();
}

bool setAside(QSqlDatabase& db, QString* error)
{
    return run(db, triggersRemoved(), error);
}

bool remake(QSqlDatabase& db, QString* error)
{
    return run(db, rebuilt() << layoutStep(), error);
}

Prepared prepare(QSqlDatabase& db, Work work, bool thorough)
{
    Prepared prepared;
    const int layout = layoutOf(db);
    if (layout > kLayout) {
        prepared.problem = QStringLiteral("检索索引由较新版本的程序建立（结构版本 %1），本程序不读取").arg(layout);
        return prepared;
    }
    // A file whose layout is not recorded (made before it was) is judged by what it
    // holds: a sound index is kept and its layout recorded.
    bool exists = hasTable(db, indexName());
    QString wrong = exists ? damage(db, thorough) : QString();
    const bool waits = exists && wrong.isEmpty() && number(db, rowsWaiting().sql) > 0;
    const bool upkeep = !exists || waits || layout != kLayout;
    if ((work == Work::Repair && !wrong.isEmpty()) || (work == Work::Everything && (upkeep || !wrong.isEmpty()))) {
        // Held for writing while it is looked at again: another program opening the
        // file at the same moment finds the work done.
        QString error;
        QSqlQuery begin(db);
        if (begin.exec(QStringLiteral("begin immediate"))) {
            begin.finish();
            const bool existsNow = hasTable(db, indexName());
            const QString wrongNow = existsNow ? damage(db, thorough) : QString();
            QStringList steps;
            if (!wrongNow.isEmpty() || (!existsNow && work == Work::Everything))
                steps = rebuilt();
            else if (work == Work::Everything && number(db, rowsWaiting().sql) > 0)
                steps = caughtUp();
            if (!steps.isEmpty() || (work == Work::Everything && existsNow && layoutOf(db) != kLayout))
                steps << layoutStep();
            if (run(db, steps, &error) && db.commit()) {
                // a file that had no index gets one: that is no repair to tell
                prepared.repaired = existsNow ? wrongNow : QString();
                exists = exists || !steps.isEmpty();
                wrong.clear();
            } else {
                db.rollback();
            }
        } else {
            error = begin.lastError().databaseText();
        }
        if (!wrong.isEmpty())
            prepared.problem = QStringLiteral("%1；未能重建：%2").arg(wrong, error);
    } else if (!wrong.isEmpty()) {
        prepared.problem = wrong;
    }
    // Without a sound index searches read every row: slower, never wrong. Rows that
    // wait for the index are read beside it.
    if (exists && wrong.isEmpty())
        prepared.indexed = true;
    return prepared;
}

} // namespace sqlite_search
