#include "support/cli_call.h"
#include "support/test_store.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// Which store both programs use (--db, FLOWSEL_DB, flowsel.conf beside the program,
// the embedded file), and copy-db from one store into another.
namespace {

using Result = CliResult;

StoredRow sampleRow(int i, const QString& code)
{
    StoredRow row;
    for (int c = 0; c < 45; ++c)
        row << QStringLiteral("%1-%2").arg(code).arg(c);
    row[0] = QStringLiteral("2025%1").arg(i, 7, 10, QChar(u'0'));
    return row;
}

std::vector<StoredRow> allRows(SelectionStore& store)
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

} // namespace

class TestStoreChoice final : public QObject {
    Q_OBJECT

private slots:
    // The first of the option, the environment and the settings file that names a
    // store is used; without any, the file beside the program.
    void theChainOfChoices_data()
    {
        QTest::addColumn<bool>("option");
        QTest::addColumn<bool>("environment");
        QTest::addColumn<bool>("settings");
        QTest::addColumn<QString>("used");
        QTest::addColumn<bool>("besideTheProgram"); // else in the working folder
        QTest::newRow("all three") << true << true << true << "option.mdb" << false;
        QTest::newRow("environment and settings") << false << true << true << "environment.mdb" << false;
        QTest::newRow("settings only") << false << false << true << "settings.mdb" << true;
        QTest::newRow("none") << false << false << false << "sjk/选型数据库.mdb" << true;
    }

