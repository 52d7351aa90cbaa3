#include "adapters/sqlite/selection_database.h"
#include "apps/desktop/batch_dialog.h"
#include "apps/desktop/main_window.h"
#include "apps/desktop/selection_widget.h"
#include "apps/desktop/widget_platform.h"
#include "support/full_disk.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QStatusBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>
#include <sys/stat.h>

namespace {

const QString kCity = QStringLiteral("城市天然气或城市煤气");
const QByteArray kGasColumns = "PabsMin,PabsMax,TempMin,TempMax,XCO2,XH2,Hs,RelDensity";
const QByteArray kGas = "150,200,-10,40,0.006,0,38.5,0.6";

bool writeFile(const QString& path, const QByteArray& content)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(content) == content.size();
}

// `n` points; every tenth asks for a meter type the list does not offer.
QByteArray pointsFile(int n)
{
    QByteArray text = "Id,Medium,StdFlowMin,StdFlowMax,MeterType\n";
    for (int i = 1; i <= n; ++i)
        text += QStringLiteral("p%1,%2,10,%3,%4\n")
                    .arg(i)
                    .arg(kCity)
                    .arg(50 + i)
                    .arg(i % 10 == 0 ? "气体超声" : "")
                    .toUtf8();
    return text;
}

// A points file of `n` points (pointsFile) in `dir`, its path; empty when it could
// not be written.
QString writePoints(const QTemporaryDir& dir, int n)
{
    const QString path = dir.filePath(QStringLiteral("p.csv"));
    return writeFile(path, pointsFile(n)) ? path : QString();
}

struct Desktop {
    SelectionDatabase database;
    std::unique_ptr<MainWindow> main;

    explicit Desktop(const QString& path = SelectionDatabase::memoryPath())
    {
        database.open(path);
        main = std::make_unique<MainWindow>(database, QStringLiteral("20261210"));
        main->show();
        QCoreApplication::processEvents();
        main->workspace().activate();
        QCoreApplication::processEvents();
    }

    // The current window's widget with a flow range typed in, 10 to 100 m³/h.
    SelectionWidget* currentWithFlows()
    {
        SelectionWidget* w = main->widgetOf(main->workspace().current());
        if (w) {
            w->window().paste(Field::StdFlowMin, QStringLiteral("10"));
            w->window().paste(Field::StdFlowMax, QStringLiteral("100"));
        }
        return w;
    }

    BatchDialog* openFromMenu()
    {
        for (QAction* menu : main->menuBar()->actions()) {
            if (!menu->menu() || !menu->text().contains(QStringLiteral("选型")))
                continue;
            for (QAction* a : menu->menu()->actions()) {
                if (a->text() == u"批量选型…")
                    a->trigger();
            }
        }
        return main->findChild<BatchDialog*>();
    }
};

// Answers the dialog's warnings with OK, as the user would, counting them.
struct BoxAnswerer {
    QTimer timer;
    int answered = 0;

    BoxAnswerer()
    {
        timer.setInterval(10);
        QObject::connect(&timer, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                ++answered;
                box->accept();
            }
        });
        timer.start();
    }
};

QByteArray contentOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList headers(QTableWidget* t)
{
    QStringList out;
    for (int c = 0; c < t->columnCount(); ++c)
        out << t->horizontalHeaderItem(c)->text();
    return out;
}

// The cell under that header.
QString cell(QTableWidget* t, int row, const QString& column)
{
    for (int c = 0; c < t->columnCount(); ++c) {
        if (t->horizontalHeaderItem(c)->text() == column)
            return t->item(row, c)->text();
    }
    return QStringLiteral("<no column %1>").arg(column);
}

// What a row's background says, by its hue: plain, red, grey or amber.
QString shade(const QTableWidgetItem* item)
{
    if (item->background().style() == Qt::NoBrush)
        return QStringLiteral("plain");
    const QColor c = item->background().color();
    if (c.red() == c.green() && c.green() == c.blue())
        return QStringLiteral("grey");
    if (c.red() > c.green() && c.green() == c.blue())
        return QStringLiteral("red");
    if (c.red() > c.green() && c.green() > c.blue())
        return QStringLiteral("amber");
    return c.name();
}

} // namespace

