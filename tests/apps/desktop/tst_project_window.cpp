#include "adapters/sqlite/selection_database.h"
#include "apps/cli/cli_command.h"
#include "apps/desktop/main_window.h"
#include "apps/desktop/project_panel.h"
#include "apps/desktop/widget_platform.h"
#include "apps/desktop/work_questions.h"
#include "support/project_rows.h"
#include "support/question_answers.h"
#include "support/recording_platform.h"
#include "support/tool_output.h"
#include "workspace/selection_window.h"

#include <QAbstractButton>
#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <QTreeWidget>

#include <memory>

// The desktop's projects, offscreen: the tab "项目" beside "选型记录", the project
// window's lines changed in place, the question before deleting a selection that a
// project uses, and the sheet and workbook written from the window.
namespace {

// The main window on a store in memory holding 20261209001 (code LWQ-A); the current
// selection window's number, 20261210001, is stored too (code LWQ-B), as "保存" stores it.
struct Desktop {
    SelectionDatabase database;
    RecordingPlatform told; // every box the program shows, answered OK
    std::unique_ptr<MainWindow> main;

    Desktop()
    {
        database.open(SelectionDatabase::memoryPath());
        database.insert(projectSelectionRow(QStringLiteral("20261209001"), QStringLiteral("LWQ-A")));
        main = std::make_unique<MainWindow>(database, QStringLiteral("20261210"), &told);
        main->show();
        QCoreApplication::processEvents();
        main->workspace().activate();
        QCoreApplication::processEvents();
        database.insert(projectSelectionRow(QStringLiteral("20261210001"), QStringLiteral("LWQ-B")));
    }
    ProjectPanel* panel() const { return main->projectPanel(); }
    QStringList listed() const
    {
        QStringList out;
        QTreeWidget* list = panel()->projectList();
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            out << list->topLevelItem(i)->text(0) + u' ' + list->topLevelItem(i)->text(1);
        return out;
    }
    // The record list's row of a number chosen, as the user clicks it.
    void chooseRecord(const QString& number)
    {
        QTreeView* list = main->recordList();
        for (int r = 0; r < list->model()->rowCount(); ++r) {
            if (list->model()->index(r, 0).data().toString() == number)
                list->setCurrentIndex(list->model()->index(r, 0));
        }
    }
    static QStringList row(QTableWidget* table, int r)
    {
        QStringList out;
        for (int c = 0; c < table->columnCount(); ++c)
            out << table->item(r, c)->text();
        return out;
    }
};

} // namespace