    void theChainOfChoices()
    {
        QFETCH(bool, option);
        QFETCH(bool, environment);
        QFETCH(bool, settings);
        QFETCH(QString, used);
        QFETCH(bool, besideTheProgram);
        // the program in a folder of its own, where its settings file is
        QTemporaryDir programDir;
        QTemporaryDir workDir;
        const QString program = programDir.filePath(QStringLiteral("flowsel-cli"));
        QVERIFY(QFile::copy(QStringLiteral(FLOWSEL_BIN_DIR "/flowsel-cli"), program));
        if (settings) {
            QFile conf(programDir.filePath(QStringLiteral("flowsel.conf")));
            QVERIFY(conf.open(QIODevice::WriteOnly));
            conf.write("database=settings.mdb\n");
        }
        QProcess p;
        p.setWorkingDirectory(workDir.path());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("FLOWSEL_DB"));
        if (environment)
            env.insert(QStringLiteral("FLOWSEL_DB"), workDir.filePath(QStringLiteral("environment.mdb")));
        p.setProcessEnvironment(env);
        QStringList args;
        if (option)
            args << QStringLiteral("--db") << workDir.filePath(QStringLiteral("option.mdb"));
        p.start(program, args << QStringLiteral("init-db"));
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), 0);
        // a file named by the settings is beside them
        const QString expected = (besideTheProgram ? programDir : workDir).filePath(used);
        QCOMPARE(QString::fromUtf8(p.readAllStandardOutput()).trimmed(), QStringLiteral("database ready: ") + expected);
        QVERIFY(QFile::exists(expected));
    }

    // What the program shows of a store (status bar, messages) holds no secret: not
    // the password of the user part, nor any option whose name speaks of a password
    // or a key, however its name is written.
    void shownNamesHideEverySecret_data()
    {
        QTest::addColumn<QString>("location");
        QTest::addColumn<QString>("shown");
        QTest::newRow("user:password@") << "postgresql://anna:SECRET@db/t1" << "postgresql://anna@db/t1";
        QTest::newRow("password=") << "postgresql://anna@db/t1?password=SECRET" << "postgresql://anna@db/t1";
        QTest::newRow("sslpassword= after password=")
            << "postgresql://anna@db/t1?password=X&sslpassword=SECRET" << "postgresql://anna@db/t1";
        QTest::newRow("sslkey= beside options that are no secret")
            << "postgresql://anna@db/t1?sslmode=verify-full&sslkey=/home/anna/SECRET.key&sslrootcert=/ca.pem"
            << "postgresql://anna@db/t1?sslmode=verify-full&sslrootcert=%2Fca.pem";
        QTest::newRow("PassFile=") << "postgresql://anna@db/t1?PassFile=/home/anna/SECRET" << "postgresql://anna@db/t1";
        QTest::newRow("pass in a value, not in the name")
            << "postgresql://anna@db/t1?application_name=passkey" << "postgresql://anna@db/t1?application_name=passkey";
        QTest::newRow("percent-encoded name") << "postgresql://anna@db/t1?ssl%70assword=SECRET"
                                              << "postgresql://anna@db/t1";
        QTest::newRow("a file") << "/srv/选型/SECRET.mdb" << "/srv/选型/SECRET.mdb";
    }

    void shownNamesHideEverySecret()
    {
        QFETCH(QString, location);
        QFETCH(QString, shown);
        QCOMPARE(shownStoreLocation(location), shown);
    }

    // A store on the server named by the environment: what is printed of it never
    // holds the password.
    void theServerIsShownWithoutItsPassword()
    {
        const QString location = freshStoreLocation(QStringLiteral("postgresql"));
        QVERIFY(!location.isEmpty());
        const QString withPassword =
            QString(location).replace(QStringLiteral("postgresql://flowsel@"), QStringLiteral("postgresql://flowsel:hush@"));
        QVERIFY(withPassword.contains(QStringLiteral(":hush@")));
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("FLOWSEL_DB"), withPassword); // the test server trusts, whatever the password
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(FLOWSEL_BIN_DIR "/flowsel-cli"), {QStringLiteral("init-db")});
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), 0);
        const QString out = QString::fromUtf8(p.readAllStandardOutput()).trimmed();
        QCOMPARE(out, QStringLiteral("database ready: ") + location);
    }

    // Ten thousand selections copied in number order; a second run skips them all;
    // a number the target holds already keeps the target's row.
    void copyDbCopiesEverySelectionOnce_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::newRow("engineer's file into the team store") << "sqlite" << "postgresql";
        QTest::newRow("team store into a file") << "postgresql" << "sqlite";
    }

    void copyDbCopiesEverySelectionOnce()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        constexpr int kRows = 10000;
        const QString source = freshStoreLocation(from, true);
        const QString target = freshStoreLocation(to, true);
        QVERIFY(!source.isEmpty() && !target.isEmpty());
        std::vector<StoredRow> rows;
        for (int i = 0; i < kRows; ++i)
            rows.push_back(sampleRow(i, QStringLiteral("v%1").arg(i)));
        {
            TestStore s(source);
            QVERIFY(s->insertUnlessStored(rows).ok());
            TestStore t(target);
            QVERIFY(t->insert(sampleRow(77, QStringLiteral("the target's own"))).ok());
        }
        const Result first = cli({QStringLiteral("--db"), source, QStringLiteral("copy-db"), target});
        QCOMPARE(first.status, 0);
        QCOMPARE(first.out,
                 (QStringList {QStringLiteral("{\"event\":\"skipped\",\"SelectionNo\":\"%1\"}").arg(rows[77][0]),
                               QStringLiteral("{\"event\":\"copied\",\"rows\":9999,\"skipped\":1}")}));
        TestStore t(target);
        std::vector<StoredRow> copied = allRows(*t);
        QCOMPARE(copied.size(), size_t(kRows));
        QCOMPARE(copied[77][1], QStringLiteral("the target's own-1"));
        copied[77] = rows[77];
        QVERIFY(copied == rows);

        const Result second = cli({QStringLiteral("--db"), source, QStringLiteral("copy-db"), target});
        QCOMPARE(second.status, 0);
        QCOMPARE(second.out.size(), kRows + 1);
        QCOMPARE(second.out[9], QStringLiteral("{\"event\":\"skipped\",\"SelectionNo\":\"%1\"}").arg(rows[9][0]));
        QCOMPARE(second.out.last(), QStringLiteral("{\"event\":\"copied\",\"rows\":0,\"skipped\":10000}"));
        QCOMPARE(allRows(*t).size(), size_t(kRows));
    }

    void copyDbWithAStoreThatCannotBeOpened_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("target");
        QTest::newRow("no server there") << ":memory:" << "postgresql://flowsel@:1/none?host=/nonexistent";
        QTest::newRow("a URI without a database") << ":memory:" << "postgresql://localhost:5432";
        QTest::newRow("source missing") << "/nonexistent/选型数据库.mdb" << ":memory:";
    }

    void copyDbWithAStoreThatCannotBeOpened()
    {
        QFETCH(QString, source);
        QFETCH(QString, target);
        const Result r = cli({QStringLiteral("--db"), source, QStringLiteral("copy-db"), target});
        QCOMPARE(r.status, 2);
        QVERIFY(r.out.isEmpty());
        QCOMPARE(r.err.size(), 1);
        QCOMPARE(cli({QStringLiteral("copy-db")}).status, 2); // no target
    }
};

QTEST_GUILESS_MAIN(TestStoreChoice)
#include "tst_store_choice.moc"