class TestBatchDialog final : public QObject {
    Q_OBJECT

private slots:
    // Load, progress, results, export and save, through the menu's dialog.
    void loadProgressResultsExportSave()
    {
        Desktop d;
        BatchDialog* dialog = d.openFromMenu();
        QVERIFY(dialog);
        QVERIFY(dialog->isVisible());
        QTemporaryDir dir;
        const QString csv = dir.filePath(QStringLiteral("p.csv"));
        const int points = 400;
        QVERIFY(writeFile(csv, pointsFile(points)));

        QSignalSpy ended(dialog, &BatchDialog::runEnded);
        QVERIFY(dialog->load(csv));
        QVERIFY(dialog->running());
        QCOMPARE(dialog->progress()->maximum(), points);
        // the run goes on between the screen's events: the main window still answers
        bool mainWindowAnswered = false;
        QTimer::singleShot(0, d.main.get(), [&] { mainWindowAnswered = dialog->running(); });
        QVERIFY(ended.wait(60000));
        QVERIFY(mainWindowAnswered);
        QCOMPARE(dialog->progress()->value(), points);
        QTableWidget* table = dialog->table();
        QCOMPARE(table->rowCount(), points);
        QCOMPARE(cell(table, 0, QStringLiteral("位号/标记")), QStringLiteral("p1"));
        QCOMPARE(cell(table, 0, QStringLiteral("状态")), QStringLiteral("已选型"));
        QCOMPARE(cell(table, 0, QStringLiteral("结果状态")), QStringLiteral("selected"));
        QVERIFY(!cell(table, 0, QStringLiteral("型号")).isEmpty());
        QCOMPARE(cell(table, 9, QStringLiteral("状态")), QStringLiteral("拒绝"));
        QCOMPARE(cell(table, 9, QStringLiteral("型号")), QString());
        // the summary the command line prints
        QCOMPARE(dialog->status()->text(),
            QStringLiteral("完成：%1 个测点：已选型 %2，无合适规格 0，拒绝 %3（UTF-8）")
                .arg(points)
                .arg(points - points / 10)
                .arg(points / 10));
        QVERIFY(cell(table, 9, QStringLiteral("提示信息")).startsWith(QStringLiteral("script-error: ")));
        QVERIFY(table->item(9, 0)->background() != table->item(0, 0)->background());
        QVERIFY(dialog->exportButton()->isEnabled());
        QVERIFY(dialog->saveButton()->isEnabled());

        // the export is what flowsel-cli batch writes for the same file
        const QString exported = dir.filePath(QStringLiteral("dialog.csv"));
        QVERIFY(dialog->exportTo(exported));
        const QString cli = dir.filePath(QStringLiteral("cli.csv"));
        QCOMPARE(QProcess::execute(QStringLiteral(FLOWSEL_BIN_DIR "/flowsel-cli"),
                     {"--db", ":memory:", "--today", "20261210", "batch", csv, "--out", cli}),
            1);
        QFile a(exported), b(cli);
        QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
        QCOMPARE(a.readAll(), b.readAll());

        // the successful points are saved under new numbers, each told in its row,
        // after the number the main window's open window shows (20261210001)
        QSignalSpy saved(dialog, &BatchDialog::saved);
        dialog->saveAll();
        QCOMPARE(saved.size(), 1);
        QCOMPARE(saved.front().front().toInt(), points - points / 10);
        QCOMPARE(cell(table, 0, QStringLiteral("状态")), QStringLiteral("已保存为 20261210002"));
        QCOMPARE(cell(table, 10, QStringLiteral("状态")), QStringLiteral("已保存为 20261210011"));
        QCOMPARE(cell(table, 9, QStringLiteral("状态")), QStringLiteral("拒绝"));
        // stored, and the list read again from the top: the newest first
        QSqlQuery count(d.database.connection());
        QVERIFY(count.exec(QStringLiteral("select count(*) from 选型输出")) && count.next());
        QCOMPARE(count.value(0).toInt(), points - points / 10);
        QCOMPARE(d.main->workspace().list().caption(0),
            QStringLiteral("20261210%1").arg(points - points / 10 + 1, 3, 10, QChar(u'0')));
        // a second save saves nothing twice
        dialog->saveAll();
        QCOMPARE(saved.back().front().toInt(), 0);
    }

