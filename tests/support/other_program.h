#pragma once

#include "adapters/postgresql/postgres_database.h"
#include "core/record/columns.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>

#include <chrono>
#include <future>
#include <thread>

// Another program on the same store (a database file or a postgresql:// URI): its own
// connection, on its own thread, holding a write transaction (`begin`: BEGIN
// IMMEDIATE, or BEGIN EXCLUSIVE, which keeps out readers too; on PostgreSQL the
// table locks that do the same) from its construction until release(). When given
// a number, it stores a row of that number inside the transaction, which the others
// see once it commits.
class OtherProgram {
public:
    explicit OtherProgram(const QString& path, const QString& number = QString(),
        const QString& begin = QStringLiteral("begin immediate"))
    {
        std::promise<bool> held;
        std::future<bool> isHeld = held.get_future();
        m_thread = std::thread(
            [this, path, number, begin, held = std::move(held)]() mutable { run(path, number, begin, held); });
        m_held = isHeld.get();
    }
    ~OtherProgram() { join(); }
    OtherProgram(const OtherProgram&) = delete;
    OtherProgram& operator=(const OtherProgram&) = delete;

    // Whether the transaction is held (and the row stored, when one was asked for).
    bool held() const { return m_held; }

    // Ends the transaction, committing or rolling back, `delay` from now; returns at
    // once. Later calls do nothing.
    void release(bool commit, std::chrono::milliseconds delay = std::chrono::milliseconds(0))
    {
        if (m_released)
            return;
        m_released = true;
        m_release.set_value({commit, delay});
    }

    // Waits until the transaction has ended.
    void join()
    {
        release(false);
        if (m_thread.joinable())
            m_thread.join();
    }

private:
    struct Release {
        bool commit;
        std::chrono::milliseconds delay;
    };

    void run(const QString& path, const QString& number, const QString& begin, std::promise<bool>& held)
    {
        const QString name = QStringLiteral("other-program-%1").arg(reinterpret_cast<quintptr>(this));
        std::future<Release> release = m_release.get_future();
        PostgresDatabase server;
        const bool onServer = PostgresLocation::isUri(path);
        {
            QSqlDatabase db;
            bool ok = false;
            QStringList beginning = {begin};
            if (onServer) {
                QString error;
                const std::optional<PostgresLocation> where = PostgresLocation::parse(path, &error);
                ok = where && server.open(*where);
                db = server.connection();
                const QString mode = begin.contains(QStringLiteral("exclusive")) ? QStringLiteral("access exclusive")
                                                                                 : QStringLiteral("exclusive");
                beginning = {QStringLiteral("begin"), QStringLiteral("lock table 选型输出 in %1 mode").arg(mode)};
            } else {
                db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
                db.setDatabaseName(path);
                db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000"));
                ok = db.open();
            }
            QSqlQuery q(db);
            for (const QString& statement : beginning)
                ok = ok && q.exec(statement);
            if (ok && !number.isEmpty()) {
                QStringList marks;
                for (int i = 0; i < kColumnCount; ++i)
                    marks << QStringLiteral("?");
                ok = q.prepare(QStringLiteral("insert into 选型输出 values(%1)").arg(marks.join(u',')));
                q.addBindValue(number);
                for (int i = 1; i < kColumnCount; ++i)
                    q.addBindValue(QStringLiteral("other program"));
                ok = ok && q.exec();
            }
            held.set_value(ok);
            const Release r = release.get();
            std::this_thread::sleep_for(r.delay);
            q.exec(r.commit ? QStringLiteral("commit") : QStringLiteral("rollback"));
            q.finish();
            if (!onServer)
                db.close();
        }
        if (!onServer)
            QSqlDatabase::removeDatabase(name);
    }

    std::thread m_thread;
    std::promise<Release> m_release;
    bool m_held = false;
    bool m_released = false;
};
