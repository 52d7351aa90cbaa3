#include "support/test_store.h"

#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <vector>

// Programs on one store saving at the same moment: with one pasted number exactly
// one row is stored; with a number of its own each program stores its row; with
// automatic numbers, programs that started after a save number past it. Every
// program either saves or is told that its number exists, never the engine's
// error, and every saved row is there, whole.
class TestTwoPrograms final : public QObject {
    Q_OBJECT

private slots:
    void sameNumberAtTheSameMoment_data()
    {
        QTest::addColumn<QString>("store");
        QTest::addColumn<QString>("numberLine"); // %1: the program's index
        QTest::addColumn<int>("expectSaved");    // -1: as the timing goes, at least one
        for (const char* store : {"sqlite", "postgresql"}) {
            QTest::addRow("%s, one pasted number", store) << store << "paste SelectionNo 20261219999\n" << 1;
            QTest::addRow("%s, numbers of their own", store) << store << "paste SelectionNo 2026121888%1\n" << 8;
            QTest::addRow("%s, automatic number", store) << store << "" << -1;
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
                saved += out.count(QStringLiteral("数据保存完毕"));
                toldExists += out.count(QStringLiteral("此选型日期编号系统已存在"));
            }
            QCOMPARE(saved + toldExists, kPrograms);
            if (expectSaved >= 0)
                QCOMPARE(saved, expectSaved);
            QVERIFY(saved >= 1);
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
};

QTEST_GUILESS_MAIN(TestTwoPrograms)
#include "tst_two_programs.moc"