    // "全部保存" leaves the numbers the open windows show to them: after it, the
    // main window's selection is saved under its own number.
    void saveAllKeepsClearOfTheOpenWindowsNumbers()
    {
        Desktop d;
        SelectionWidget* w = d.currentWithFlows();
        QVERIFY(w);
        SelectionWindow& window = w->window();
        QTest::mouseClick(w->computeButton(), Qt::LeftButton);
        QTest::mouseClick(w->selectButton(), Qt::LeftButton);
        QVERIFY(!window.form().text(Field::ResultText).isEmpty());
        d.main->workspace().newSelection(); // a second open window: 20261210002
        QCOMPARE(d.main->workspace().current()->form().text(Field::SelectionNo), QStringLiteral("20261210002"));

        BatchDialog* dialog = d.openFromMenu();
        QTemporaryDir dir;
        const QString csv = writePoints(dir, 2);
        QVERIFY(!csv.isEmpty());
        QSignalSpy ended(dialog, &BatchDialog::runEnded);
        QVERIFY(dialog->load(csv));
        QVERIFY(ended.wait(60000));
        dialog->saveAll();
        QCOMPARE(cell(dialog->table(), 0, QStringLiteral("状态")), QStringLiteral("已保存为 20261210003"));
        QCOMPARE(cell(dialog->table(), 1, QStringLiteral("状态")), QStringLiteral("已保存为 20261210004"));

        WidgetPlatform::setScripted(true); // "数据保存完毕…" answered OK
        d.main->workspace().save(window);
        WidgetPlatform::setScripted(false);
        QSqlQuery stored(d.database.connection());
        QVERIFY(stored.exec(QStringLiteral("select 选型编号 from 选型输出 order by 选型编号")));
        QStringList numbers;
        while (stored.next())
            numbers << stored.value(0).toString();
        QCOMPARE(numbers, (QStringList {"20261210001", "20261210003", "20261210004"}));
    }

    // A row says saved only when its own save stored it: the number the dialog gave,
    // taken meanwhile, is the program's to change, and the row shows the number it
    // was stored under; a store that takes no row is told.
    void aRowSaysSavedOnlyWhenItsOwnSaveStoredIt()
    {
        Desktop d;
        BatchDialog* dialog = d.openFromMenu();
        dialog->setNumberForSave([] { return QStringLiteral("20261210077"); });
        QTemporaryDir dir;
        const QString csv = writePoints(dir, 1);
        QVERIFY(!csv.isEmpty());
        QSignalSpy ended(dialog, &BatchDialog::runEnded);
        QSignalSpy saved(dialog, &BatchDialog::saved);
        for (int run = 0; run < 3; ++run) {
            if (run == 2)
                QVERIFY(QSqlQuery(d.database.connection())
                            .exec(QStringLiteral("create trigger refuse before insert on 选型输出 "
                                                 "begin select raise(abort, 'disk full'); end")));
            QVERIFY(dialog->load(csv));
            QVERIFY(ended.wait(60000));
            dialog->saveAll();
            if (run == 1)
                QCOMPARE(cell(dialog->table(), 0, QStringLiteral("选型编号")), QStringLiteral("20261210078"));
        }
        QCOMPARE(saved.size(), 3);
        QCOMPARE(saved[0].front().toInt(), 1);
        QCOMPARE(saved[1].front().toInt(), 1);
        QCOMPARE(saved[2].front().toInt(), 0);
        QVERIFY2(cell(dialog->table(), 0, QStringLiteral("状态")).startsWith(QStringLiteral("未保存：")),
            qPrintable(cell(dialog->table(), 0, QStringLiteral("状态"))));
    }

