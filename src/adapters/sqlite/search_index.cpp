#include "adapters/sqlite/search_index.h"

#include "core/record/columns.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace sqlite_search {

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
    return statements::sqliteSearchIndexRemoved() + statements::sqliteSearchIndex()
        + statements::sqliteSearchIndexFill();
}

QString layoutStep()
{
    return QStringLiteral("pragma user_version = %1").arg(kLayout);
}

} // namespace

QString damage(const QSqlDatabase& db, bool thorough)
{
    const QString index = statements::sqliteSearchIndexName();
    const QString keys = statements::sqliteSearchKeysName();
    const QString waiting = statements::sqliteSearchWaitingName();
    for (const QString& table : {index, keys, waiting}) {
        if (!hasTable(db, table))
            return QStringLiteral("检索索引缺少表 %1").arg(table);
    }
    for (const QString& trigger : statements::sqliteSearchTriggerNames()) {
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
    return run(db, statements::sqliteSearchTriggersRemoved(), error);
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
    bool exists = hasTable(db, statements::sqliteSearchIndexName());
    QString wrong = exists ? damage(db, thorough) : QString();
    const bool waits = exists && wrong.isEmpty() && number(db, statements::sqliteSearchRowsWaiting().sql) > 0;
    const bool upkeep = !exists || waits || layout != kLayout;
    if ((work == Work::Repair && !wrong.isEmpty()) || (work == Work::Everything && (upkeep || !wrong.isEmpty()))) {
        // Held for writing while it is looked at again: another program opening the
        // file at the same moment finds the work done.
        QString error;
        QSqlQuery begin(db);
        if (begin.exec(QStringLiteral("begin immediate"))) {
            begin.finish();
            const bool existsNow = hasTable(db, statements::sqliteSearchIndexName());
            const QString wrongNow = existsNow ? damage(db, thorough) : QString();
            QStringList steps;
            if (!wrongNow.isEmpty() || (!existsNow && work == Work::Everything))
                steps = rebuilt();
            else if (work == Work::Everything && number(db, statements::sqliteSearchRowsWaiting().sql) > 0)
                steps = statements::sqliteSearchIndexCatchUp();
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
        prepared.index = statements::Index::Trigrams;
    return prepared;
}

} // namespace sqlite_search