class TestProjectWindow final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { WidgetPlatform::setScripted(true); }

    void tabBesideTheRecordsNewestFirstSearchable()
    {
        Desktop d;
        auto* tabs = d.panel()->parentWidget()->parentWidget();
        auto* tabWidget = qobject_cast<QTabWidget*>(tabs);
        QVERIFY(tabWidget);
        QCOMPARE(tabWidget->tabText(0), QStringLiteral("选型记录"));
        QCOMPARE(tabWidget->tabText(1), QStringLiteral("项目"));
        QCOMPARE(d.panel()->createProject(QStringLiteral("城东门站")), QStringLiteral("XM20261210001"));
        QCOMPARE(d.panel()->createProject(QStringLiteral("工业园")), QStringLiteral("XM20261210002"));
        QCOMPARE(d.listed(), (QStringList {"XM20261210002 工业园", "XM20261210001 城东门站"}));
        d.panel()->searchBox()->setText(QStringLiteral("门站")); // as typed: each change reads the list again
        QCOMPARE(d.listed(), QStringList {"XM20261210001 城东门站"});
        // the window of a project opens once
        QCOMPARE(d.panel()->openProject(QStringLiteral("XM20261210001")),
            d.panel()->windowOf(QStringLiteral("XM20261210001")));
    }

    void linesAddedChangedInPlaceAndRemoved()
    {
        Desktop d;
        const QString p = d.panel()->createProject(QStringLiteral("城东门站"));
        ProjectWindow* w = d.panel()->windowOf(p);
        QVERIFY(w && w->isVisible());
        QTableWidget* table = w->lineTable();
        QStringList headers;
        for (int c = 0; c < table->columnCount(); ++c)
            headers << table->horizontalHeaderItem(c)->text();
        QCOMPARE(headers,
            (QStringList {"位号", "选型编号", "型号", "介质", "标况流量范围", "绝压范围", "通径规格", "数量"}));

        QVERIFY(w->addCurrentSelection());
        QVERIFY(!w->addListedSelection()); // nothing chosen in the list
        QCOMPARE(d.told.events.takeLast(), QStringLiteral("box 1: 请先在选型记录列表中选择一条记录！"));
        d.chooseRecord(QStringLiteral("20261209001"));
        QVERIFY(w->addListedSelection());
        QCOMPARE(table->rowCount(), 2);
        QCOMPARE(Desktop::row(table, 1),
            (QStringList {"20261210001", "20261210001", "LWQ-B", "城市天然气或城市煤气", "10~100", "150~200",
                "50RKD-G25(0.5<=Qg<=40)", "1"}));

        // the tag and the quantity in place; a tag another line holds is refused
        table->item(1, 0)->setText(QStringLiteral("FT-101"));
        table->item(0, 7)->setText(QStringLiteral("3"));
        QCOMPARE(Desktop::row(table, 0).value(0), QStringLiteral("20261209001"));
        QCOMPARE(Desktop::row(table, 0).value(7), QStringLiteral("3"));
        table->item(0, 0)->setText(QStringLiteral("FT-101"));
        QCOMPARE(d.told.events.takeLast(), QStringLiteral("box 1: 项目 %1 中已有位号“FT-101”").arg(p));
        table->item(0, 7)->setText(QStringLiteral("0"));
        QCOMPARE(d.told.events.takeLast(), QStringLiteral("box 1: 数量应为不小于1的整数！"));
        const auto lines = projectsOf(d.database)->projectLines(p).value();
        QCOMPARE(lines.size(), size_t(2));
        QCOMPARE(lines[0].tag + u' ' + QString::number(lines[0].quantity), QStringLiteral("20261209001 3"));
        QCOMPARE(lines[1].tag, QStringLiteral("FT-101"));

        // open a line's selection: a window restored from it becomes current
        table->setCurrentCell(1, 1);
        w->openCurrentLine();
        QCOMPARE(d.main->workspace().current()->form().text(Field::SelectionNo), QStringLiteral("20261210001"));
        QCOMPARE(d.main->workspace().windows().size(), size_t(2));

        table->setCurrentCell(0, 0);
        QVERIFY(w->removeCurrentLine());
        QCOMPARE(table->rowCount(), 1);
        QCOMPARE(table->item(0, 0)->text(), QStringLiteral("FT-101"));
    }

    // A project's rules live in one place: both programs refuse the same input with
    // the same text (the desktop in a box, the command line on standard error).
    void bothProgramsSayTheSame_data()
    {
        QTest::addColumn<QString>("refusal");
        QTest::addColumn<QString>("said");
        QTest::newRow("an empty tag") << "empty tag"
                                      << "位号不能为空！";
        QTest::newRow("a quantity that is none") << "quantity 0"
                                                 << "数量应为不小于1的整数！";
        QTest::newRow("a tag another line holds") << "tag taken"
                                                  << "项目 XM20261210001 中已有位号“FT-2”";
        // the current window's number, not saved yet
        QTest::newRow("a number not stored") << "not stored"
                                             << "选型编号（20261210001）还未保存，不能加入项目！";
        QTest::newRow("an empty name") << "empty name"
                                       << "项目名称不能为空！";
    }

    void bothProgramsSayTheSame()
    {
        QFETCH(QString, refusal);
        QFETCH(QString, said);
        QTemporaryDir dir;
        const QString db = dir.filePath(QStringLiteral("d.mdb"));
        {
            QString error;
            QVERIFY2(SelectionDatabase::create(db, &error), qPrintable(error));
            SelectionDatabase store;
            store.open(db);
            store.insert(projectSelectionRow(QStringLiteral("20261209001"), QStringLiteral("LWQ-A")));
        }
        const auto cli = [&db](const QStringList& args) {
            QStringList err;
            runFlowselCli(
                QStringList {"--db", db, "--today", "20261210"} + args, [](const QString&) {},
                [&err](const QString& line) { err << line; });
            return err.join(u'\n');
        };
        const QString p = QStringLiteral("XM20261210001");
        QCOMPARE(cli({"project", "new", "城东门站"}), QString());
        QCOMPARE(cli({"project", "add", p, "FT-1", "20261209001"}), QString());
        QCOMPARE(cli({"project", "add", p, "FT-2", "20261209001"}), QString());

        QString fromCli;
        if (refusal == u"empty tag")
            fromCli = cli({"project", "add", p, " ", "20261209001"});
        else if (refusal == u"quantity 0")
            fromCli = cli({"project", "add", p, "FT-3", "20261209001", "--qty", "0"});
        else if (refusal == u"tag taken")
            fromCli = cli({"project", "add", p, "FT-2", "20261209001"});
        else if (refusal == u"not stored")
            fromCli = cli({"project", "add", p, "FT-3", "20261210001"});
        else
            fromCli = cli({"project", "new", " "});
        QVERIFY2(fromCli.contains(said), qPrintable(fromCli));

        SelectionDatabase store;
        store.open(db);
        RecordingPlatform told;
        MainWindow main(store, QStringLiteral("20261210"), &told);
        main.show();
        QCoreApplication::processEvents();
        main.workspace().activate();
        ProjectWindow* w = main.projectPanel()->openProject(p);
        QVERIFY(w);
        QTableWidget* table = w->lineTable();
        told.events.clear();
        if (refusal == u"empty tag") {
            table->item(0, 0)->setText(QStringLiteral(" "));
        } else if (refusal == u"quantity 0") {
            table->item(0, 7)->setText(QStringLiteral("0"));
        } else if (refusal == u"tag taken") {
            table->item(0, 0)->setText(QStringLiteral("FT-2"));
        } else if (refusal == u"not stored") {
            QVERIFY(!w->addCurrentSelection());
        } else {
            QVERIFY(main.projectPanel()->createProject(QStringLiteral(" ")).isEmpty());
        }
        QCOMPARE(told.events, QStringList {QStringLiteral("box 1: ") + said});
    }

    void headerChangedAndListed()
    {
        Desktop d;
        const QString p = d.panel()->createProject(QStringLiteral("城东门站"));
        ProjectWindow* w = d.panel()->windowOf(p);
        w->nameBox()->setText(QStringLiteral("城东门站二期"));
        w->customerBox()->setText(QStringLiteral("燃气公司"));
        QVERIFY(w->saveHeader());
        QCOMPARE(projectsOf(d.database)->fetchProject(p).value()->customer, QStringLiteral("燃气公司"));
        QCOMPARE(d.listed(), QStringList {p + QStringLiteral(" 城东门站二期")});
        w->nameBox()->clear();
        QVERIFY(!w->saveHeader());
        QCOMPARE(d.told.events, QStringList {"box 1: 项目名称不能为空！"});
    }

    // Deleting a stored selection a project uses asks first, naming the project; the
    // line stays, "已删除".
    void deletingAUsedSelectionAsksAndMarksTheLine_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::newRow("删除") << "删除";
        QTest::newRow("取消") << "取消";
    }

    void deletingAUsedSelectionAsksAndMarksTheLine()
    {
        QFETCH(QString, answer);
        Desktop d;
        const QString p = d.panel()->createProject(QStringLiteral("城东门站"));
        ProjectWindow* w = d.panel()->windowOf(p);
        d.chooseRecord(QStringLiteral("20261209001"));
        QVERIFY(w->addListedSelection());
        QStringList asked;
        answerQuestionsWith(answer, &asked);
        d.chooseRecord(QStringLiteral("20261209001"));
        d.main->deleteRecordAction()->trigger();
        WorkQuestion::setHandler({});
        QCOMPARE(asked.size(), 1);
        QVERIFY2(asked[0].contains(p) && asked[0].contains(QStringLiteral("已删除")), qPrintable(asked[0]));
        QCOMPARE(w->lineTable()->rowCount(), 1);
        QCOMPARE(
            w->lineTable()->item(0, 2)->text(), answer == u"删除" ? QStringLiteral("已删除") : QStringLiteral("LWQ-A"));
    }

    // Starting straight into a project shows the tab "项目" with the project chosen,
    // even where the search had hidden it, and its window in front; a number the
    // store does not hold opens nothing and says so.
    void startingIntoAProject()
    {
        Desktop d;
        const QString p = d.panel()->createProject(QStringLiteral("城东门站"));
        d.panel()->createProject(QStringLiteral("工业园"));
        d.panel()->windowOf(p)->close();
        d.panel()->searchBox()->setText(QStringLiteral("工业园"));
        d.main->listTabs()->setCurrentIndex(0);

        ProjectWindow* w = d.main->showProject(p);
        QVERIFY(w && w == d.panel()->windowOf(p) && w->isVisible());
        QCOMPARE(d.main->listTabs()->currentWidget(), d.panel());
        QVERIFY(d.panel()->projectList()->currentItem());
        QCOMPARE(d.panel()->projectList()->currentItem()->text(0), p);
        QCOMPARE(d.listed().size(), 2);

        d.main->listTabs()->setCurrentIndex(0);
        QVERIFY(!d.main->showProject(QStringLiteral("XM20261210009")));
        QCOMPARE(d.main->listTabs()->currentIndex(), 0);
        QCOMPARE(
            projectUnavailable(d.database, QStringLiteral("XM20261210009")), QStringLiteral("没有项目 XM20261210009"));
        QCOMPARE(projectUnavailable(d.database, p), QString());
        QCOMPARE(d.told.events, QStringList());
    }

    // The desktop's command line for it: a project that is not in the store, or a
    // picture of a project's window without a project, stops the program before any
    // window; a project in the store is pictured.
    void projectOnTheCommandLine_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("error");
        QTest::newRow("pictured") << QStringList {"--project", "XM20261210001", "--grab-project", "OUT"} << 0 << "";
        QTest::newRow("no such project") << QStringList {"--project", "XM20261210002", "--grab-project", "OUT"} << 2
                                         << "没有项目 XM20261210002";
        QTest::newRow("empty number") << QStringList {"--project", " "} << 2 << "--project needs a project number";
        QTest::newRow("picture without project")
            << QStringList {"--grab-project", "OUT"} << 2 << "--grab-project needs --project";
        QTest::newRow("picture not written") << QStringList {"--project", "XM20261210001", "--grab-project",
            "/nonexistent/p.png"} << 2 << "cannot write /nonexistent/p.png";
    }

    void projectOnTheCommandLine()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, error);
        QTemporaryDir dir;
        const QString db = dir.filePath(QStringLiteral("p.mdb"));
        const QString picture = dir.filePath(QStringLiteral("project.png"));
        QProcess cli;
        for (const QStringList& command : {QStringList {"init-db"}, QStringList {"project", "new", "城东门站"}}) {
            cli.start(QStringLiteral(FLOWSEL_BIN_DIR "/flowsel-cli"),
                QStringList {"--db", db, "--today", "20261210"} + command);
            QVERIFY(cli.waitForFinished(60000));
            QCOMPARE(cli.exitCode(), 0);
        }
        QCOMPARE(cli.readAllStandardOutput(), QByteArray("XM20261210001\n"));
        args.replaceInStrings(QRegularExpression(QStringLiteral("^OUT$")), picture);

        QProcess desktop;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        desktop.setProcessEnvironment(env);
        desktop.start(QStringLiteral(FLOWSEL_BIN_DIR "/flowsel"),
            QStringList {"--db", db, "--today", "20261210", "--script", "/dev/null"} + args);
        QVERIFY(desktop.waitForFinished(60000));
        const QString stderrText = QString::fromUtf8(desktop.readAllStandardError());
        QCOMPARE(desktop.exitCode(), status);
        QVERIFY2(stderrText.contains(error), qPrintable(stderrText));
        const QImage image(picture);
        QCOMPARE(!image.isNull(), status == 0);
        if (status == 0)
            QVERIFY(image.width() > 400 && image.height() > 200);
    }

    void sheetPreviewPdfAndWorkbookFromTheWindow()
    {
        Desktop d;
        const QString p = d.panel()->createProject(QStringLiteral("城东门站"));
        ProjectWindow* w = d.panel()->windowOf(p);
        QVERIFY(w->addCurrentSelection());
        QTemporaryDir dir;
        QStringList asked;
        w->setFileChooser([&](const QString& caption, const QString&, const QString& suggested) {
            asked << caption;
            return dir.filePath(suggested);
        });
        QVERIFY(w->saveSheetPdf());
        QVERIFY(w->exportWorkbook());
        QCOMPARE(asked, (QStringList {"保存为PDF", "导出Excel"}));
        const QString pdf = dir.filePath(p + QStringLiteral(" 项目选型汇总表.pdf"));
        const QString text = toolOutput(QStringLiteral("pdftotext"), {"-layout", pdf, "-"});
        QVERIFY2(text.contains(QStringLiteral("项目选型汇总表")) && text.contains(QStringLiteral("LWQ-B")),
            qPrintable(text));
        QVERIFY(QFileInfo(dir.filePath(p + QStringLiteral(" 城东门站.xlsx"))).size() > 0);
        // the preview lays the sheet out on A4 landscape
        QPrintPreviewDialog* preview = w->createPreview();
        int painted = 0;
        connect(preview, &QPrintPreviewDialog::paintRequested, this, [&](QPrinter* printer) {
            ++painted;
            QCOMPARE(printer->pageLayout().orientation(), QPageLayout::Landscape);
        });
        preview->open();
        QCoreApplication::processEvents();
        QVERIFY(painted > 0);
        preview->close();
    }
};

QTEST_MAIN(TestProjectWindow)
#include "tst_project_window.moc"
