#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <vector>

// Programs on one file saving at the same moment: with a pasted number exactly one
// row is stored; with automatic numbers, programs that started after a save number
// past it. Every program either saves or is told that its number exists, never the
// engine's error, and every saved row is there.
class TestTwoPrograms final : public QObject {
    Q_OBJECT

private slots:
    void sameNumberAtTheSameMoment_data()
    {
        QTest::addColumn<QByteArray>("numberLine");
        QTest::addColumn<bool>("oneNumber");
        QTest::newRow("pasted number") << QByteArray("paste SelectionNo 20261219999\n") << true;
        QTest::newRow("automatic number") << QByteArray() << false;
    }

    void sameNumberAtTheSameMoment()
    {
        QFETCH(QByteArray, numberLine);
        QFETCH(bool, oneNumber);
        constexpr int kPrograms = 8;
        const QString cli = QStringLiteral(FLOWSEL_BIN_DIR "/flowsel-cli");
        for (int trial = 0; trial < 3; ++trial) {
            QTemporaryDir dir;
            const QString db = dir.filePath(QStringLiteral("sjk/选型数据库.mdb"));
            QCOMPARE(QProcess::execute(cli, {"--db", db, "init-db"}), 0);
            const QString script = dir.filePath(QStringLiteral("save.flow"));
            {
                QFile f(script);
                QVERIFY(f.open(QIODevice::WriteOnly));
                f.write("paste StdFlowMin 1\npaste StdFlowMax 15\npaste PabsMin 101.325\npaste PabsMax 400\n"
                        "paste TempMin 20\npaste TempMax 20\nchoose ZMode 不修正\npaste ZnZgMin 0.2533125\n"
                        "click 计算工况流量\n"
                        "click 选型\n" + numberLine + "click 保存\n");
            }
            const QStringList args = {"--db", db, "--today", "20261210", "run", script};
            std::vector<std::unique_ptr<QProcess>> programs;
            for (int i = 0; i < kPrograms; ++i) {
                programs.push_back(std::make_unique<QProcess>());
                programs.back()->start(cli, args);
            }
            int saved = 0;
            int toldExists = 0;
            for (auto& p : programs) {
                QVERIFY(p->waitForFinished(60000));
                QCOMPARE(p->exitCode(), 0);
                const QString out = QString::fromUtf8(p->readAllStandardOutput());
                QVERIFY2(!out.contains(QStringLiteral("数据错误")) && !out.contains(QStringLiteral("数据保存失败")),
                         qPrintable(out));
                saved += out.count(QStringLiteral("数据保存完毕"));
                toldExists += out.count(QStringLiteral("此选型日期编号系统已存在"));
            }
            QCOMPARE(saved + toldExists, kPrograms);
            if (oneNumber)
                QCOMPARE(saved, 1);
            {
                QSqlDatabase check = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("check"));
                check.setDatabaseName(db);
                QVERIFY(check.open());
                QSqlQuery q(check);
                QVERIFY(q.exec(QStringLiteral("select count(*), min(length(仪表型号规格)) from 选型输出")));
                QVERIFY(q.next());
                QCOMPARE(q.value(0).toInt(), saved);
                QVERIFY(q.value(1).toInt() > 0); // a whole row
                check.close();
            }
            QSqlDatabase::removeDatabase(QStringLiteral("check"));
        }
    }
};

QTEST_GUILESS_MAIN(TestTwoPrograms)
#include "tst_two_programs.moc"
