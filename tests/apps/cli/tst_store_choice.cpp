#include "support/access_files.h"
#include "support/cli_call.h"
#include "support/old_table.h"
#include "support/test_store.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
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

// flowsel-cli copied into a folder of its own, where its settings file is, and run
// from another folder; FLOWSEL_DB is set only when a run gives it.
struct CopiedProgram {
    QTemporaryDir programDir;
    QTemporaryDir workDir;
    const QString program = programDir.filePath(QStringLiteral("flowsel-cli"));
    const QString settings = programDir.filePath(QStringLiteral("flowsel.conf"));

    CopiedProgram() { QVERIFY(QFile::copy(QStringLiteral(FLOWSEL_BIN_DIR "/flowsel-cli"), program)); }

    void writeSettings(const QByteArray& content) const
    {
        QFile conf(settings);
        QVERIFY(conf.open(QIODevice::WriteOnly));
        QCOMPARE(conf.write(content), content.size());
    }

    struct Run {
        int status = -1;
        QString out;
        QString err;
    };
    Run run(const QStringList& args, const QString& environmentStore = QString()) const
    {
        QProcess p;
        p.setWorkingDirectory(workDir.path());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("FLOWSEL_DB"));
        if (!environmentStore.isEmpty())
            env.insert(QStringLiteral("FLOWSEL_DB"), environmentStore);
        p.setProcessEnvironment(env);
        p.start(program, args);
        Run r;
        if (!p.waitForFinished(30000))
            return r;
        r.status = p.exitCode();
        r.out = QString::fromUtf8(p.readAllStandardOutput()).trimmed();
        r.err = QString::fromUtf8(p.readAllStandardError()).trimmed();
        return r;
    }
};

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
        const CopiedProgram copy;
        if (settings)
            copy.writeSettings("database=settings.mdb\n");
        QStringList args;
        if (option)
            args << QStringLiteral("--db") << copy.workDir.filePath(QStringLiteral("option.mdb"));
        const CopiedProgram::Run r = copy.run(args << QStringLiteral("init-db"),
            environment ? copy.workDir.filePath(QStringLiteral("environment.mdb")) : QString());
        QCOMPARE(r.status, 0);
        // a file named by the settings is beside them
        const QString expected = (besideTheProgram ? copy.programDir : copy.workDir).filePath(used);
        QCOMPARE(r.out, QStringLiteral("database ready: ") + expected);
        QVERIFY(QFile::exists(expected));
    }

    // A settings file that is there but cannot be read, or whose database= names no
    // store, stops every command that opens a store, naming the file and the reason;
    // only a missing file or key leaves the choice to the embedded file. (The tests
    // may run as root, who reads a file of mode 000: a folder in the file's place is
    // what cannot be read by anyone.)
    void theSettingsFileNeverFailsSilently_data()
    {
        QTest::addColumn<QByteArray>("content"); // the file's; null: no file, "/": a folder in its place
        QTest::addColumn<QString>("used");       // beside the program; empty: refused
        QTest::addColumn<QString>("reason");
        QTest::newRow("no file") << QByteArray() << "sjk/选型数据库.mdb"
                                 << "";
        QTest::newRow("no key") << QByteArray("[other]\nkey=1\n") << "sjk/选型数据库.mdb"
                                << "";
        QTest::newRow("a file named") << QByteArray("database=team.mdb\n") << "team.mdb"
                                      << "";
        QTest::newRow("a folder that cannot be read") << QByteArray("/") << ""
                                                      << "the file cannot be read: file to open is a directory";
        QTest::newRow("@Invalid()") << QByteArray("database=@Invalid()\n") << ""
                                    << "database= is not a text that names a store";
        QTest::newRow("a byte array") << QByteArray("database=@ByteArray(x.mdb)\n") << ""
                                      << "database= is not a text that names a store";
        QTest::newRow("a list") << QByteArray("database=a.mdb, b.mdb\n") << ""
                                << "database= holds a list, not one store (a path with a comma is written in quotes)";
        QTest::newRow("binary garbage") << QByteArray("\x7f"
                                                      "ELF\x02\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00"
                                                      "database=x\n",
            27) << ""
                                        << "the file is not in the INI format (lines key=value)";
        QTest::newRow("UTF-16") << QByteArray("\xff\xfe"
                                              "d\0b\0=\0x\0\n\0",
            12) << ""
                                << "the file is not in the INI format (lines key=value)";
        QTest::newRow("unclosed section") << QByteArray("[general\ndatabase=x.mdb\n") << ""
                                          << "the file is not in the INI format (lines key=value)";
        QTest::newRow("empty value") << QByteArray("database=\n") << ""
                                     << "database= is empty";
    }

    void theSettingsFileNeverFailsSilently()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, used);
        QFETCH(QString, reason);
        const CopiedProgram copy;
        if (content == "/")
            QVERIFY(QDir().mkdir(copy.settings));
        else if (!content.isNull())
            copy.writeSettings(content);
        if (!used.isEmpty()) {
            const CopiedProgram::Run r = copy.run({QStringLiteral("init-db")});
            QCOMPARE(r.status, 0);
            QCOMPARE(r.out, QStringLiteral("database ready: ") + copy.programDir.filePath(used));
            return;
        }
        const QStringList commands[]
            = {{QStringLiteral("init-db")}, {QStringLiteral("run"), QStringLiteral("/dev/null")},
                {QStringLiteral("sheet"), QStringLiteral("20261210001"), QStringLiteral("s.pdf")},
                {QStringLiteral("copy-db"), QStringLiteral(":memory:")}};
        for (const QStringList& command : commands) {
            const CopiedProgram::Run r = copy.run(command);
            QCOMPARE(r.status, 2);
            QCOMPARE(r.out, QString());
            QCOMPARE(r.err, QStringLiteral("%1: %2").arg(copy.settings, reason));
        }
        QVERIFY(!QFile::exists(copy.programDir.filePath(QStringLiteral("sjk"))));
    }

    // A store is a file in a folder that exists, :memory: or a postgresql:// URI,
    // wherever it is named: anything else is refused by name and nothing is made.
    void storeArgumentsThatNameNoStore_data()
    {
        QTest::addColumn<QString>("where");    // --db, FLOWSEL_DB, flowsel.conf or copy-db
        QTest::addColumn<QString>("argument"); // %1: the working folder
        QTest::addColumn<QString>("refusal");  // what the error says; empty: accepted
        const QString folderMissing = QStringLiteral("the folder %1/missing does not exist");
        for (const char* where : {"--db", "FLOWSEL_DB", "flowsel.conf", "copy-db"}) {
            const QString w = QString::fromLatin1(where);
            QTest::addRow("%s mysql://", where) << w << "mysql://x/y"
                                                << "mysql:// names no store the program can use: a store is a file, "
                                                   ":memory: or a postgresql:// URI";
            QTest::addRow("%s scheme of letters, digits and +.-", where)
                << w << "svn+ssh.v-2://anna:SECRET@x/y"
                << "svn+ssh.v-2:// names no store the program can use: a store is a file, :memory: or a "
                   "postgresql:// URI";
            QTest::addRow("%s //server/share", where) << w << "//server/share/x.mdb"
                                                      << "/server/share does not exist";
            QTest::addRow("%s missing folder", where) << w << "%1/missing/x.mdb" << folderMissing;
            QTest::addRow("%s file in a folder that exists", where) << w << "%1/x.mdb"
                                                                    << "";
        }
    }

    void storeArgumentsThatNameNoStore()
    {
        QFETCH(QString, where);
        QFETCH(QString, argument);
        QFETCH(QString, refusal);
        const CopiedProgram copy;
        const QString work = copy.workDir.path();
        argument.replace(QStringLiteral("%1"), work);
        refusal.replace(QStringLiteral("%1"), work);
        CopiedProgram::Run r;
        if (where == u"--db") {
            r = copy.run({QStringLiteral("--db"), argument, QStringLiteral("init-db")});
        } else if (where == u"FLOWSEL_DB") {
            r = copy.run({QStringLiteral("init-db")}, argument);
        } else if (where == u"flowsel.conf") {
            copy.writeSettings("database=" + argument.toUtf8() + "\n");
            r = copy.run({QStringLiteral("init-db")});
        } else {
            r = copy.run({QStringLiteral("--db"), QStringLiteral(":memory:"), QStringLiteral("copy-db"), argument});
        }
        if (refusal.isEmpty()) {
            QCOMPARE(r.status, 0);
            QVERIFY(QFile::exists(work + QStringLiteral("/x.mdb")));
            return;
        }
        QCOMPARE(r.status, 2);
        QCOMPARE(r.out, QString());
        QVERIFY2(r.err.endsWith(refusal), qPrintable(r.err));
        QVERIFY(!r.err.contains(QStringLiteral("SECRET")));
        QVERIFY(QDir(work).isEmpty());
        QVERIFY(!QFile::exists(QStringLiteral("/server")));
        QVERIFY(!QFile::exists(copy.programDir.filePath(QStringLiteral("sjk"))));
    }

    // What the program shows of a store (status bar, messages) holds no secret: not
    // the password of the user part, nor any option whose name speaks of a password
    // or a key, however its name is written.
    void shownNamesHideEverySecret_data()
    {
        QTest::addColumn<QString>("location");
        QTest::addColumn<QString>("shown");
        QTest::newRow("user:password@") << "postgresql://anna:SECRET@db/t1"
                                        << "postgresql://anna@db/t1";
        QTest::newRow("password=") << "postgresql://anna@db/t1?password=SECRET"
                                   << "postgresql://anna@db/t1";
        QTest::newRow("sslpassword= after password=") << "postgresql://anna@db/t1?password=X&sslpassword=SECRET"
                                                      << "postgresql://anna@db/t1";
        QTest::newRow("sslkey= beside options that are no secret")
            << "postgresql://anna@db/t1?sslmode=verify-full&sslkey=/home/anna/SECRET.key&sslrootcert=/ca.pem"
            << "postgresql://anna@db/t1?sslmode=verify-full&sslrootcert=%2Fca.pem";
        QTest::newRow("PassFile=") << "postgresql://anna@db/t1?PassFile=/home/anna/SECRET"
                                   << "postgresql://anna@db/t1";
        QTest::newRow("pass in a value, not in the name") << "postgresql://anna@db/t1?application_name=passkey"
                                                          << "postgresql://anna@db/t1?application_name=passkey";
        QTest::newRow("percent-encoded name") << "postgresql://anna@db/t1?ssl%70assword=SECRET"
                                              << "postgresql://anna@db/t1";
        QTest::newRow("a file") << "/srv/选型/SECRET.mdb"
                                << "/srv/选型/SECRET.mdb";
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
        const QString withPassword = QString(location).replace(
            QStringLiteral("postgresql://flowsel@"), QStringLiteral("postgresql://flowsel:hush@"));
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

    // The old program's Access file where the chain leads (an old folder copied over
    // the program's own) is no store: the program says so and how to import it. Once
    // imported beside it, under its name with .db, the chain leads there instead, by
    // whichever way it was named.
    void theImportedStoreStandsForTheOldFile_data()
    {
        QTest::addColumn<QString>("how"); // how the old file is named, if at all
        QTest::newRow("the program's own file") << "";
        QTest::newRow("--db") << "--db";
        QTest::newRow("FLOWSEL_DB") << "FLOWSEL_DB";
        QTest::newRow("flowsel.conf") << "flowsel.conf";
    }

    void theImportedStoreStandsForTheOldFile()
    {
        QFETCH(QString, how);
        const CopiedProgram copy;
        QVERIFY(QDir(copy.programDir.path()).mkdir(QStringLiteral("sjk")));
        const QString old = copy.programDir.filePath(QStringLiteral("sjk/选型数据库.mdb"));
        const QString imported = copy.programDir.filePath(QStringLiteral("sjk/选型数据库.db"));
        QVERIFY(makeAccessFile(old, {oldTableColumns(), oldTableRows(1).front()}));
        if (how == u"flowsel.conf")
            copy.writeSettings("database=sjk/选型数据库.mdb\n");
        const QStringList option = how == u"--db" ? QStringList {"--db", old} : QStringList();
        const QString environment = how == u"FLOWSEL_DB" ? old : QString();

        const CopiedProgram::Run before = copy.run(option + QStringList {"init-db"}, environment);
        QCOMPARE(before.status, 2);
        QCOMPARE(before.err,
            QStringLiteral(
                "cannot prepare the database %1: 这是旧版选型软件的数据库（Access），本程序不直接使用；导入请用："
                "flowsel-cli --db %2 import %1")
                .arg(old, imported));
        const CopiedProgram::Run import = copy.run({"--db", imported, "import", old});
        QCOMPARE(import.status, 0);
        const CopiedProgram::Run after = copy.run(option + QStringList {"init-db"}, environment);
        QCOMPARE(after.out, QStringLiteral("database ready: ") + imported);
        QCOMPARE(after.status, 0);
    }

    // Ten thousand selections copied in number order; a second run skips them all;
    // a number the target holds already keeps the target's row.
    void copyDbCopiesEverySelectionOnce_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::newRow("engineer's file into the team store") << "sqlite"
                                                             << "postgresql";
        QTest::newRow("team store into a file") << "postgresql"
                                                << "sqlite";
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
                QStringLiteral("{\"event\":\"copied\",\"rows\":9999,\"skipped\":1,\"failed\":0}")}));
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
        QCOMPARE(second.out.last(), QStringLiteral("{\"event\":\"copied\",\"rows\":0,\"skipped\":10000,\"failed\":0}"));
        QCOMPARE(allRows(*t).size(), size_t(kRows));
    }

    // A value the team store cannot hold (PostgreSQL's text holds no NUL) fails its
    // row alone, by number and column; the rows around it are copied, and a second
    // run copies nothing new and reports the same row. Back into a file, the rows the
    // server holds copy as ever.
    void copyDbGoesOnPastARowTheTargetRefuses()
    {
        const QString file = freshStoreLocation(QStringLiteral("sqlite"), true);
        const QString server = freshStoreLocation(QStringLiteral("postgresql"), true);
        QVERIFY(!file.isEmpty() && !server.isEmpty());
        std::vector<StoredRow> rows;
        for (int i = 0; i < 3; ++i)
            rows.push_back(sampleRow(i, QStringLiteral("v%1").arg(i)));
        {
            TestStore s(file);
            QVERIFY(s->insertUnlessStored(rows).ok());
            QSqlQuery q(s.connection());
            QVERIFY(q.prepare(QStringLiteral("update 选型输出 set 使用介质='城市'||char(0)||'x' where 选型编号=?")));
            q.addBindValue(rows[1][0]);
            QVERIFY2(q.exec(), qPrintable(q.lastError().text()));
        }
        const QString failed = QStringLiteral("{\"event\":\"failed\",\"SelectionNo\":\"%1\","
                                              "\"reason\":\"使用介质 含有NUL字符，PostgreSQL 不能保存\"}")
                                   .arg(rows[1][0]);
        const Result first = cli({QStringLiteral("--db"), file, QStringLiteral("copy-db"), server});
        QCOMPARE(first.status, 1);
        QCOMPARE(first.out,
            (QStringList {failed,
                QStringLiteral("{\"event\":\"copied\",\"rows\":2,\"skipped\":0,"
                               "\"failed\":1}")}));
        {
            TestStore t(server);
            QVERIFY(allRows(*t) == (std::vector<StoredRow> {rows[0], rows[2]}));
        }
        const Result second = cli({QStringLiteral("--db"), file, QStringLiteral("copy-db"), server});
        QCOMPARE(second.status, 1);
        const QString skipped = QStringLiteral("{\"event\":\"skipped\",\"SelectionNo\":\"%1\"}");
        QCOMPARE(second.out,
            (QStringList {skipped.arg(rows[0][0]), skipped.arg(rows[2][0]), failed,
                QStringLiteral("{\"event\":\"copied\",\"rows\":0,\"skipped\":2,\"failed\":1}")}));

        const QString back = freshStoreLocation(QStringLiteral("sqlite"), true);
        const Result home = cli({QStringLiteral("--db"), server, QStringLiteral("copy-db"), back});
        QCOMPARE(home.status, 0);
        QCOMPARE(
            home.out, QStringList {QStringLiteral("{\"event\":\"copied\",\"rows\":2,\"skipped\":0,\"failed\":0}")});
        TestStore b(back);
        QVERIFY(allRows(*b) == (std::vector<StoredRow> {rows[0], rows[2]}));
    }

    // Into an empty team store copy-db is all or nothing: when the server refuses the
    // rows at the end, the store is left empty; once it takes them, a second run
    // copies every row.
    void copyDbIntoAnEmptyTeamStoreIsAllOrNothing()
    {
        const QString file = freshStoreLocation(QStringLiteral("sqlite"), true);
        const QString server = freshStoreLocation(QStringLiteral("postgresql"), true);
        QVERIFY(!file.isEmpty() && !server.isEmpty());
        std::vector<StoredRow> rows;
        for (int i = 0; i < 2500; ++i)
            rows.push_back(sampleRow(i, QStringLiteral("v%1").arg(i)));
        {
            TestStore s(file);
            QVERIFY(s->insertUnlessStored(rows).ok());
            TestStore t(server);
            QSqlQuery q(t.connection());
            QVERIFY(q.exec(QStringLiteral("create function 不收() returns trigger language plpgsql as $$ begin "
                                          "raise exception '不收 %', new.选型编号; end $$")));
            QVERIFY(q.exec(QStringLiteral("create constraint trigger 不收 after insert on 选型输出 deferrable "
                                          "initially deferred for each row when (new.选型编号 = '%1') "
                                          "execute function 不收()")
                               .arg(rows[2400][0])));
        }
        const Result first = cli({QStringLiteral("--db"), file, QStringLiteral("copy-db"), server});
        QCOMPARE(first.status, 1);
        QVERIFY(first.out.isEmpty());
        QCOMPARE(first.err.join(u'\n'),
            QStringLiteral("数据错误!\r\n(set constraints all immediate)\r\n(不收 %1)").arg(rows[2400][0]));
        TestStore t(server);
        QVERIFY(allRows(*t).empty());

        QVERIFY(QSqlQuery(t.connection()).exec(QStringLiteral("drop trigger 不收 on 选型输出")));
        const Result second = cli({QStringLiteral("--db"), file, QStringLiteral("copy-db"), server});
        QCOMPARE(second.status, 0);
        QCOMPARE(second.out,
            QStringList {QStringLiteral("{\"event\":\"copied\",\"rows\":2500,\"skipped\":0,\"failed\":0}")});
        QVERIFY(allRows(*t) == rows);
    }

    void copyDbWithAStoreThatCannotBeOpened_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("target");
        QTest::newRow("no server there") << ":memory:"
                                         << "postgresql://flowsel@:1/none?host=/nonexistent";
        QTest::newRow("a URI without a database") << ":memory:"
                                                  << "postgresql://localhost:5432";
        QTest::newRow("source missing") << "/nonexistent/选型数据库.mdb"
                                        << ":memory:";
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
