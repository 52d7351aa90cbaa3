#pragma once

#include "adapters/postgresql/postgres_location.h"
#include "adapters/sql/sql_store.h"
#include "adapters/sqlite/selection_database.h"
#include "apps/common/store_choice.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <vector>

// The server of the team store's tests: FLOWSEL_TEST_PG, the URI of the throwaway
// server that scripts/test starts. Without it the test fails, never skips: a run
// that did not test the team store must not look as if it had.
inline QString testServerUri()
{
    const QString uri = qEnvironmentVariable("FLOWSEL_TEST_PG");
    if (uri.isEmpty())
        QTest::qFail("FLOWSEL_TEST_PG is not set: the team store's tests need the throwaway PostgreSQL server that "
                     "scripts/test starts (by hand: eval \"$(scripts/pg-test-server start)\" before ctest)",
            __FILE__, __LINE__);
    return uri;
}

// A new, empty database on a server (the test server when no URI is given); its
// URI, or empty when there is none (the test has failed then).
inline QString freshPostgresDatabase(const QString& serverUri = testServerUri())
{
    if (serverUri.isEmpty())
        return QString();
    QString error;
    std::optional<PostgresLocation> where = PostgresLocation::parse(serverUri, &error);
    if (!where) {
        QTest::qFail(qPrintable(error), __FILE__, __LINE__);
        return QString();
    }
    static int made = 0;
    const QString name = QStringLiteral("flowsel_test_%1_%2").arg(QCoreApplication::applicationPid()).arg(++made);
    const QString connection = QStringLiteral("maker-") + name;
    bool created = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connection);
        db.setHostName(where->host);
        db.setPort(where->port);
        db.setDatabaseName(where->database);
        db.setUserName(where->user);
        db.setPassword(where->password);
        created = db.open() && QSqlQuery(db).exec(QStringLiteral("create database %1").arg(name));
        error = db.lastError().text();
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    if (!created) {
        QTest::qFail(
            qPrintable(QStringLiteral("no test database on %1: %2").arg(serverUri, error)), __FILE__, __LINE__);
        return QString();
    }
    where->database = name;
    return where->shown();
}

// Where a fresh, empty store of a kind is, its table made: "sqlite" a database in
// memory, or a new file when another program must reach it too; "postgresql" a new
// database on the test server.
inline QString freshStoreLocation(const QString& kind, bool sharedWithOtherPrograms = false)
{
    if (kind == u"sqlite" && !sharedWithOtherPrograms)
        return SelectionDatabase::memoryPath();
    QString location;
    if (kind == u"sqlite") {
        static QTemporaryDir dir;
        static int made = 0;
        location = dir.filePath(QStringLiteral("store-%1.mdb").arg(++made));
    } else {
        location = freshPostgresDatabase();
    }
    QString error;
    if (!location.isEmpty() && !prepareStore(location, &error))
        QTest::qFail(qPrintable(error), __FILE__, __LINE__);
    return location;
}

// The kinds of store every storage case runs against: the rows of a global table.
inline void addStoreKinds()
{
    QTest::addColumn<QString>("store");
    QTest::newRow("sqlite") << QStringLiteral("sqlite");
    QTest::newRow("postgresql") << QStringLiteral("postgresql");
}

// Every row of a store, lowest number first.
inline std::vector<StoredRow> allRows(SelectionStore& store)
{
    std::vector<StoredRow> rows;
    for (QString after;;) {
        const StoreResult<std::vector<StoredRow>> page = store.readInNumberOrder(after, 5000);
        if (!page.ok() || page.value().empty())
            return rows;
        rows.insert(rows.end(), page.value().begin(), page.value().end());
        after = rows.back().front();
    }
}

// A store opened as the programs open it, with its connection at hand for
// statements of the test's own.
struct TestStore {
    explicit TestStore(const QString& location)
    {
        OpenedStore o = openStore(location);
        opened = o.state == OpenedStore::State::Yes;
        error = o.error;
        store.reset(static_cast<SqlStore*>(o.store.release()));
    }

    SqlStore* operator->() const { return store.get(); }
    SqlStore& operator*() const { return *store; }
    QSqlDatabase connection() const { return store->connection(); }

    std::unique_ptr<SqlStore> store;
    bool opened = false;
    QString error;
};