    // The table reads like a results sheet: what became of the point and the meter
    // first, then the record's fields under the list's headers, every cell whole in
    // its tooltip.
    void resultColumnsFirstUnderChineseHeaders()
    {
        Desktop d;
        BatchDialog* dialog = d.openFromMenu();
        QTemporaryDir dir;
        const QString csv = writePoints(dir, 1);
        QVERIFY(!csv.isEmpty());
        QSignalSpy ended(dialog, &BatchDialog::runEnded);
        QVERIFY(dialog->load(csv));
        QVERIFY(ended.wait(60000));
        QTableWidget* table = dialog->table();
        const QStringList shown = headers(table);
        QCOMPARE(shown.mid(0, 12),
            (QStringList {"状态", "位号/标记", "结果状态", "警告", "型号", "通径规格", "规格流量范围", "上限利用率%",
                "下限倍数", "提示信息", "使用介质", "最小标况流量"}));
        QCOMPARE(shown.last(), QStringLiteral("SGERG-88适用范围"));
        // one column for each of the results file's, none of them under its English name
        QCOMPARE(shown.size(), BatchSelector::resultHeader().size() + 1);
        for (const char* name : {"Id", "Status", "Medium", "ResultText", "SizeSpec", "Messages", "MeterType"})
            QVERIFY2(!shown.contains(QString::fromLatin1(name)), name);
        QVERIFY(!cell(table, 0, QStringLiteral("型号")).isEmpty());
        for (int c = 0; c < table->columnCount(); ++c)
            QCOMPARE(table->item(0, c)->toolTip(), table->item(0, c)->text());
    }

    // Each row's colour tells what became of its point. The points carry pressures,
    // temperatures and a gas inside SGERG-88's range, so that only the flows warn.
    void rowColoursByStatus_data()
    {
        QTest::addColumn<QByteArray>("point"); // Medium,StdFlowMin,StdFlowMax; the gas of kGas
        QTest::addColumn<bool>("saveRefused"); // the store takes no row
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("warned");
        QTest::addColumn<QString>("shade");
        QTest::newRow("selected") << QByteArray("城市天然气或城市煤气,10,100") << false << "selected" << false
                                  << "plain";
        QTest::newRow("selected with warnings")
            << QByteArray("城市天然气或城市煤气,1,100") << false << "selected" << true << "amber";
        QTest::newRow("no meter fits") << QByteArray("城市天然气或城市煤气,10,100000") << false << "no-fit" << false
                                       << "grey";
        QTest::newRow("refused") << QByteArray("天然气,10,100") << false << "refused" << false << "red";
        QTest::newRow("unsaved") << QByteArray("城市天然气或城市煤气,10,100") << true << "unsaved" << false << "red";
    }
    void rowColoursByStatus()
    {
        QFETCH(QByteArray, point);
        QFETCH(bool, saveRefused);
        QFETCH(QString, status);
        QFETCH(bool, warned);
        QFETCH(QString, shade);
        Desktop d;
        BatchDialog* dialog = d.openFromMenu();
        dialog->setNumberForSave([] { return QStringLiteral("20261210077"); });
        QTemporaryDir dir;
        const QString csv = dir.filePath(QStringLiteral("p.csv"));
        QVERIFY(writeFile(csv, "Medium,StdFlowMin,StdFlowMax," + kGasColumns + "\n" + point + "," + kGas + "\n"));
        QSignalSpy ended(dialog, &BatchDialog::runEnded);
        if (saveRefused)
            QVERIFY(QSqlQuery(d.database.connection())
                        .exec(QStringLiteral("create trigger refuse before insert on 选型输出 "
                                             "begin select raise(abort, 'disk full'); end")));
        QVERIFY(dialog->load(csv));
        QVERIFY(ended.wait(60000));
        if (saveRefused)
            dialog->saveAll();
        QTableWidget* table = dialog->table();
        QCOMPARE(cell(table, 0, QStringLiteral("结果状态")), status);
        QCOMPARE(!cell(table, 0, QStringLiteral("警告")).isEmpty(), warned);
        for (int c = 0; c < table->columnCount(); ++c)
            QCOMPARE(::shade(table->item(0, c)), shade);
    }

