#pragma once

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QTest>

// A database file made by other means than the program (another tool, an older
// program): the statements run as given on a connection of its own.
inline void makeDatabaseFile(const QString& path, const QStringList& statements)
{
    const QString connection = QStringLiteral("maker");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(path);
        QVERIFY(db.open());
        for (const QString& statement : statements) {
            QSqlQuery q(db);
            QVERIFY2(q.exec(statement), qPrintable(statement + ": " + q.lastError().text()));
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
}
