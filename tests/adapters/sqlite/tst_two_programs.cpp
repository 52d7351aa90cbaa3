#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

// Two programs on one file saving the same number at the same moment: exactly one
// row is stored, and the other program is told.
class TestTwoPrograms final : public QObject {
    Q_OBJECT

private slots:
    void sameNumberAtTheSameMoment()
    {
        const QString cli = QStringLiteral(FLOWSEL_BIN_DIR "/flowsel-cli");
        for (int trial = 0; trial < 5; ++trial) {
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
                        "click 选型\npaste SelectionNo 20261210005\nclick 保存\n");
            }
            QProcess a, b;
            const QStringList args = {"--db", db, "--today", "20261210", "run", script};
            a.start(cli, args);
            b.start(cli, args);
            QVERIFY(a.waitForFinished(60000));
            QVERIFY(b.waitForFinished(60000));
            const QString outA = QString::fromUtf8(a.readAllStandardOutput());
            const QString outB = QString::fromUtf8(b.readAllStandardOutput());
            const int saved = outA.count(QStringLiteral("数据保存完毕")) + outB.count(QStringLiteral("数据保存完毕"));
            QCOMPARE(saved, 1);
            const QString loser = outA.contains(QStringLiteral("数据保存完毕")) ? outB : outA;
            QVERIFY2(loser.contains(QStringLiteral("此选型日期编号系统已存在")) || loser.contains(QStringLiteral("数据保存失败")),
                     qPrintable(loser));
            {
                QSqlDatabase check = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("check"));
                check.setDatabaseName(db);
                QVERIFY(check.open());
                QSqlQuery q(check);
                QVERIFY(q.exec(QStringLiteral("select count(*), min(length(仪表型号规格)) from 选型输出")));
                QVERIFY(q.next());
                QCOMPARE(q.value(0).toInt(), 1);
                QVERIFY(q.value(1).toInt() > 0); // a whole row
                check.close();
            }
            QSqlDatabase::removeDatabase(QStringLiteral("check"));
        }
    }
};

QTEST_GUILESS_MAIN(TestTwoPrograms)
#include "tst_two_programs.moc"