    void cancelStopsTheRun()
    {
        Desktop d;
        BatchDialog* dialog = d.openFromMenu();
        QTemporaryDir dir;
        const QString csv = writePoints(dir, 20000);
        QVERIFY(!csv.isEmpty());
        QVERIFY(dialog->load(csv));
        QTest::qWait(50);
        QTest::mouseClick(dialog->cancelButton(), Qt::LeftButton);
        QVERIFY(!dialog->running());
        const int done = dialog->table()->rowCount();
        QVERIFY(done > 0 && done < 20000);
        QTest::qWait(50);
        QCOMPARE(dialog->table()->rowCount(), done);
        QVERIFY(dialog->status()->text().startsWith(QStringLiteral("已取消")));
    }

    // "导出CSV…" does not replace the points file or the store's file, and on a disk
    // that fills (the process may write `room` bytes) it says so and leaves no file.
    void exportIsRefused_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("full");
        QTest::addColumn<qint64>("room"); // -1: all but the last byte
        QTest::addColumn<QString>("said");
        QTest::newRow("the points file") << "p.csv" << false << qint64(0) << "就是测点文件";
        QTest::newRow("the store's file") << "db.mdb" << false << qint64(0) << "就是数据库";
        QTest::newRow("a full disk") << "r.csv" << true << qint64(4096) << "无法写入结果文件";
        QTest::newRow("all but the last byte") << "r.csv" << true << qint64(-1) << "无法写入结果文件";
    }

    void exportIsRefused()
    {
        QFETCH(QString, target);
        QFETCH(bool, full);
        QFETCH(qint64, room);
        QFETCH(QString, said);
        QTemporaryDir dir;
        const QString db = dir.filePath(QStringLiteral("db.mdb"));
        QString error;
        QVERIFY2(SelectionDatabase::create(db, &error), qPrintable(error));
        Desktop d(db);
        BatchDialog* dialog = d.openFromMenu();
        const QString csv = writePoints(dir, 60);
        QVERIFY(!csv.isEmpty());
        QSignalSpy ended(dialog, &BatchDialog::runEnded);
        QVERIFY(dialog->load(csv));
        QVERIFY(ended.wait(60000));
        const QString path = dir.filePath(target);
        if (full && room < 0) {
            QVERIFY(dialog->exportTo(path));
            room = QFileInfo(path).size() - 1;
            QVERIFY(room > 4096);
            QVERIFY(QFile::remove(path));
        }
        const QByteArray before = contentOf(path);
        const QStringList files = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);

        BoxAnswerer boxes;
        const auto exportTo = [&] { return dialog->exportTo(path); };
        QVERIFY(!(full ? onAFullDisk(room, exportTo) : exportTo()));
        QCOMPARE(boxes.answered, 1);
        QVERIFY2(dialog->status()->text().contains(said), qPrintable(dialog->status()->text()));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), files);
        QCOMPARE(contentOf(path), before);
    }

    // Points from a FIFO, which can be read only once, are selected as from a file.
    void pointsFromAFifo()
    {
        Desktop d;
        BatchDialog* dialog = d.openFromMenu();
        QTemporaryDir dir;
        const QString csv = writePoints(dir, 30);
        QVERIFY(!csv.isEmpty());
        const QString fifo = dir.filePath(QStringLiteral("points"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QProcess writer;
        writer.start(QStringLiteral("sh"), {"-c", "cat \"$0\" > \"$1\"", csv, fifo});
        QVERIFY(writer.waitForStarted());
        QSignalSpy ended(dialog, &BatchDialog::runEnded);
        QVERIFY(dialog->load(fifo));
        QVERIFY(ended.wait(60000));
        writer.waitForFinished(); // false when it has ended already
        QCOMPARE(writer.exitCode(), 0);
        QCOMPARE(dialog->table()->rowCount(), 30);
        QCOMPARE(cell(dialog->table(), 29, QStringLiteral("位号/标记")), QStringLiteral("p30"));
        QCOMPARE(dialog->progress()->value(), 30);
    }

    // A file without points ends with the bar full, not busy; a file that cannot be
    // used leaves no results of the run before, and nothing to export or save.
    void barAndButtonsBetweenRuns()
    {
        Desktop d;
        BatchDialog* dialog = d.openFromMenu();
        QTemporaryDir dir;
        const QString csv = dir.filePath(QStringLiteral("p.csv"));
        const QString bad = dir.filePath(QStringLiteral("bad.csv"));
        const QString empty = dir.filePath(QStringLiteral("header.csv"));
        QVERIFY(writeFile(csv, pointsFile(3)));
        QVERIFY(writeFile(bad, "Id,Flow\n"));
        QVERIFY(writeFile(empty, "Id,Medium\n"));
        QSignalSpy ended(dialog, &BatchDialog::runEnded);
        QVERIFY(dialog->load(csv));
        QVERIFY(ended.wait(60000));
        QVERIFY(dialog->exportButton()->isEnabled());
        QVERIFY(dialog->saveButton()->isEnabled());

        BoxAnswerer boxes;
        QVERIFY(!dialog->load(bad));
        QCOMPARE(boxes.answered, 1);
        QCOMPARE(dialog->table()->rowCount(), 0);
        QVERIFY(!dialog->exportButton()->isEnabled());
        QVERIFY(!dialog->saveButton()->isEnabled());
        QVERIFY(dialog->status()->text().contains(QStringLiteral("未知的列名“Flow”")));

        QVERIFY(dialog->load(empty));
        QTRY_COMPARE(ended.size(), 2);
        QVERIFY(dialog->progress()->maximum() > dialog->progress()->minimum());
        QCOMPARE(dialog->progress()->value(), dialog->progress()->maximum());
        QCOMPARE(dialog->table()->rowCount(), 0);
        QVERIFY(!dialog->exportButton()->isEnabled());
    }

    // The quiet hints after "计算工况流量" and "选型"; no message box.
    void statusBarHints()
    {
        Desktop d;
        SelectionWidget* w = d.currentWithFlows();
        QVERIFY(w);
        SelectionWindow& window = w->window();
        window.paste(Field::TempMin, QStringLiteral("-10"));
        window.paste(Field::Hs, QStringLiteral("38"));
        QTest::mouseClick(w->computeButton(), Qt::LeftButton);
        QCOMPARE(d.main->statusBar()->currentMessage(), QStringLiteral("SGERG-88：输入在管输天然气的常规适用范围内"));
        QTest::mouseClick(w->selectButton(), Qt::LeftButton);
        QCOMPARE(d.main->statusBar()->currentMessage(),
            QStringLiteral("通径利用率：最大工况流量为上限的 76.8%，最小工况流量为下限的 9.06 倍"));
        window.paste(Field::Hs, QStringLiteral("50"));
        QTest::mouseClick(w->computeButton(), Qt::LeftButton);
        QCOMPARE(d.main->statusBar()->currentMessage(),
            QStringLiteral("SGERG-88：超出适用范围（高位发热量），压缩系数仅供参考"));
        // a refused computation judged nothing
        window.paste(Field::StdFlowMin, QString());
        WidgetPlatform::setScripted(true); // "最小标况流量未填写！" answered OK
        QTest::mouseClick(w->computeButton(), Qt::LeftButton);
        WidgetPlatform::setScripted(false);
        QCOMPARE(d.main->statusBar()->currentMessage(), QString());
    }
};

QTEST_MAIN(TestBatchDialog)
#include "tst_batch_dialog.moc"
