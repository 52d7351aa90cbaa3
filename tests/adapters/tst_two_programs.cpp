#include "support/test_store.h"

#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <vector>

// Programs on one store saving at the same moment: with one pasted number exactly
// one row is stored; with a number of its own each program stores its row; with
// automatic numbers every program stores its row, those whose number another took
// meanwhile under the next free one. Every program either saves or is told that its
// typed number exists, never the engine's error, and every saved row is there, whole.
class TestTwoPrograms final : public QObject {
    Q_OBJECT

private slots:
    void sameNumberAtTheSameMoment_data()
    {
        QTest::addColumn<QString>("store");
        QTest::addColumn<QString>("numberLine"); // %1: the program's index
        QTest::addColumn<int>("expectSaved");
        for (const char* store : {"sqlite", "postgresql"}) {
            QTest::addRow("%s, one pasted number", store) << store << "paste SelectionNo 20261219999\n" << 1;
            QTest::addRow("%s, numbers of their own", store) << store << "paste SelectionNo 2026121888%1\n" << 8;
            QTest::addRow("%s, automatic number", store) << store << "" << 8;
        }
    }

    void sameNumberAtTheSameMoment()
    {
        QFETCH(QString, store);
        QFETCH(QString, numberLine);
        QFETCH(int, expectSaved);
        constexpr int kPrograms = 8;
        const QString cli = QStringLiteral(FLOWSEL_BIN_DIR "/flowsel-cli");
        for (int trial = 0; trial < 3; ++trial) {
            QTemporaryDir dir;
            const QString db = freshStoreLocation(store, true);
            QVERIFY(!db.isEmpty());
            std::vector<std::unique_ptr<QProcess>> programs;
            for (int i = 0; i < kPrograms; ++i) {
                const QString script = dir.filePath(QStringLiteral("save%1.flow").arg(i));
                QFile f(script);
                QVERIFY(f.open(QIODevice::WriteOnly));
                f.write("paste StdFlowMin 1\npaste StdFlowMax 15\npaste PabsMin 101.325\npaste PabsMax 400\n"
                        "paste TempMin 20\npaste TempMax 20\nchoose ZMode 不修正\npaste ZnZgMin 0.2533125\n"
                        "click 计算工况流量\nclick 选型\n"
                    + (numberLine.contains(u'%') ? numberLine.arg(i) : numberLine).toUtf8() + "click 保存\n");
                f.close();
                programs.push_back(std::make_unique<QProcess>());
                programs.back()->start(cli, {"--db", db, "--today", "20261210", "run", script});
            }
            int saved = 0;
            int toldExists = 0;
            for (auto& p : programs) {
                QVERIFY(p->waitForFinished(60000));
                QCOMPARE(p->exitCode(), 0);
                const QString out = QString::fromUtf8(p->readAllStandardOutput());
                QVERIFY2(!out.contains(QStringLiteral("数据错误")) && !out.contains(QStringLiteral("数据保存失败"))
                        && !out.contains(QStringLiteral("数据库正被其他程序使用")),
                    qPrintable(out));
                saved += out.count(QStringLiteral("数据保存完毕")) + out.count(QStringLiteral("（原编号已被占用）"));
                toldExists += out.count(QStringLiteral("此选型日期编号系统已存在"));
            }
            QCOMPARE(saved + toldExists, kPrograms);
            QCOMPARE(saved, expectSaved);
            TestStore check(db);
            QSqlQuery q(check.connection());
            QVERIFY(q.exec(QStringLiteral("select count(*), count(distinct 选型编号), min(length(仪表型号规格)) "
                                          "from 选型输出")));
            QVERIFY(q.next());
            QCOMPARE(q.value(0).toInt(), saved);
            QCOMPARE(q.value(1).toInt(), saved);
            QVERIFY(q.value(2).toInt() > 0); // whole rows
        }
    }

    // Eight programs add a line of their own to one project, and eight more one tag
    // all at the same moment: every own line is added, the shared tag once, and
    // every other program is told by name that the tag is taken.
    void eightProgramsAddLinesToOneProject_data()
    {
        QTest::addColumn<QString>("store");
        QTest::newRow("sqlite") << "sqlite";
        QTest::newRow("postgresql") << "postgresql";
    }

    void eightProgramsAddLinesToOneProject()
    {
        QFETCH(QString, store);
        constexpr int kPrograms = 8;
        const QString cli = QStringLiteral(FLOWSEL_BIN_DIR "/flowsel-cli");
        const QString db = freshStoreLocation(store, true);
        QVERIFY(!db.isEmpty());
        {
            TestStore s(db);
            StoredRow row(45);
            row[0] = QStringLiteral("20261210001");
            QVERIFY(s->insert(row).ok());
        }
        QProcess made;
        made.start(cli, {"--db", db, "--today", "20261210", "project", "new", "城东门站"});
        QVERIFY(made.waitForFinished(60000));
        QCOMPARE(made.readAllStandardOutput().trimmed(), QByteArray("XM20261210001"));
        std::vector<std::unique_ptr<QProcess>> own;
        std::vector<std::unique_ptr<QProcess>> shared;
        for (int i = 0; i < kPrograms; ++i) {
            for (auto* programs : {&own, &shared}) {
                const QString tag = programs == &own ? QStringLiteral("FT-%1").arg(i) : QStringLiteral("共用");
                programs->push_back(std::make_unique<QProcess>());
                programs->back()->start(cli, {"--db", db, "project", "add", "XM20261210001", tag, "20261210001"});
            }
        }
        for (auto& p : own) {
            QVERIFY(p->waitForFinished(60000));
            QVERIFY2(p->exitCode() == 0, p->readAllStandardError().constData());
        }
        int added = 0;
        for (auto& p : shared) {
            QVERIFY(p->waitForFinished(60000));
            const QString said = QString::fromUtf8(p->readAllStandardError());
            if (p->exitCode() == 0) {
                ++added;
                continue;
            }
            QCOMPARE(p->exitCode(), 1);
            QCOMPARE(said.trimmed(), QStringLiteral("项目 XM20261210001 中已有位号“共用”"));
        }
        QCOMPARE(added, 1);
        TestStore check(db);
        QCOMPARE(projectsOf(*check.store)->projectLines(QStringLiteral("XM20261210001")).value().size(),
            size_t(kPrograms + 1));
    }
};

QTEST_GUILESS_MAIN(TestTwoPrograms)
#include "tst_two_programs.moc"
