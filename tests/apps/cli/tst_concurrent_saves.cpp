#include "apps/common/csv_reader.h"
#include "support/csv_records.h"
#include "support/test_store.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <vector>

// Programs that save at the same moment on one store: eight batch runs of forty
// points each, all joining one project. Every point is saved once, under a number
// of its own, and every run ends done (the numbers the runs gave alike are made
// unique at saving; the file is waited for, not given up).
namespace {

const QString kCli = QStringLiteral(FLOWSEL_BIN_DIR "/flowsel-cli");
constexpr int kRuns = 8;
constexpr int kPoints = 40;

QString storeKind()
{
    QFETCH_GLOBAL(QString, store);
    return store;
}

} // namespace

class TestConcurrentSaves final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase_data() { addStoreKinds(); }

    void eightBatchRunsSaveEveryPointOnce()
    {
        QTemporaryDir dir;
        const QString store = freshStoreLocation(storeKind(), true);
        QProcess made;
        made.start(kCli, {"--db", store, "--today", "20261211", "project", "new", "并发"});
        QVERIFY(made.waitForFinished(60000));
        const QString project = QString::fromUtf8(made.readAllStandardOutput()).trimmed();
        QCOMPARE(project, QStringLiteral("XM20261211001"));

        std::vector<std::unique_ptr<QProcess>> runs;
        for (int r = 0; r < kRuns; ++r) {
            QByteArray points = "Id,Medium,StdFlowMin,StdFlowMax\n";
            for (int i = 0; i < kPoints; ++i)
                points += QStringLiteral("p%1-%2,城市天然气或城市煤气,%3,%4\n")
                              .arg(r)
                              .arg(i)
                              .arg(10 + i)
                              .arg(100 + i)
                              .toUtf8();
            const QString file = dir.filePath(QStringLiteral("p%1.csv").arg(r));
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(points) == points.size());
            f.close();
            auto run = std::make_unique<QProcess>();
            run->start(kCli,
                {"--db", store, "--today", "20261211", "batch", file, "--save", "--project", project, "--out",
                    dir.filePath(QStringLiteral("r%1.csv").arg(r))});
            runs.push_back(std::move(run));
        }
        QSet<QString> numbers;
        for (int r = 0; r < kRuns; ++r) {
            QProcess& run = *runs[size_t(r)];
            QVERIFY(run.waitForFinished(300000));
            const QString said = QString::fromUtf8(run.readAllStandardError());
            QVERIFY2(run.exitCode() == 0, qPrintable(said));
            QVERIFY2(said.contains(QStringLiteral("40 个测点：已选型 40")), qPrintable(said));
            QFile results(dir.filePath(QStringLiteral("r%1.csv").arg(r)));
            QVERIFY(results.open(QIODevice::ReadOnly));
            const std::vector<QStringList> rows = records(results.readAll());
            QCOMPARE(rows.size(), size_t(kPoints + 1));
            const qsizetype column = rows[0].indexOf(QStringLiteral("SelectionNo"));
            for (size_t i = 1; i < rows.size(); ++i) {
                QCOMPARE(rows[i][1], QStringLiteral("selected"));
                const QString number = rows[i][column];
                QVERIFY2(number.startsWith(QStringLiteral("20261211")), qPrintable(number));
                QVERIFY2(!numbers.contains(number), qPrintable(number));
                numbers.insert(number);
            }
        }
        QCOMPARE(numbers.size(), kRuns * kPoints);
        TestStore opened(store);
        QVERIFY(opened.opened);
        QSqlQuery q(opened.connection());
        QVERIFY(q.exec(QStringLiteral("select count(*) from 选型输出")) && q.next());
        QCOMPARE(q.value(0).toInt(), kRuns * kPoints);
        const StoreResult<std::vector<ProjectLine>> lines = opened->projectLines(project);
        QVERIFY(lines.ok());
        QCOMPARE(lines.value().size(), size_t(kRuns * kPoints));
        for (const ProjectLine& line : lines.value())
            QVERIFY2(numbers.contains(line.selectionNo), qPrintable(line.tag));
    }
};

QTEST_MAIN(TestConcurrentSaves)
#include "tst_concurrent_saves.moc"
