#include "adapters/access/access_child.h"
#include "adapters/sqlite/selection_database.h"
#include "apps/common/store_choice.h"
#include "apps/desktop/candidates_pane.h"
#include "apps/desktop/desktop.h"
#include "apps/desktop/document_window.h"
#include "apps/desktop/filtered_line_edit.h"
#include "apps/desktop/gauge_pressure_dialog.h"
#include "apps/desktop/gui_script_actions.h"
#include "apps/desktop/list_search.h"
#include "apps/desktop/main_window.h"
#include "apps/desktop/menu_documents.h"
#include "apps/desktop/notes_area.h"
#include "apps/desktop/radio_group.h"
#include "apps/desktop/selection_list_model.h"
#include "apps/desktop/selection_widget.h"
#include "apps/desktop/sheet_preview.h"
#include "apps/desktop/work_questions.h"
#include "support/access_files.h"
#include "support/database_file.h"
#include "support/old_table.h"
#include "support/question_answers.h"
#include "support/recording_platform.h"
#include "support/tool_output.h"
#include "support/widget_agreement.h"
#include "workspace/code_key.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QSet>
#include <QSplitter>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTimer>
#include <QToolTip>
#include <QTreeView>

#include <memory>

using F = Field;

namespace {

// `count` rows numbered 20250000001 upwards, with the model codes CODE-1 upwards.
void storeRows(SelectionDatabase& database, int count)
{
    QSqlQuery q(database.connection());
    QVERIFY(q.exec(QStringLiteral("with recursive n(i) as (select 1 union all select i + 1 from n where i < %1) "
                                  "insert into 选型输出 (选型编号, 仪表型号规格) "
                                  "select '2025' || substr('0000000' || i, -7), 'CODE-' || i from n")
                       .arg(count)));
}

// The text of each page of a PDF file, as pdftotext lays it out.
QStringList pdfPages(const QString& path)
{
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {"-layout", path, "-"});
    if (!text.waitForFinished(60000))
        return {};
    return QString::fromUtf8(text.readAllStandardOutput()).split(u'\f', Qt::SkipEmptyParts);
}

// Answers the next file dialog as a user who types `path` and confirms it.
void answerFileDialog(const QString& path)
{
    auto* poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, path] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        poll->deleteLater();
        dialog->selectFile(path);
        static_cast<QDialog*>(dialog)->accept(); // as its button 保存 does
    });
    poll->start(0);
}

// Answers every question with the button `answers` names in turn (the last one for
// all after it) and the boxes that only tell with their one button, noting each
// box's text in `asked`.
void answerBoxes(const QStringList& answers, QStringList* asked)
{
    WorkQuestion::setHandler([answers, asked](QMessageBox& box) -> QAbstractButton* {
        *asked << box.text();
        if (box.buttons().size() == 1)
            return box.buttons().front();
        const QString answer = answers.value(asked->size() - 1, answers.last());
        for (QAbstractButton* b : box.buttons()) {
            if (b->text() == answer)
                return b;
        }
        return nullptr;
    });
}

// The old program's Access file at `path` (its folder made), holding `rows`.
void makeOldDatabase(const QString& path, const std::vector<StoredRow>& rows)
{
    QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
    std::vector<QStringList> records {oldTableColumns()};
    records.insert(records.end(), rows.begin(), rows.end());
    QVERIFY(makeAccessFile(path, records));
}

// The rows of the main window's list, top first.
std::vector<StoredRow> listedRows(MainWindow& window)
{
    std::vector<StoredRow> rows;
    for (int i = 0; i < window.workspace().list().rowCount(); ++i)
        rows.push_back(window.workspace().list().row(i));
    return rows;
}

// The desktop program on a fresh in-memory database; message boxes answered OK.
struct Desktop {
    SelectionDatabase database;
    std::unique_ptr<MainWindow> main;
    QStringList events;

    explicit Desktop(Platform* echo = nullptr)
    {
        database.open(SelectionDatabase::memoryPath());
        main = std::make_unique<MainWindow>(database, QStringLiteral("20261210"), echo);
        main->resize(1364, 859);
        main->show();
        QCoreApplication::processEvents();
        main->workspace().activate();
        QCoreApplication::processEvents();
    }

    SelectionWidget* current() { return main->widgetOf(main->workspace().current()); }
    template <typename T>
    T* control(Field f)
    {
        return qobject_cast<T*>(current()->control(f));
    }

    void type(Field f, const QString& text)
    {
        auto* e = control<FilteredLineEdit>(f);
        e->setFocus();
        e->selectAll();
        QTest::keyClicks(e, text);
        agree();
    }
    void choose(Field f, const QString& item)
    {
        if (auto* c = control<QComboBox>(f)) {
            const int i = c->findText(item);
            QVERIFY2(i >= 0, qPrintable(item));
            // the user opens the list and picks the item
            c->setCurrentIndex(i);
            emit c->activated(i);
        } else {
            auto* r = control<RadioGroup>(f);
            const int i = static_cast<int>(r->items().indexOf(item));
            QVERIFY2(i >= 0, qPrintable(item));
            QAbstractButton* b = r->button(i);
            QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(8, b->height() / 2)); // on the indicator
        }
        agree();
    }
    // The flows and the line conditions of a point, typed box by box.
    void typePoint(const QString& qmin, const QString& qmax, const QString& pmin, const QString& pmax,
        const QString& tmin, const QString& tmax)
    {
        const std::pair<Field, QString> boxes[] = {{F::StdFlowMin, qmin}, {F::StdFlowMax, qmax}, {F::PabsMin, pmin},
            {F::PabsMax, pmax}, {F::TempMin, tmin}, {F::TempMax, tmax}};
        for (const auto& [f, text] : boxes)
            type(f, text);
    }
    void click(QPushButton* button)
    {
        QTest::mouseClick(button, Qt::LeftButton);
        agree();
    }
    // A metering point typed in, its working flows computed and a meter selected, by
    // the window's buttons; not saved.
    void composeASelection()
    {
        type(F::StdFlowMin, "80");
        type(F::StdFlowMax, "150");
        type(F::PabsMin, "300");
        type(F::PabsMax, "400");
        choose(F::ZMode, "不修正");
        click(current()->computeButton());
        click(current()->selectButton());
    }
    // The same, saved by "保存"; the model code shown.
    QString saveASelection()
    {
        composeASelection();
        click(current()->saveButton());
        return control<QLabel>(F::ResultText)->text();
    }
    void agree()
    {
        QString difference;
        QVERIFY2(widgetsAgreeWithModel(*current(), &difference), qPrintable(difference));
    }
    // "表压换算…" clicked: the dialog it opened.
    GaugePressureDialog* openGaugeDialog()
    {
        QTest::mouseClick(current()->gaugeButton(), Qt::LeftButton);
        for (auto* dialog : current()->findChildren<GaugePressureDialog*>()) {
            if (dialog->isVisible())
                return dialog;
        }
        return nullptr;
    }
    // The dialog's boxes typed in as the user types (an empty text: the box cleared).
    static void fillGaugeDialog(GaugePressureDialog* dialog, const QString& min, const QString& max,
        const QString& unit, const QString& atmosphere)
    {
        const std::pair<QLineEdit*, QString> boxes[]
            = {{dialog->gaugeMinEdit(), min}, {dialog->gaugeMaxEdit(), max}, {dialog->atmosphereEdit(), atmosphere}};
        for (const auto& [box, text] : boxes) {
            box->clear();
            QTest::keyClicks(box, text);
        }
        dialog->unitCombo()->setCurrentText(unit);
    }
};

} // namespace

class TestDesktop final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        setAccessChildProgram(QStringLiteral(FLOWSEL_BIN_DIR "/flowsel-cli"));
        WidgetPlatform::setScripted(true);
        QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs); // file dialogs a test can answer
    }

    void startsWithOneNumberedWindow()
    {
        Desktop d;
        QCOMPARE(d.main->windowTitle(), QStringLiteral("Corvane仪表集团气体流量计选型软件（V1.0）"));
        QCOMPARE(d.main->mdiArea()->subWindowList().size(), 1);
        QCOMPARE(d.current()->windowTitle(), QStringLiteral("流量计选型-1"));
        QCOMPARE(d.control<FilteredLineEdit>(F::SelectionNo)->text(), QStringLiteral("2026－12－10－001"));
        d.agree();
        // later activations open no other window, also after the first is closed
        d.main->mdiArea()->subWindowList().first()->close();
        QCoreApplication::processEvents();
        QEvent activate(QEvent::WindowActivate);
        QApplication::sendEvent(d.main.get(), &activate);
        QCOMPARE(d.main->mdiArea()->subWindowList().size(), 0);
        QVERIFY(!d.main->cascadeAction()->isEnabled());
    }

    void wholeSelectionThroughTheWidgets()
    {
        Desktop d;
        d.type(F::StdFlowMin, "80");
        d.agree();
        d.type(F::StdFlowMax, "150");
        d.type(F::PabsMin, "300");
        d.type(F::PabsMax, "400");
        d.choose(F::ZMode, "不修正");
        d.agree();
        QVERIFY(d.control<FilteredLineEdit>(F::ZnZgMin)->isEnabled());
        d.click(d.current()->computeButton());
        d.agree();
        QCOMPARE(d.control<QLabel>(F::WorkFlowMax)->text(), QStringLiteral("57.575"));
        d.choose(F::MeterType, "气体涡轮");
        d.agree();
        d.choose(F::Size, "80B(13<=Qg<=250)");
        d.choose(F::Gprs, "有");
        d.choose(F::ExProof, "隔爆 dIICT4");
        d.agree();
        d.click(d.current()->selectButton());
        d.agree();
        QCOMPARE(d.control<QLabel>(F::ResultText)->text(), QStringLiteral("VRNA-80B-0.5/1.6-1.0/1.5-KEV-G-G"));

        // save: the row at the top of the list
        d.click(d.current()->saveButton());
        QCOMPARE(d.main->workspace().list().rowCount(), 1);
        QTreeView* list = d.main->recordList();
        QCOMPARE(list->model()->index(0, 0).data().toString(), QStringLiteral("20261210001"));
        QCOMPARE(list->model()->index(0, 1).data().toString(), QStringLiteral("VRNA-80B-0.5/1.6-1.0/1.5-KEV-G-G"));

        // reopen by double click
        const QRect cell = list->visualRect(list->model()->index(0, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(d.main->mdiArea()->subWindowList().size(), 2);
        QCOMPARE(d.current()->windowTitle(), QString());
        d.agree();
        QCOMPARE(d.control<QLabel>(F::ResultText)->text(), QStringLiteral("VRNA-80B-0.5/1.6-1.0/1.5-KEV-G-G"));
        QCOMPARE(d.control<QComboBox>(F::Size)->currentText(), QStringLiteral("80B(13<=Qg<=250)"));

        // delete from the context menu
        list->setCurrentIndex(list->model()->index(0, 0));
        QVERIFY(list->actions().contains(d.main->deleteRecordAction()));
        QCOMPARE(d.main->deleteRecordAction()->text(), QStringLiteral("删除选型记录"));
        d.main->deleteRecordAction()->trigger();
        QCOMPARE(d.main->workspace().list().rowCount(), 0);
        QSqlQuery q(d.database.connection());
        QVERIFY(q.exec(QStringLiteral("select count(*) from 选型输出")) && q.next());
        QCOMPARE(q.value(0).toInt(), 0);
    }

    // After a refusal the box pointed at has its text selected: typing corrects it
    // instead of appending to it.
    void refusedBoxIsTypedAnew()
    {
        Desktop d;
        d.main->activateWindow();
        d.type(F::StdFlowMin, "650");
        d.type(F::StdFlowMax, "50");
        d.click(d.current()->computeButton());
        auto* box = d.control<FilteredLineEdit>(F::StdFlowMin);
        // the window keeps the box as its focus while a box of its own comes and goes
        QCOMPARE(d.main->focusWidget(), static_cast<QWidget*>(box));
        QCOMPARE(box->selectedText(), QStringLiteral("650"));
        QTest::keyClicks(box, QStringLiteral("5"));
        QCOMPARE(box->text(), QStringLiteral("5"));
    }

    // The warnings stand in a red line of the window, follow what the user changes and
    // stay while messages come and go.
    void warningLineFollowsTheWindow()
    {
        Desktop d;
        QLabel* line = d.current()->warningLine();
        const auto shown = [&] {
            QCoreApplication::processEvents(); // the line is redrawn once per action
            return line->isVisible() ? line->text() : QString();
        };
        // nothing before the inputs were used, though the default gas, given at 20 C /
        // 20 C, is beyond the method's range
        QCOMPARE(shown(), QString());
        QVERIFY(!line->isVisible());
        d.type(F::StdFlowMin, "10");
        d.type(F::StdFlowMax, "100");
        d.click(d.current()->computeButton());
        QVERIFY2(shown().contains(QStringLiteral("高位发热量 48.29")), qPrintable(shown()));
        QCOMPARE(line->palette().color(QPalette::WindowText), QColor(0xc0, 0, 0));
        d.choose(F::ZMode, "不修正");
        QCOMPARE(shown(), QString());
        QVERIFY(!line->isVisible());

        d.type(F::PabsMin, "0.2");
        QCOMPARE(shown(), QStringLiteral("⚠ 绝压低于60kPa：请确认填写的是绝对压力（kPa），不是表压或MPa"));
        d.type(F::PabsMin, "150");
        QCOMPARE(shown(), QString());

        // a size stretched over the working range, told beside the result
        d.type(F::StdFlowMin, "150");
        d.type(F::StdFlowMax, "1500");
        d.type(F::PabsMax, "300");
        d.type(F::TempMin, "-10");
        d.type(F::TempMax, "40");
        d.choose(F::Medium, "煤层气");
        d.click(d.current()->computeButton());
        d.click(d.current()->selectButton());
        QVERIFY(!d.control<QLabel>(F::ResultText)->text().isEmpty());
        const QString stretched = shown();
        QVERIFY2(stretched.contains(QStringLiteral("最大工况流量超出所选规格上限（")), qPrintable(stretched));
        QCOMPARE(d.current()->shownWarnings().size(), size_t(stretched.count(u'\n') + 1));
        // another input empties the chain: no size, no size warning
        d.type(F::StdFlowMax, "200");
        QCOMPARE(shown(), QString());
    }

    // One click next to "复制为新选型" must not lose a stored quote: deleting asks, and
    // only "删除" deletes; Enter or Escape keep the record.
    void deletingAsksFirst_data()
    {
        QTest::addColumn<QString>("answer"); // the button clicked; empty: the box closed with Escape
        QTest::addColumn<bool>("deleted");
        QTest::newRow("删除") << "删除" << true;
        QTest::newRow("取消") << "取消" << false;
        QTest::newRow("the default") << "default" << false;
        QTest::newRow("closed") << "" << false;
    }

    void deletingAsksFirst()
    {
        QFETCH(QString, answer);
        QFETCH(bool, deleted);
        Desktop d;
        d.saveASelection();
        QTreeView* list = d.main->recordList();
        list->setCurrentIndex(list->model()->index(0, 0));
        QStringList asked;
        WorkQuestion::setHandler([&](QMessageBox& box) -> QAbstractButton* {
            asked << box.text();
            QStringList buttons;
            for (QAbstractButton* b : box.buttons())
                buttons << b->text();
            std::sort(buttons.begin(), buttons.end());
            asked << buttons.join(u'/') << box.defaultButton()->text() << box.escapeButton()->text();
            if (answer == u"default")
                return box.defaultButton();
            for (QAbstractButton* b : box.buttons()) {
                if (b->text() == answer)
                    return b;
            }
            return nullptr;
        });
        d.main->deleteRecordAction()->trigger();
        WorkQuestion::setHandler({});
        QCOMPARE(asked,
            (QStringList {QStringLiteral("确定删除选型编号（20261210001）的选型记录吗？删除后不能恢复。"),
                QStringLiteral("删除/取消"), QStringLiteral("取消"), QStringLiteral("取消")}));
        QCOMPARE(d.main->workspace().list().rowCount(), deleted ? 0 : 1);
        QSqlQuery q(d.database.connection());
        QVERIFY(q.exec(QStringLiteral("select count(*) from 选型输出")) && q.next());
        QCOMPARE(q.value(0).toInt(), deleted ? 0 : 1);
    }

    // A dropped key beeps and, since many office machines sound no beep, the box says
    // at its foot what it takes.
    void keyFilterBeepsAndDrops_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("note"); // empty: no key dropped, nothing said
        QTest::newRow("letters in a flow") << "StdFlowMin"
                                           << "1a/2"
                                           << "12"
                                           << "只能输入数字和小数点";
        QTest::newRow("an exponent") << "StdFlowMax"
                                     << "1e3"
                                     << "13"
                                     << "只能输入数字和小数点";
        QTest::newRow("a sign in a pressure") << "PabsMin"
                                              << "-200"
                                              << "200"
                                              << "只能输入数字和小数点";
        QTest::newRow("a sign in a temperature") << "TempMin"
                                                 << "-5"
                                                 << "-5"
                                                 << "";
        QTest::newRow("a letter in a temperature") << "TempMax"
                                                   << "4o"
                                                   << "4"
                                                   << "只能输入数字、小数点和正负号";
        QTest::newRow("a twelfth digit") << "SelectionNo"
                                         << "202612100019"
                                         << "20261210001"
                                         << "只能输入数字，最多11位";
    }

    void keyFilterBeepsAndDrops()
    {
        QFETCH(QString, field);
        QFETCH(QString, keys);
        QFETCH(QString, text);
        QFETCH(QString, note);
        Desktop d;
        QToolTip::hideText();
        const Field f = *fieldByName(field);
        d.type(f, keys);
        auto* box = d.control<FilteredLineEdit>(f);
        QCOMPARE(box->value(), text);
        QCOMPARE(box->lastNote(), note);
        if (!note.isEmpty()) {
            QVERIFY(QToolTip::isVisible());
            QCOMPARE(QToolTip::text(), note);
        }
        d.agree();
    }

    // A script's `type` through the real widgets and through the headless window: the
    // same text and the same beeps, whatever the keys and however long the text.
    void typingAgreesWithTheHeadlessWindow_data()
    {
        QTest::addColumn<Field>("box");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("beeps");
        const QString tooLong = QString(kMaxEditLength + 5, u'7');
        QTest::newRow("control characters beep") << F::StdFlowMin << QStringLiteral("1\x01\r2\t") << "12" << 3;
        QTest::newRow("backspaces between runs") << F::TempMin << QStringLiteral("-2\b\b+30.5x\b") << "+30." << 1;
        QTest::newRow("backspace first clears") << F::PabsMax << QStringLiteral("\b4") << "4" << 0;
        QTest::newRow("past the longest text") << F::StdFlowMax << tooLong << QString(kMaxEditLength, u'7') << 0;
        QTest::newRow("number box, a twelfth digit")
            << F::SelectionNo << QStringLiteral("2026121099912") << "20261210999" << 2;
        QTest::newRow("number box, control character") << F::SelectionNo
                                                       << QStringLiteral("\x1b"
                                                                         "1")
                                                       << "1" << 1;
    }

    void typingAgreesWithTheHeadlessWindow()
    {
        QFETCH(Field, box);
        QFETCH(QString, keys);
        QFETCH(QString, text);
        QFETCH(int, beeps);
        RecordingPlatform desktopEvents;
        Desktop d(&desktopEvents);
        GuiScriptActions(*d.main).type(*d.main->workspace().current(), box, keys);
        d.agree();

        RecordingPlatform ui;
        SelectionDatabase database;
        database.open(SelectionDatabase::memoryPath());
        Workspace headless(ui, QStringLiteral("20261210"), database);
        SelectionWindow& w = headless.newSelection();
        ui.take();
        w.type(box, keys);

        QCOMPARE(d.main->workspace().current()->form().text(box), text);
        QCOMPARE(w.form().text(box), text);
        QCOMPARE(static_cast<int>(desktopEvents.events.count(QStringLiteral("beep"))), beeps);
        QCOMPARE(static_cast<int>(ui.events.count(QStringLiteral("beep"))), beeps);
    }

    void pastedTextIsCutAtTheSameLength()
    {
        Desktop d;
        const QString blanks(kMaxEditLength, u' ');
        GuiScriptActions(*d.main).paste(*d.main->workspace().current(), F::StdFlowMin, blanks + QStringLiteral("12.5"));
        d.agree();
        QCOMPARE(d.main->workspace().current()->form().text(F::StdFlowMin), blanks);

        RecordingPlatform ui;
        SelectionDatabase database;
        database.open(SelectionDatabase::memoryPath());
        Workspace headless(ui, QStringLiteral("20261210"), database);
        SelectionWindow& w = headless.newSelection();
        w.paste(F::StdFlowMin, blanks + QStringLiteral("12.5"));
        QCOMPARE(w.form().text(F::StdFlowMin), blanks);
    }

    // The atmosphere of the last OK is offered at the next opening, in any window;
    // Cancel changes nothing, neither the boxes nor the atmosphere offered.
    void gaugeDialogCancelAndRememberedAtmosphere()
    {
        Desktop d;
        const QString pabsMin = d.control<FilteredLineEdit>(F::PabsMin)->text();
        GaugePressureDialog* dialog = d.openGaugeDialog();
        QVERIFY(dialog);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("表压换算"));
        QCOMPARE(dialog->atmosphereEdit()->text(), QStringLiteral("101.325"));
        QCOMPARE(dialog->unitCombo()->count(), 3);
        Desktop::fillGaugeDialog(dialog, "0.2", "0.3", "MPa", "95");
        dialog->reject();
        QCOMPARE(d.control<FilteredLineEdit>(F::PabsMin)->text(), pabsMin);
        d.agree();

        dialog = d.openGaugeDialog();
        QCOMPARE(dialog->atmosphereEdit()->text(), QStringLiteral("101.325"));
        Desktop::fillGaugeDialog(dialog, "0.2", "0.3", "MPa", "95");
        QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
        QCOMPARE(d.control<FilteredLineEdit>(F::PabsMin)->text(), QStringLiteral("295"));
        for (int window = 0; window < 2; ++window) {
            dialog = d.openGaugeDialog();
            QCOMPARE(dialog->atmosphereEdit()->text(), QStringLiteral("95"));
            dialog->reject();
            d.main->newAction()->trigger();
        }
    }

    // OK pastes the absolute pressures as the user's paste does: each box's change
    // step runs (the working flows computed before are gone), and the window then
    // computes what it computes for the same pressures typed in.
    void gaugePressuresArePasted_data()
    {
        QTest::addColumn<QString>("min");
        QTest::addColumn<QString>("max");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QString>("atmosphere");
        QTest::addColumn<QString>("pabsMin"); // empty: the box keeps its text
        QTest::addColumn<QString>("pabsMax");
        QTest::newRow("MPa") << "0.2"
                             << "0.3"
                             << "MPa"
                             << "101.325"
                             << "301.325"
                             << "401.325";
        QTest::newRow("bar") << "2"
                             << "3"
                             << "bar"
                             << "101.325"
                             << "301.325"
                             << "401.325";
        QTest::newRow("kPa, a local atmosphere") << "200"
                                                 << "300"
                                                 << "kPa"
                                                 << "95"
                                                 << "295"
                                                 << "395";
        QTest::newRow("the maximum alone") << ""
                                           << "1.5"
                                           << "MPa"
                                           << "101.325"
                                           << ""
                                           << "1601.325";
    }

    void gaugePressuresArePasted()
    {
        QFETCH(QString, min);
        QFETCH(QString, max);
        QFETCH(QString, unit);
        QFETCH(QString, atmosphere);
        QFETCH(QString, pabsMin);
        QFETCH(QString, pabsMax);
        Desktop d;
        d.type(F::StdFlowMin, "80");
        d.type(F::StdFlowMax, "150");
        d.choose(F::ZMode, "不修正");
        d.click(d.current()->computeButton());
        QVERIFY(!d.control<QLabel>(F::WorkFlowMax)->text().isEmpty());
        const QString keptMin = d.control<FilteredLineEdit>(F::PabsMin)->text();

        GaugePressureDialog* dialog = d.openGaugeDialog();
        QVERIFY(dialog);
        Desktop::fillGaugeDialog(dialog, min, max, unit, atmosphere);
        QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
        QVERIFY(!dialog->isVisible());
        d.agree();
        QCOMPARE(d.control<FilteredLineEdit>(F::PabsMin)->text(), pabsMin.isEmpty() ? keptMin : pabsMin);
        QCOMPARE(d.control<FilteredLineEdit>(F::PabsMax)->text(), pabsMax);
        QCOMPARE(d.control<QLabel>(F::WorkFlowMax)->text(), QString());
        d.click(d.current()->computeButton());
        const QStringList computed
            = {d.control<QLabel>(F::WorkFlowMin)->text(), d.control<QLabel>(F::WorkFlowMax)->text()};
        QVERIFY(!computed.first().isEmpty());

        d.main->newAction()->trigger();
        d.type(F::StdFlowMin, "80");
        d.type(F::StdFlowMax, "150");
        if (!pabsMin.isEmpty())
            d.type(F::PabsMin, pabsMin);
        d.type(F::PabsMax, pabsMax);
        d.choose(F::ZMode, "不修正");
        d.click(d.current()->computeButton());
        QCOMPARE(QStringList({d.control<QLabel>(F::WorkFlowMin)->text(), d.control<QLabel>(F::WorkFlowMax)->text()}),
            computed);
    }

    // A text that is not a number is said in the dialog, which stays open with what
    // was typed; the window's boxes are not touched until OK succeeds.
    void gaugeDialogRefusesTextsThatAreNoNumbers_data()
    {
        QTest::addColumn<QString>("min");
        QTest::addColumn<QString>("max");
        QTest::addColumn<QString>("atmosphere");
        QTest::addColumn<QString>("said");
        QTest::newRow("minimum") << "0,2"
                                 << "0.3"
                                 << "101.325"
                                 << "表压下限“0,2”不是数字";
        QTest::newRow("maximum") << "0.2"
                                 << "abc"
                                 << "101.325"
                                 << "表压上限“abc”不是数字";
        QTest::newRow("atmosphere") << "0.2"
                                    << "0.3"
                                    << "1 atm"
                                    << "当地大气压“1 atm”不是数字";
        QTest::newRow("atmosphere cleared") << "0.2"
                                            << "0.3"
                                            << ""
                                            << "当地大气压“”不是数字";
        QTest::newRow("no gauge at all") << ""
                                         << " "
                                         << "101.325"
                                         << "请填写表压下限或表压上限";
        QTest::newRow("beyond double precision") << "1e306"
                                                 << "0.3"
                                                 << "101.325"
                                                 << "表压下限“1e306”换算成绝对压力超出数值范围";
    }

    void gaugeDialogRefusesTextsThatAreNoNumbers()
    {
        QFETCH(QString, min);
        QFETCH(QString, max);
        QFETCH(QString, atmosphere);
        QFETCH(QString, said);
        Desktop d;
        const QString pabsMin = d.control<FilteredLineEdit>(F::PabsMin)->text();
        const QString pabsMax = d.control<FilteredLineEdit>(F::PabsMax)->text();
        GaugePressureDialog* dialog = d.openGaugeDialog();
        QVERIFY(dialog);
        Desktop::fillGaugeDialog(dialog, min, max, "MPa", atmosphere);
        QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
        QVERIFY(dialog->isVisible());
        QVERIFY(dialog->problem()->isVisible());
        QCOMPARE(dialog->problem()->text(), said);
        QCOMPARE(dialog->gaugeMinEdit()->text(), min);
        QCOMPARE(dialog->gaugeMaxEdit()->text(), max);
        QCOMPARE(dialog->atmosphereEdit()->text(), atmosphere);
        QCOMPARE(d.control<FilteredLineEdit>(F::PabsMin)->text(), pabsMin);
        QCOMPARE(d.control<FilteredLineEdit>(F::PabsMax)->text(), pabsMax);
        dialog->reject();
    }

    // The button converts into both pressure boxes: it is off while they are.
    void gaugeButtonFollowsThePressureBoxes()
    {
        Desktop d;
        QVERIFY(d.current()->gaugeButton()->isEnabled());
        QCOMPARE(d.current()->gaugeButton()->text(), QStringLiteral("表压换算…"));
        FormModel& form = d.main->workspace().current()->form();
        form.setEnabled(F::PabsMax, false);
        QVERIFY(!d.current()->gaugeButton()->isEnabled());
        form.setEnabled(F::PabsMax, true);
        QVERIFY(d.current()->gaugeButton()->isEnabled());
    }

    void focusMovesToTheRealWidget()
    {
        Desktop d;
        d.main->activateWindow();
        d.type(F::StdFlowMin, "10");
        d.type(F::StdFlowMax, "100");
        d.click(d.current()->computeButton());
        QCOMPARE(QApplication::focusWidget(), d.current()->control(F::MeterType));
    }

    // Tab follows the form as it is read, "计算工况流量" right after the last gas box,
    // and never stops on a group's caption.
    void tabFollowsTheReadingOrder()
    {
        Desktop d;
        d.main->activateWindow();
        SelectionWidget* w = d.current();
        const auto nameOf = [w](QWidget* focus) -> QString {
            for (Field f : allFields()) {
                QWidget* c = w->control(f);
                if (c == focus || (focus && c->isAncestorOf(focus)))
                    return fieldName(f);
            }
            return focus ? focus->objectName() : QStringLiteral("none");
        };
        QStringList walked;
        w->control(F::Medium)->setFocus();
        for (int i = 0; i < 40 && walked.size() < 30; ++i) {
            walked << nameOf(QApplication::focusWidget());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        const QStringList expected
            = {"Medium", "StdFlowMin", "StdFlowMax", "ZMode", "PabsMin", "PabsMax", "gaugeButton", "TempMin", "TempMax",
                "RefCondition", "XCO2", "Hs", "XH2", "RelDensity", "computeButton", "CombinedAccuracy"};
        QCOMPARE(walked.mid(0, expected.size()), expected);
        QVERIFY(!walked.contains(QStringLiteral("gasGroup")));
        // the computation's messages still put the focus on the group
        w->focusTarget(QStringLiteral("介质特性"))->setFocus();
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("gasGroup"));
    }

    // Qt's own dialogs speak the program's language, whatever the system's.
    void qtsOwnDialogsAreChinese()
    {
        QFileDialog dialog;
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.show();
        QStringList buttons;
        for (QPushButton* b : dialog.findChildren<QPushButton*>())
            buttons << b->text();
        QVERIFY2(buttons.contains(QStringLiteral("取消")), qPrintable(buttons.join(u' ')));
        QVERIFY2(!buttons.contains(QStringLiteral("Cancel")), qPrintable(buttons.join(u' ')));
        QMessageBox box(QMessageBox::Question, QString(), QString(), QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(box.button(QMessageBox::No)->text(), QStringLiteral("否(&N)"));
    }

    void leavingTheMediumComputes()
    {
        Desktop d;
        d.main->activateWindow();
        QApplication::setActiveWindow(d.main.get());
        d.type(F::StdFlowMin, "10");
        d.type(F::StdFlowMax, "100");
        QWidget* medium = d.current()->control(F::Medium);
        medium->setFocus(Qt::TabFocusReason);
        QCOMPARE(d.control<QLabel>(F::WorkFlowMax)->text(), QString());
        d.current()->control(F::PabsMin)->setFocus(Qt::TabFocusReason);
        QCOMPARE(d.control<QLabel>(F::WorkFlowMax)->text().isEmpty(), false);
        d.agree();
    }

    // New and copied windows open wholly inside the window area, their 保存 and 打印
    // in reach, however many are open.
    void windowsOpenInsideTheArea()
    {
        Desktop d;
        const QRect area = d.main->mdiArea()->viewport()->rect();
        for (int i = 0; i < 12; ++i) {
            d.main->newAction()->trigger();
            QMdiSubWindow* sub = d.main->mdiArea()->activeSubWindow();
            QVERIFY2(area.contains(sub->geometry()),
                qPrintable(QStringLiteral("window %1 at %2,%3 %4x%5 in %6x%7")
                               .arg(i)
                               .arg(sub->x())
                               .arg(sub->y())
                               .arg(sub->width())
                               .arg(sub->height())
                               .arg(area.width())
                               .arg(area.height())));
            QVERIFY(sub->x() >= 0 && sub->y() >= 0);
        }
    }

    // A new window among many is shown active and on top; the window active before
    // shows itself inactive, and every window repaints again afterwards.
    void newWindowAmongManyIsActiveOnTop()
    {
        Desktop d;
        for (int i = 0; i < 20; ++i)
            d.main->newAction()->trigger();
        QMdiSubWindow* before = d.main->mdiArea()->activeSubWindow();
        d.main->newAction()->trigger();
        QCoreApplication::processEvents();
        QMdiSubWindow* sub = d.main->mdiArea()->activeSubWindow();
        QVERIFY(sub != before);
        QCOMPARE(d.current()->parentWidget(), sub);
        QVERIFY(sub->isVisible());
        QVERIFY(sub->windowState() & Qt::WindowActive);
        QVERIFY(!(before->windowState() & Qt::WindowActive));
        // on top: what lies under the middle of its place belongs to it
        QWidget* viewport = d.main->mdiArea()->viewport();
        QWidget* hit = viewport->childAt(sub->geometry().center());
        QVERIFY(hit == sub || sub->isAncestorOf(hit));
        for (QMdiSubWindow* other : d.main->mdiArea()->subWindowList())
            QVERIFY(other->updatesEnabled());
        QVERIFY(d.current()->width() >= SelectionWidget::kShownMinimum.width());
        QVERIFY(d.current()->height() >= SelectionWidget::kShownMinimum.height());
    }

    // Among many windows one only shows itself active, whichever way it became so:
    // clicked, opened, chosen from the menu "窗体", or left active by a window closed.
    // A maximized window hands its state on to the window activated next.
    void oneActiveWindowAmongMany()
    {
        Desktop d;
        for (int i = 0; i < 6; ++i)
            d.main->newAction()->trigger();
        QMdiArea* area = d.main->mdiArea();
        const auto activeOnes = [area] {
            QList<QMdiSubWindow*> active;
            for (QMdiSubWindow* sub : area->subWindowList()) {
                if (sub->windowState() & Qt::WindowActive)
                    active << sub;
            }
            return active;
        };
        const auto isTheOnlyActive = [&](QMdiSubWindow* sub) {
            QCoreApplication::processEvents();
            return area->activeSubWindow() == sub && activeOnes() == QList<QMdiSubWindow*> {sub}
            && d.current() == sub->widget();
        };
        const QList<QMdiSubWindow*> subs = area->subWindowList();
        QVERIFY(isTheOnlyActive(subs.last()));
        // clicked: the press on its title bar
        QMdiSubWindow* clicked = subs[2];
        clicked->raise();
        QTest::mouseClick(clicked, Qt::LeftButton, {}, QPoint(clicked->width() / 2, 6));
        QVERIFY(isTheOnlyActive(clicked));
        // chosen from the menu
        QMenu* windows = nullptr;
        for (QAction* a : d.main->menuBar()->actions()) {
            if (a->text() == QStringLiteral("&W 窗体"))
                windows = a->menu();
        }
        QVERIFY(windows);
        emit windows->aboutToShow();
        QAction* first = windows->actions().at(windows->actions().size() - subs.size());
        first->trigger();
        QVERIFY(isTheOnlyActive(subs[0]));
        // on top, above the windows opened after it
        QWidget* hit = area->viewport()->childAt(subs[0]->geometry().center());
        QVERIFY(hit == subs[0] || subs[0]->isAncestorOf(hit));
        for (QMdiSubWindow* sub : subs)
            QVERIFY(!(sub->windowFlags() & Qt::WindowStaysOnTopHint));
        // closed: the one used before comes back
        subs[0]->close();
        QVERIFY(isTheOnlyActive(clicked));
        // maximized, then a new window
        clicked->showMaximized();
        d.main->newAction()->trigger();
        QMdiSubWindow* added = area->activeSubWindow();
        QVERIFY(added != clicked);
        QVERIFY(isTheOnlyActive(added));
        QVERIFY(added->isMaximized());
        QVERIFY(!clicked->isMaximized());
    }

    // Closing the window that holds the focus hands it to the window that becomes
    // active, to the field that had it there; the closed window keeps none of it.
    void closingHandsTheFocusOn()
    {
        Desktop d;
        d.main->activateWindow();
        for (int i = 0; i < 3; ++i)
            d.main->newAction()->trigger();
        QMdiArea* area = d.main->mdiArea();
        const QList<QMdiSubWindow*> subs = area->subWindowList();
        area->setActiveSubWindow(subs[2]);
        QWidget* remembered = d.current()->control(F::PabsMin);
        remembered->setFocus();
        QCOMPARE(QApplication::focusWidget(), remembered);
        area->setActiveSubWindow(subs[3]);
        d.type(F::StdFlowMin, "10");
        QVERIFY(subs[3]->isAncestorOf(QApplication::focusWidget()));
        subs[3]->close();
        QCoreApplication::processEvents();
        QCOMPARE(area->activeSubWindow(), subs[2]);
        QCOMPARE(QApplication::focusWidget(), remembered);
    }

    // The lists are as wide as the window sets them, whatever their items: each
    // measures itself as a QComboBox that adjusts to no contents, before and after
    // its popup was first opened.
    void listsMeasureThemselvesWithoutTheirItems()
    {
        Desktop d;
        QComboBox reference;
        reference.setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        reference.setMinimumContentsLength(0);
        int lists = 0;
        for (Field f : allFields()) {
            auto* list = qobject_cast<QComboBox*>(d.current()->control(f));
            if (!list)
                continue;
            ++lists;
            reference.setFont(list->font());
            QCOMPARE(list->sizeHint(), reference.sizeHint());
            QCOMPARE(list->minimumSizeHint(), reference.minimumSizeHint());
        }
        QVERIFY(lists >= 10);
        auto* medium = d.control<QComboBox>(F::Medium);
        const QSize shown = medium->size();
        medium->showPopup();
        QVERIFY(medium->view()->isVisible());
        medium->hidePopup();
        QCOMPARE(medium->sizeAdjustPolicy(), QComboBox::AdjustToMinimumContentsLengthWithIcon);
        QCOMPARE(medium->sizeHint(), reference.sizeHint());
        QCoreApplication::processEvents();
        QCOMPARE(medium->size(), shown);
    }

    // The list's width is the user's: a splitter beside it, and the whole model code
    // in the tooltip of a cell that cuts it.
    void listWidthAndTooltips()
    {
        Desktop d;
        const QString code = d.saveASelection();
        QTreeView* list = d.main->recordList();
        QCOMPARE(list->model()->index(0, 1).data(Qt::ToolTipRole).toString(), code);
        QSplitter* splitter = d.main->listSplitter();
        QVERIFY(splitter);
        const int before = list->width();
        splitter->setSizes({splitter->sizes()[0] + 150, splitter->sizes()[1] - 150});
        QCoreApplication::processEvents();
        QVERIFY2(list->width() >= before + 100, qPrintable(QStringLiteral("%1 -> %2").arg(before).arg(list->width())));
    }

    void windowNumbersAndArrangement()
    {
        Desktop d;
        d.main->newAction()->trigger();
        d.main->newAction()->trigger();
        const QList<QMdiSubWindow*> subs = d.main->mdiArea()->subWindowList();
        QCOMPARE(subs.size(), 3);
        subs[1]->close();
        QCoreApplication::processEvents();
        d.main->newAction()->trigger();
        QCOMPARE(d.current()->windowTitle(), QStringLiteral("流量计选型-4"));
        QVERIFY(d.main->tileVerticallyAction()->isEnabled());
        d.main->tileVerticallyAction()->trigger();
        const QList<QMdiSubWindow*> tiled = d.main->mdiArea()->subWindowList();
        QCOMPARE(tiled.size(), 3);
        QVERIFY(tiled[0]->x() < tiled[1]->x() && tiled[1]->x() < tiled[2]->x());
        d.main->tileHorizontallyAction()->trigger();
        QVERIFY(tiled[0]->y() < tiled[1]->y() && tiled[1]->y() < tiled[2]->y());
        d.main->cascadeAction()->trigger();
        QVERIFY(tiled[0]->pos() != tiled[1]->pos());
        d.main->minimizeAllAction()->trigger();
        for (QMdiSubWindow* s : tiled)
            QVERIFY(s->isMinimized());
    }

    // "规格比较" fills after "计算工况流量" with every type's sizes, type by type; the
    // widened and over-range rows are coloured; an input change empties it.
    void candidatesPaneFollowsTheComputation()
    {
        Desktop d;
        CandidatesPane* pane = d.current()->candidatesPane();
        QCOMPARE(d.current()->tabs()->tabText(d.current()->tabs()->indexOf(pane)), QStringLiteral("规格比较"));
        d.typePoint("0.45", "20", "101.325", "101.325", "20", "20");
        d.choose(F::ZMode, "不修正");
        QCoreApplication::processEvents();
        QCOMPARE(pane->rowCount(), 0);
        d.click(d.current()->computeButton());
        QCOMPARE(pane->rowCount(), 4);
        for (int row = 0; row < pane->rowCount(); ++row) {
            QCOMPARE(pane->item(row, 0)->text(), QStringLiteral("气体腰轮(罗茨)"));
            QCOMPARE(pane->item(row, 6)->text(), QStringLiteral("放宽"));
            QCOMPARE(pane->item(row, 3)->background().color(), CandidatesPane::widenedBackground());
            QCOMPARE(pane->item(row, 3)->foreground().color(), CandidatesPane::overRangeText());
        }
        QCOMPARE(pane->item(0, 1)->text(), QStringLiteral("50RKD-G16(0.5<=Qg<=25)"));
        QCOMPARE(pane->item(0, 3)->text(), QStringLiteral("80.0"));
        QCOMPARE(pane->item(0, 5)->text(), QStringLiteral("2.83"));
        // the window's own choice is marked
        QVERIFY(pane->item(0, 1)->font().bold());
        QVERIFY(!pane->item(1, 1)->font().bold());

        d.type(F::StdFlowMin, "40");
        d.type(F::StdFlowMax, "120");
        d.click(d.current()->computeButton());
        const std::vector<SizeCandidate>& shown = pane->shown();
        QCOMPARE(shown.front().meterType, QStringLiteral("气体涡轮"));
        QCOMPARE(shown.back().meterType, QStringLiteral("气体腰轮(罗茨)"));
        for (int row = 0; row < pane->rowCount(); ++row) {
            QVERIFY(!shown[row].widened);
            QCOMPARE(pane->item(row, 2)->background().style(), Qt::NoBrush);
        }
        d.type(F::PabsMax, "102");
        QCoreApplication::processEvents();
        QCOMPARE(pane->rowCount(), 0);
    }

    // Behind the windows the area shows its notes: the heading in navy, the text
    // below it, kept inside the area's margins however narrow it is.
    void notesBehindTheWindows_data()
    {
        QTest::addColumn<int>("width");
        QTest::newRow("wide") << 900;
        QTest::newRow("narrow") << 120;
    }

    void notesBehindTheWindows()
    {
        QFETCH(int, width);
        NotesArea area;
        area.setBackground(QColor(Qt::white));
        area.resize(width, 500);
        area.show();
        for (int pass = 0; pass < 2; ++pass) {
            const QImage shown = area.viewport()->grab().toImage();
            int navy = 0;
            int outside = 0;
            for (int y = 0; y < shown.height(); ++y) {
                for (int x = 0; x < shown.width(); ++x) {
                    const QRgb p = shown.pixel(x, y);
                    if (p == qRgb(255, 255, 255))
                        continue;
                    if (x < 16 || y < 12 || x >= shown.width() - 16 || y >= shown.height() - 12)
                        ++outside;
                    else if (y < 12 + 16 && qBlue(p) > 2 * qRed(p))
                        ++navy;
                }
            }
            QVERIFY(navy > 20);
            QCOMPARE(outside, 0);
        }
    }

    // "规格比较" is made when the user first opens it, and then shows the candidates
    // of the computation made before.
    void comparisonIsMadeWhenFirstOpened()
    {
        Desktop d;
        d.typePoint("0.45", "20", "101.325", "101.325", "20", "20");
        d.choose(F::ZMode, "不修正");
        d.click(d.current()->computeButton());
        QCoreApplication::processEvents();
        QTabWidget* tabs = d.current()->tabs();
        QVERIFY(!d.current()->findChild<CandidatesPane*>());
        QCOMPARE(tabs->count(), 2);
        QCOMPARE(tabs->tabText(1), QStringLiteral("规格比较"));
        QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(1).center());
        auto* pane = qobject_cast<CandidatesPane*>(tabs->currentWidget());
        QVERIFY(pane);
        QCOMPARE(tabs->currentIndex(), 1);
        QCOMPARE(tabs->count(), 2);
        QCOMPARE(tabs->tabText(1), QStringLiteral("规格比较"));
        QCOMPARE(pane->rowCount(), 4);
        QCOMPARE(d.current()->candidatesPane(), pane);
        QCoreApplication::processEvents();
        QVERIFY(pane->isVisible());
        // back to the form and again: the same pane
        QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(0).center());
        QCOMPARE(tabs->currentIndex(), 0);
        QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(1).center());
        QCOMPARE(tabs->currentWidget(), pane);
        d.agree();
    }

    // A double-click in the pane chooses the type and the size as the user chooses
    // them in the lists: the same events, the same window, the same model code.
    void candidateChosenFromThePaneAsByHand()
    {
        RecordingPlatform byPane;
        RecordingPlatform byHand;
        Desktop fromPane(&byPane);
        Desktop fromLists(&byHand);
        for (Desktop* d : {&fromPane, &fromLists}) {
            d->typePoint("40", "120", "300", "400", "-10", "40");
            d->choose(F::ZMode, "不修正");
            d->click(d->current()->computeButton());
            // away from the chain's first choices: another type, another size
            d->choose(F::Corrector, "无");
        }
        byPane.take();
        byHand.take();
        CandidatesPane* pane = fromPane.current()->candidatesPane();
        QCOMPARE(fromPane.current()->control(F::MeterType)->property("currentText").toString(),
            QStringLiteral("气体腰轮(罗茨)"));
        // the second size of the turbine, the type the chain does not choose first
        const std::vector<SizeCandidate>& shown = pane->shown();
        QVERIFY(shown.size() > 2 && shown[0].meterType == shown[1].meterType);
        const int row = 1;
        const SizeCandidate candidate = shown[row];
        QCOMPARE(candidate.meterType, QStringLiteral("气体涡轮"));
        fromPane.current()->tabs()->setCurrentWidget(pane);
        QCoreApplication::processEvents();
        const QRect cell = pane->visualItemRect(pane->item(row, 1));
        QVERIFY2(pane->isVisible() && pane->viewport()->rect().contains(cell.center()),
            qPrintable(QStringLiteral("%1,%2").arg(cell.x()).arg(cell.y())));
        // the user's double-click: a press and release, then the second press
        QTest::mouseClick(pane->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(pane->viewport(), Qt::LeftButton, {}, cell.center());
        fromPane.agree();
        fromLists.choose(F::MeterType, candidate.meterType);
        fromLists.choose(F::Size, candidate.sizeSpec);
        QCOMPARE(fromPane.current()->window().form().text(F::Size), candidate.sizeSpec);
        QCOMPARE(byPane.take(), byHand.take());
        for (Field f : allFields()) {
            const FormModel& a = fromPane.current()->window().form();
            const FormModel& b = fromLists.current()->window().form();
            QCOMPARE(a.items(f), b.items(f));
            QCOMPARE(a.index(f), b.index(f));
            QCOMPARE(a.enabled(f), b.enabled(f));
            QCOMPARE(a.text(f), b.text(f));
        }
        QCoreApplication::processEvents();
        QVERIFY(pane->item(row, 1)->font().bold());
        fromPane.click(fromPane.current()->selectButton());
        fromLists.click(fromLists.current()->selectButton());
        const QString code = fromPane.current()->window().form().text(F::ResultText);
        QVERIFY(!code.isEmpty());
        QCOMPARE(code, fromLists.current()->window().form().text(F::ResultText));
        QCOMPARE(fromPane.current()->window().context().pending, fromLists.current()->window().context().pending);
        QCOMPARE(byPane.take(), byHand.take());
    }

    void selectionWindowFitsItsDesignSize()
    {
        Desktop d;
        const QSize minimum = d.current()->minimumSizeHint();
        QVERIFY2(minimum.width() <= SelectionWidget::kShownMinimum.width()
                && minimum.height() <= SelectionWidget::kShownMinimum.height(),
            qPrintable(QStringLiteral("%1x%2").arg(minimum.width()).arg(minimum.height())));
        QVERIFY(d.current()->width() >= SelectionWidget::kShownMinimum.width());
        QVERIFY(d.current()->height() >= SelectionWidget::kShownMinimum.height());
        // shrinking snaps back
        d.current()->parentWidget()->resize(500, 300);
        QVERIFY(d.current()->width() >= SelectionWidget::kResizedMinimum.width());
        QVERIFY(d.current()->height() >= SelectionWidget::kResizedMinimum.height());
    }

    void listIsAModelWithItsColumns()
    {
        Desktop d;
        QTreeView* list = d.main->recordList();
        QCOMPARE(list->model()->columnCount(), 44);
        QCOMPARE(list->header()->sectionSize(12), 350);
        QVERIFY(!list->isSortingEnabled());
        QCOMPARE(list->selectionBehavior(), QAbstractItemView::SelectRows);
        // double click on the background with nothing selected: nothing happens
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, QPoint(5, list->viewport()->height() - 5));
        QCOMPARE(d.main->mdiArea()->subWindowList().size(), 1);
    }

    // The view asks for rows as it is scrolled: start-up reads a page or two, and
    // scrolling to the bottom again and again reaches the oldest row, each row once.
    void listReadsPagesAsItIsScrolled()
    {
        Desktop d;
        storeRows(d.database, 1500);
        d.main->workspace().showMainWindow();
        QCoreApplication::processEvents();
        QTreeView* list = d.main->recordList();
        QVERIFY(list->model()->rowCount() < 1500);
        QCOMPARE(list->model()->index(0, 0).data().toString(), QStringLiteral("20250001500"));
        for (int turn = 0; turn < 100 && list->model()->canFetchMore(QModelIndex()); ++turn) {
            list->scrollToBottom();
            QCoreApplication::processEvents();
        }
        QCOMPARE(list->model()->rowCount(), 1500);
        QCOMPARE(list->model()->index(1499, 0).data().toString(), QStringLiteral("20250000001"));
        QCOMPARE(list->model()->index(1499, 1).data().toString(), QStringLiteral("CODE-1"));
        QSet<QString> numbers;
        for (int row = 0; row < 1500; ++row)
            numbers.insert(list->model()->index(row, 0).data().toString());
        QCOMPARE(numbers.size(), 1500);
    }

    // The selected row stays visible while the list has no focus: its cell is drawn in
    // the highlight with the highlighted text on it (the styled items once drew white
    // text on white).
    void selectedRowIsShownWithoutFocus()
    {
        Desktop d;
        storeRows(d.database, 3);
        d.main->workspace().showMainWindow();
        QTreeView* list = d.main->recordList();
        list->setCurrentIndex(list->model()->index(1, 0));
        d.main->searchBox()->setFocus();
        QCoreApplication::processEvents();
        QVERIFY(!list->hasFocus());
        const QImage shown = list->viewport()->grab().toImage();
        auto colours = [&](int row) {
            QSet<QRgb> out;
            const QRect cell = list->visualRect(list->model()->index(row, 0));
            for (int y = cell.top(); y <= cell.bottom(); ++y)
                for (int x = cell.left(); x <= cell.right(); ++x)
                    out.insert(shown.pixel(x, y) & 0xffffff);
            return out;
        };
        const QRgb highlight = list->palette().color(QPalette::Inactive, QPalette::Highlight).rgb() & 0xffffff;
        const QRgb text = list->palette().color(QPalette::Inactive, QPalette::HighlightedText).rgb() & 0xffffff;
        const QSet<QRgb> selected = colours(1);
        QVERIFY(selected.contains(highlight));
        QVERIFY(selected.contains(text));
        QVERIFY(!colours(0).contains(highlight));
    }

    // Closing a window with a result not saved since it was composed asks first; its
    // "保存" runs the window's own save, and a save it refuses keeps the window open.
    void closingAWindowAsksForItsUnsavedResult_data()
    {
        QTest::addColumn<QString>("answer"); // empty: no question expected
        // what the window holds (result, saved, nothing), or what the store does
        QTest::addColumn<QString>("before");
        QTest::addColumn<bool>("closed");
        QTest::addColumn<int>("stored");
        QTest::newRow("保存") << "保存"
                              << "result" << true << 1;
        QTest::newRow("不保存") << "不保存"
                                << "result" << true << 0;
        QTest::newRow("取消") << "取消"
                              << "result" << false << 0;
        QTest::newRow("Escape") << ""
                                << "result" << false << 0;
        QTest::newRow("a save refused: the store takes no row") << "保存"
                                                                << "refusing store" << false << 0;
        QTest::newRow("its number taken meanwhile: saved under the next") << "保存"
                                                                          << "stored number" << true << 2;
        QTest::newRow("saved already") << "none"
                                       << "saved" << true << 1;
        QTest::newRow("nothing composed") << "none"
                                          << "nothing" << true << 0;
    }

    void closingAWindowAsksForItsUnsavedResult()
    {
        QFETCH(QString, answer);
        QFETCH(QString, before);
        QFETCH(bool, closed);
        QFETCH(int, stored);
        Desktop d;
        if (before == u"saved") {
            d.saveASelection();
        } else if (before != u"nothing") {
            d.composeASelection();
        }
        if (before == u"stored number") { // another program saved under this number meanwhile
            QStringList row(45);
            row[0] = QStringLiteral("20261210001");
            QVERIFY(d.main->workspace().store().insert(row).ok());
        }
        if (before == u"refusing store") // a full disk, a lock: the store refuses the row
            QVERIFY(QSqlQuery(d.database.connection())
                        .exec(QStringLiteral("create trigger refuse before insert on 选型输出 "
                                             "begin select raise(abort, 'disk full'); end")));
        QStringList asked;
        answerQuestionsWith(answer, &asked);
        QMdiSubWindow* sub = d.main->mdiArea()->activeSubWindow();
        QPointer<SelectionWidget> widget = d.current();
        sub->close();
        QCoreApplication::processEvents();
        WorkQuestion::setHandler({});
        QCOMPARE(asked,
            answer == u"none"
                ? QStringList()
                : QStringList {QStringLiteral("选型编号（20261210001）的选型结果还未保存，关闭前要保存吗？")});
        QCOMPARE(widget.isNull(), closed);
        QSqlQuery q(d.database.connection());
        QVERIFY(q.exec(QStringLiteral("select count(*) from 选型输出")) && q.next());
        QCOMPARE(q.value(0).toInt(), stored);
    }

    // Exiting with unsaved results asks once for all of them.
    void exitingAsksOnceForEveryUnsavedResult_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("exited");
        QTest::addColumn<int>("stored");
        QTest::newRow("全部保存") << "全部保存" << true << 2;
        QTest::newRow("不保存") << "不保存" << true << 0;
        QTest::newRow("取消") << "取消" << false << 0;
    }

    void exitingAsksOnceForEveryUnsavedResult()
    {
        QFETCH(QString, answer);
        QFETCH(bool, exited);
        QFETCH(int, stored);
        Desktop d;
        d.composeASelection();
        d.main->newAction()->trigger();
        d.composeASelection();
        d.main->newAction()->trigger(); // a third window with nothing to lose
        QStringList asked;
        answerQuestionsWith(answer, &asked);
        const bool closed = d.main->close();
        WorkQuestion::setHandler({});
        QCOMPARE(
            asked, QStringList {QStringLiteral("以下选型结果还未保存：\n20261210001、20261210002\n退出前要保存吗？")});
        QCOMPARE(closed, exited);
        QCOMPARE(d.main->mdiArea()->subWindowList().size(), exited ? 0 : 3);
        QSqlQuery q(d.database.connection());
        QVERIFY(q.exec(QStringLiteral("select count(*) from 选型输出")) && q.next());
        QCOMPARE(q.value(0).toInt(), stored);
    }

    // A search no index answers reads every row on a thread and a connection of its
    // own, a slice of the key at a time: it pauses at its time cap with "继续查找…",
    // which goes on from where it paused, and the next search cancels it, its late
    // rows never shown.
    void searchThatReadsEveryRowRunsAside()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("big.mdb"));
        QString error;
        QVERIFY2(SelectionDatabase::create(path, &error), qPrintable(error));
        SelectionDatabase database;
        QCOMPARE(database.open(path), SelectionDatabase::Opened::Yes);
        storeRows(database, 50000);
        QVERIFY(QSqlQuery(database.connection())
                    .exec(QStringLiteral("update 选型输出 set 使用介质 = '氦气' where 选型编号 = '20250000001'")));
        MainWindow main(database, QStringLiteral("20261210"));
        main.show();
        main.searchOnAConnectionOfItsOwn(path);
        ListSearch* search = main.listSearch();
        search->setTimeCap(0); // one slice of the key each time it is asked
        QTreeView* list = main.recordList();
        auto* goOn = main.findChild<QPushButton*>(QStringLiteral("goOnSearching"));
        auto* status = main.findChild<QLabel*>(QStringLiteral("searchStatus"));
        QVERIFY(goOn && status);

        main.searchBox()->setText(QStringLiteral("氦气"));
        main.applySearch();
        QVERIFY(search->running());
        QTRY_VERIFY(!search->running());
        QCOMPARE(status->text(), QStringLiteral("已查找至选型编号 20250030001，找到 0 条；查找暂停"));
        QVERIFY(goOn->isVisible());
        QCOMPARE(list->model()->rowCount(), 0);
        for (int asked = 0; asked < 2; ++asked) {
            goOn->click();
            QTRY_VERIFY(!search->running());
        }
        QCOMPARE(status->text(), QStringLiteral("找到 1 条"));
        QVERIFY(!goOn->isVisible());
        QCOMPARE(list->model()->rowCount(), 1);
        QCOMPARE(list->model()->index(0, 0).data().toString(), QStringLiteral("20250000001"));

        // a long search, and the next keystroke's search: only the latter's rows
        search->setTimeCap(60000);
        main.searchBox()->setText(QStringLiteral("氦"));
        main.applySearch();
        QVERIFY(search->running());
        main.searchBox()->setText(QStringLiteral("CODE-4999"));
        main.applySearch(); // from the index, at once
        QCOMPARE(list->model()->rowCount(), 11);
        QTest::qWait(300);
        QCOMPARE(list->model()->rowCount(), 11);
        QCOMPARE(list->model()->index(0, 0).data().toString(), QStringLiteral("20250049999"));
        QVERIFY(status->text().isEmpty());
    }

    // The search box above the list filters it as the user types; the list's context
    // menu copies the selected row into a new numbered window.
    void searchBoxAndCopyAsNew()
    {
        Desktop d;
        storeRows(d.database, 300);
        d.main->workspace().showMainWindow();
        QCoreApplication::processEvents();
        QLineEdit* box = d.main->searchBox();
        QCOMPARE(box->placeholderText(), QStringLiteral("搜索编号、型号、介质…"));
        QTreeView* list = d.main->recordList();
        QVERIFY(box->mapTo(d.main.get(), QPoint(0, 0)).y() < list->mapTo(d.main.get(), QPoint(0, 0)).y());
        box->setFocus();
        QTest::keyClicks(box, QStringLiteral("code-29"));
        QTRY_COMPARE(list->model()->rowCount(), 11); // CODE-29, CODE-290 to CODE-299
        QCOMPARE(list->model()->index(0, 0).data().toString(), QStringLiteral("20250000299"));
        QCOMPARE(list->model()->index(10, 0).data().toString(), QStringLiteral("20250000029"));
        QTest::keyClick(box, Qt::Key_Backspace);
        QTest::keyClick(box, Qt::Key_Return);     // at once
        QCOMPARE(list->model()->rowCount(), 100); // CODE-2, CODE-20..29, CODE-200..299, in pages
        QCOMPARE(d.main->workspace().list().search(), QStringLiteral("code-2"));

        QCOMPARE(list->actions(),
            (QList<QAction*> {d.main->openRecordAction(), d.main->copyRecordAction(), d.main->deleteRecordAction()}));
        QCOMPARE(d.main->copyRecordAction()->text(), QStringLiteral("复制为新选型"));
        list->setCurrentIndex(list->model()->index(2, 0));
        QCOMPARE(d.main->workspace().list().selected(), QStringLiteral("20250000297"));
        d.main->copyRecordAction()->trigger();
        QCOMPARE(d.main->mdiArea()->subWindowList().size(), 2);
        QCOMPARE(d.current()->windowTitle(), QStringLiteral("流量计选型-2"));
        QCOMPARE(d.control<FilteredLineEdit>(F::SelectionNo)->text(), QStringLiteral("2026－12－10－002"));
        d.agree();
        // the stored row is untouched
        QSqlQuery q(d.database.connection());
        QVERIFY(q.exec(QStringLiteral("select count(*), max(仪表型号规格) from 选型输出 where 选型编号='20250000297'"))
            && q.next());
        QCOMPARE(q.value(0).toInt(), 1);
        QCOMPARE(q.value(1).toString(), QStringLiteral("CODE-297"));

        box->clear();
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(list->model()->index(0, 0).data().toString(), QStringLiteral("20250000300"));
    }

    void sheetPreviewOpensAtPageWidth()
    {
        PrintRow row;
        row.columns = {QStringLiteral("选型编号"), QStringLiteral("通径规格")};
        row.values = {QStringLiteral("20261210001"), QStringLiteral("25RKD-G10(0.4<=Qg<=16)")};
        QPrintPreviewDialog* dialog = createSheetPreview(row, nullptr);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("打印预览 – 选型编号 20261210001"));
        auto* preview = dialog->findChild<QPrintPreviewWidget*>();
        QVERIFY(preview);
        QCOMPARE(preview->zoomMode(), QPrintPreviewWidget::FitToWidth);
        QVERIFY(dialog->findChild<QAction*>(QStringLiteral("savePdfAction")));
        delete dialog;
    }

    // "另存为PDF" once the file is chosen: a file that cannot be written is the
    // program's error box, and no file is left.
    void savingTheSheetAsPdf()
    {
        PrintRow row;
        row.columns = {QStringLiteral("选型编号")};
        row.values = {QStringLiteral("20261210001")};
        QTemporaryDir dir;
        RecordingPlatform ui;
        const QString written = dir.filePath(QStringLiteral("20261210001.pdf"));
        QVERIFY(saveSheetAsPdf(written, row, QStringLiteral("2026/12/10"), ui));
        QCOMPARE(ui.take(), QStringList());
        QVERIFY(QFileInfo(written).size() > 0);
        const QString unwritable = dir.filePath(QStringLiteral("gone/20261210001.pdf"));
        QVERIFY(!saveSheetAsPdf(unwritable, row, QStringLiteral("2026/12/10"), ui));
        QCOMPARE(ui.events.size(), 1);
        QVERIFY2(ui.events[0].startsWith(QStringLiteral("box 4: 选型单未能保存为PDF文件：") + unwritable),
            qPrintable(ui.events[0]));
        QVERIFY(!QFile::exists(unwritable));
    }

    // "附计算书": offered when the record could be made, and then the saved PDF holds
    // its page after the sheet's, with the warnings it carries and the lines to sign.
    void sheetPreviewWithTheCalculationRecord()
    {
        PrintRow row;
        row.columns = {QStringLiteral("选型编号")};
        row.values = {QStringLiteral("20261210001")};
        CalculationSheet record;
        record.title = QStringLiteral("选型计算书");
        record.sections = {{QStringLiteral("三、工况点"), {}, {QStringLiteral("工况点"), QStringLiteral("K")},
            {{QStringLiteral("最小流量"), QStringLiteral("2.2857")}}, {}}};
        record.warnings = {QStringLiteral("最小工况流量低于通径下限"), QStringLiteral("最高温度超出温度传感器量程")};
        record.signatures = {QStringLiteral("编制："), QStringLiteral("校核：")};
        QPrintPreviewDialog* offered = createSheetPreview(row, nullptr, record);
        auto* box = offered->findChild<QCheckBox*>(QStringLiteral("withCalculationBox"));
        QVERIFY(box);
        QCOMPARE(box->text(), QStringLiteral("附计算书"));
        QVERIFY(box->isEnabled());
        delete offered;
        QPrintPreviewDialog* refused
            = createSheetPreview(row, nullptr, std::nullopt, QStringLiteral("系统还未保存该编号选型信息！"));
        box = refused->findChild<QCheckBox*>(QStringLiteral("withCalculationBox"));
        QVERIFY(box && !box->isEnabled());
        QCOMPARE(box->toolTip(), QStringLiteral("系统还未保存该编号选型信息！"));
        delete refused;

        QTemporaryDir dir;
        RecordingPlatform ui;
        const QString written = dir.filePath(QStringLiteral("20261210001.pdf"));
        QVERIFY(saveSheetAsPdf(written, row, QStringLiteral("2026/12/10"), ui, &record));
        const QStringList pages = pdfPages(written);
        QCOMPARE(pages.size(), 2);
        QVERIFY2(pages[1].contains(QStringLiteral("选型计算书")) && pages[1].contains(QStringLiteral("2.2857")),
            qPrintable(pages[1]));
        for (const QString& line :
            {QStringLiteral("警告：最小工况流量低于通径下限"), QStringLiteral("警告：最高温度超出温度传感器量程"),
                QStringLiteral("编制："), QStringLiteral("校核：")})
            QVERIFY2(pages[1].contains(line), qPrintable(line + QStringLiteral(" not in\n") + pages[1]));
    }

    // The print path as the user walks it: a saved selection, "打印", the box
    // "附计算书" ticked or not, "另存为PDF..." and a file name typed into the dialog.
    // The PDF holds the calculation record's page after the sheet only when ticked.
    void printingWithTheCalculationRecord_data()
    {
        QTest::addColumn<bool>("ticked");
        QTest::newRow("ticked") << true;
        QTest::newRow("not ticked") << false;
    }

    void printingWithTheCalculationRecord()
    {
        QFETCH(bool, ticked);
        Desktop d;
        QPointer<QPrintPreviewDialog> dialog;
        d.main->onPreview = [&](SelectionWindow& w, const PrintRow& row) {
            dialog = createStoredSheetPreview(
                d.main->workspace().store(), w.form().text(F::SelectionNo), row, d.main.get());
            dialog->open();
        };
        const QString code = d.saveASelection();
        const QString workFlowMax = d.main->workspace().current()->form().text(F::WorkFlowMax); // as shown
        QVERIFY(!code.isEmpty() && !workFlowMax.isEmpty());
        d.click(d.current()->printButton());
        QVERIFY(dialog);
        auto* box = dialog->findChild<QCheckBox*>(QStringLiteral("withCalculationBox"));
        QVERIFY(box && box->isEnabled() && !box->isChecked());
        if (ticked)
            QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
        QCOMPARE(box->isChecked(), ticked);

        QTemporaryDir dir;
        const QString written = dir.filePath(QStringLiteral("sheet.pdf"));
        answerFileDialog(written);
        dialog->findChild<QAction*>(QStringLiteral("savePdfAction"))->trigger();
        const QStringList pages = pdfPages(written);
        QCOMPARE(pages.size(), ticked ? 2 : 1);
        QVERIFY2(pages[0].contains(code) && !pages[0].contains(QStringLiteral("选型计算书")), qPrintable(pages[0]));
        if (ticked) {
            QVERIFY2(pages[1].contains(QStringLiteral("选型计算书")) && pages[1].contains(code)
                    && pages[1].contains(workFlowMax),
                qPrintable(pages[1]));
        }
        delete dialog;
    }

    void printShowsThePreviewOfTheStoredRow()
    {
        Desktop d;
        QString previewed;
        d.main->onPreview
            = [&](SelectionWindow&, const PrintRow& row) { previewed = row.value(QStringLiteral("仪表型号规格")); };
        d.click(d.current()->printButton());
        QCOMPARE(previewed, QString()); // not saved: the message, no preview
        const QString saved = d.saveASelection();
        d.choose(F::CardControl, "分体");
        d.click(d.current()->printButton());
        QCOMPARE(previewed, saved); // the stored values, not the edited window
    }

    void listHeadersAndWidths()
    {
        SelectionDatabase database;
        database.open(SelectionDatabase::memoryPath());
        SelectionList rows(database);
        SelectionListModel list(rows);
        QCOMPARE(list.columnCount(), 44);
        QCOMPARE(list.headerData(0, Qt::Horizontal).toString(), QStringLiteral("选型编号"));
        QCOMPARE(list.headerData(9, Qt::Horizontal).toString(), QStringLiteral("最大绝压"));
        QCOMPARE(list.headerData(43, Qt::Horizontal).toString(), QStringLiteral("通径规格"));
        QCOMPARE(SelectionListModel::columnWidth(12), 350);
        QCOMPARE(SelectionListModel::columnWidth(41), 100);
        rows.addSaved({QStringLiteral("20261210001"), QStringLiteral("X")});
        QCOMPARE(list.rowCount(), 1);
        QCOMPARE(list.data(list.index(0, 1)).toString(), QStringLiteral("X"));
    }

    // Started by a person on a store it cannot use, the program asks once: a missing
    // file can be made as init-db makes it, another file chosen, or the program left.
    void storeProblemsAtStartAsk_data()
    {
        QTest::addColumn<bool>("missing");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("opened");
        QTest::newRow("missing, made") << true << "新建数据库" << true;
        QTest::newRow("missing, another chosen") << true << "选择其他数据库…" << true;
        QTest::newRow("missing, left") << true << "退出" << false;
        QTest::newRow("unusable, another chosen") << false << "选择其他数据库…" << true;
        QTest::newRow("unusable, left") << false << "退出" << false;
    }

    void storeProblemsAtStartAsk()
    {
        QFETCH(bool, missing);
        QFETCH(QString, answer);
        QFETCH(bool, opened);
        QTemporaryDir dir;
        const QString first = dir.filePath(QStringLiteral("db.mdb"));
        if (!missing)
            makeDatabaseFile(first, {QStringLiteral("create table 其他 (x text)")});
        const QString other = dir.filePath(QStringLiteral("other.mdb"));
        QString error;
        QVERIFY2(prepareStore(other, &error), qPrintable(error));
        QStringList asked, buttons;
        WorkQuestion::setHandler([&](QMessageBox& box) -> QAbstractButton* {
            asked << box.text();
            for (QAbstractButton* b : box.buttons())
                buttons << b->text();
            if (answer == u"选择其他数据库…")
                answerFileDialog(other);
            for (QAbstractButton* b : box.buttons()) {
                if (b->text() == answer)
                    return b;
            }
            return nullptr;
        });
        QString location = first;
        const std::optional<OpenedStore> store = openStoreAsking(&location);
        WorkQuestion::setHandler({});
        QCOMPARE(asked.size(), 1);
        QVERIFY2(asked.front().startsWith(missing ? QStringLiteral("找不到选型数据库：") + first
                                                  : QStringLiteral("选型数据库无法使用：") + first),
            qPrintable(asked.front()));
        QCOMPARE(buttons.contains(QStringLiteral("新建数据库")), missing);
        QCOMPARE(store.has_value(), opened);
        if (!opened)
            return;
        QCOMPARE(store->state, OpenedStore::State::Yes);
        QCOMPARE(location, answer == u"新建数据库" ? first : other);
        QVERIFY(QFile::exists(location));
    }

    // Started on the old program's Access file, the program asks once whether to import
    // its selections; 导入 fills a new store beside it, which the program opens, and
    // leaves the old file as it was.
    void oldDatabaseAtStartIsImported_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("imported");
        QTest::newRow("imported") << "导入" << true;
        QTest::newRow("left") << "退出" << false;
    }

    void oldDatabaseAtStartIsImported()
    {
        QFETCH(QString, answer);
        QFETCH(bool, imported);
        QTemporaryDir dir;
        const QString old = dir.filePath(QStringLiteral("sjk/选型数据库.mdb"));
        const std::vector<StoredRow> rows = oldTableRows(3);
        makeOldDatabase(old, rows);
        const QByteArray checksum = sha256Of(old);
        QStringList asked;
        answerBoxes({answer}, &asked);
        QString location = old;
        const std::optional<OpenedStore> store = openStoreAsking(&location);
        WorkQuestion::setHandler({});
        QCOMPARE(asked.value(0),
            QStringLiteral("这是旧版选型软件的数据库（Access）。要把其中的 3 条选型导入新的数据库吗？"));
        QCOMPARE(sha256Of(old), checksum);
        const QString beside = dir.filePath(QStringLiteral("sjk/选型数据库.db"));
        QCOMPARE(QFile::exists(beside), imported);
        QCOMPARE(store.has_value(), imported);
        if (!imported)
            return;
        QCOMPARE(asked.size(), 2);
        QCOMPARE(asked[1], QStringLiteral("导入完成。\n新导入 3 条，已有相同的 0 条，冲突 0 条，失败 0 条。"));
        QCOMPARE(location, beside);
        MainWindow window(*store->store, QStringLiteral("20261210"));
        window.workspace().showMainWindow();
        std::vector<StoredRow> listed = listedRows(window);
        std::reverse(listed.begin(), listed.end()); // newest first
        QVERIFY(listed == rows);
    }

    // 取消 in the progress of the import stops it between batches; the store begun is
    // taken away again and the question asked anew.
    void importCancelledAtStartLeavesNoStore()
    {
        QTemporaryDir dir;
        const QString old = dir.filePath(QStringLiteral("sjk/选型数据库.mdb"));
        makeOldDatabase(old, oldTableRows(2500));
        QTimer cancel;
        int cancelled = 0;
        connect(&cancel, &QTimer::timeout, this, [&] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (auto* progress = qobject_cast<QProgressDialog*>(w); progress && !progress->wasCanceled()) {
                    progress->cancel();
                    ++cancelled;
                }
            }
        });
        cancel.start(0);
        QStringList asked;
        answerBoxes({"导入", "退出"}, &asked);
        QString location = old;
        const std::optional<OpenedStore> store = openStoreAsking(&location);
        WorkQuestion::setHandler({});
        QCOMPARE(cancelled, 1);
        QVERIFY(!store);
        QCOMPARE(asked.size(), 2);
        QCOMPARE(asked[1], asked[0]);
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("sjk/选型数据库.db"))));
    }

    // An old file that cannot be read is said, with the choice of another store.
    void unreadableOldDatabaseAtStartIsSaid()
    {
        QTemporaryDir dir;
        const QString old = dir.filePath(QStringLiteral("old.mdb"));
        makeOldDatabase(old, oldTableRows(3));
        QVERIFY(writeBytes(old, fileBytes(old).left(100)));
        QStringList asked;
        answerBoxes({"退出"}, &asked);
        QString location = old;
        QVERIFY(!openStoreAsking(&location));
        WorkQuestion::setHandler({});
        QCOMPARE(asked,
            QStringList {QStringLiteral("选型数据库无法使用：%1\n(这是旧版选型软件的数据库（Access），但无法读"
                                        "取：文件不完整（可能被截断）：100字节，不是整数个4096字节的页)\n请选"
                                        "择其他数据库文件。")
                             .arg(old)});
    }

    // Once imported, the program starts on the store beside the old file without a
    // question, the old file where it was.
    void startsOnTheImportedStoreWithoutAsking()
    {
        QTemporaryDir programDir;
        const QString program = programDir.filePath(QStringLiteral("flowsel"));
        QVERIFY(QFile::copy(QStringLiteral(FLOWSEL_BIN_DIR "/flowsel"), program));
        const QString old = programDir.filePath(QStringLiteral("sjk/选型数据库.mdb"));
        makeOldDatabase(old, oldTableRows(2));
        QVERIFY(toolOutput(QStringLiteral(FLOWSEL_BIN_DIR "/flowsel-cli"),
            {"--db", programDir.filePath(QStringLiteral("sjk/选型数据库.db")), "import", old})
                    .contains(QStringLiteral("\"rows\":2,")));
        const QString script = programDir.filePath(QStringLiteral("list.flow"));
        QVERIFY(writeBytes(script, "list\n"));
        for (const QStringList& args : {QStringList {"--grab", programDir.filePath(QStringLiteral("main.png"))},
                 QStringList {"--script", script}}) {
            QProcess desktop;
            desktop.start(program, args);
            QVERIFY2(desktop.waitForFinished(60000), "the program waited: it asked a question");
            QCOMPARE(desktop.exitCode(), 0);
            if (args.front() == u"--script")
                QCOMPARE(desktop.readAllStandardOutput().count("\"event\":\"row\""), 2);
        }
    }

    // The manual's picture of the question at start: saved, and the program left as on
    // 退出; where no question is asked there is no picture, and exit status 2.
    void questionAtStartIsGrabbed()
    {
        QTemporaryDir dir;
        const QString old = dir.filePath(QStringLiteral("old.mdb"));
        makeOldDatabase(old, oldTableRows(2));
        const QString store = dir.filePath(QStringLiteral("store.db"));
        QString error;
        QVERIFY2(prepareStore(store, &error), qPrintable(error));
        for (const QString& db : {old, store}) {
            const QString picture = dir.filePath(QStringLiteral("question.png"));
            QProcess desktop;
            desktop.start(QStringLiteral(FLOWSEL_BIN_DIR "/flowsel"), {"--db", db, "--grab-question", picture});
            QVERIFY(desktop.waitForFinished(60000));
            QCOMPARE(desktop.exitCode(), db == old ? 0 : 2);
            const QImage image(picture);
            QCOMPARE(!image.isNull(), db == old);
            QVERIFY(image.isNull() || image.width() > 200);
            QFile::remove(picture);
            QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("old.db"))));
        }
    }

    // The menu's import: a file chosen, its rows in the store in use and the list read
    // again; the box tells the counts, the numbers in conflict and those that failed.
    void importFromTheMenu_data()
    {
        QTest::addColumn<QString>("suffix");
        QTest::newRow("Access file") << ".mdb";
        QTest::newRow("CSV export") << ".csv";
    }

    void importFromTheMenu()
    {
        QFETCH(QString, suffix);
        Desktop d;
        std::vector<StoredRow> rows = oldTableRows(4);
        StoredRow stored = rows[0];
        stored[2] = QStringLiteral("油田天然气");
        QVERIFY(d.database.insert(stored).ok());
        rows[3][0] = QStringLiteral("2013050900");
        QTemporaryDir dir;
        const QString old = dir.filePath(QStringLiteral("old") + suffix);
        if (suffix == u".mdb") {
            makeOldDatabase(old, rows);
        } else {
            std::vector<QStringList> records {oldTableColumns()};
            records.insert(records.end(), rows.begin(), rows.end());
            QVERIFY(writeBytes(old, csvText(records)));
        }
        QAction* import = nullptr;
        for (QAction* menu : d.main->menuBar()->actions()) {
            for (QAction* a : menu->menu() ? menu->menu()->actions() : QList<QAction*>()) {
                if (a->text() == u"导入旧版数据库…")
                    import = a;
            }
        }
        QVERIFY(import);
        QStringList asked;
        answerBoxes({"OK"}, &asked);
        answerFileDialog(old);
        import->trigger();
        WorkQuestion::setHandler({});
        QCOMPARE(asked,
            QStringList {QStringLiteral("导入完成。\n新导入 2 条，已有相同的 0 条，冲突 1 条，失败 1 条。\n\n"
                                        "数据库中已有以下编号的其他选型，未改动：\n20130509001\n\n"
                                        "以下选型无法保存：\n2013050900（选型编号不是11位数字）")});
        QVERIFY(listedRows(*d.main) == (std::vector<StoredRow> {rows[2], rows[1], stored}));
    }

    // A store the program cannot use: its error box, and the program ends with 2.
    void unusableStoreStopsTheProgram_data()
    {
        QTest::addColumn<QStringList>("statements");
        QTest::addColumn<QString>("reason");
        QTest::newRow("table of two columns")
            << QStringList {"create table 选型输出 (选型编号 text primary key, 仪表型号规格 text)"}
            << "选型输出表的结构与本程序不符（有2列，应为45列），本程序不使用也不修改此表";
        QTest::newRow("no table") << QStringList {"create table 其他 (x text)"} << "数据库中没有选型输出表";
    }

    void unusableStoreStopsTheProgram()
    {
        QFETCH(QStringList, statements);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("db.mdb"));
        makeDatabaseFile(path, statements);
        QProcess desktop;
        desktop.start(QStringLiteral(FLOWSEL_BIN_DIR "/flowsel"), {"--db", path, "--script", "/dev/null"});
        QVERIFY(desktop.waitForFinished(60000));
        QCOMPARE(desktop.exitCode(), 2);
        const QString expected = QStringLiteral("{\"event\":\"message\",\"box\":\"ShowBox\",\"kind\":4,"
                                                "\"title\":\"Corvane仪表集团仪表选型系统（V1.0）错误提示!\","
                                                "\"text\":\"数据库无法打开：%1\\n(%2)\"}\n")
                                     .arg(path, reason);
        QCOMPARE(QString::fromUtf8(desktop.readAllStandardOutput()), expected);
    }

    // The status bar names the store in use; a server's password is never shown,
    // not even in the report of a server that cannot be reached.
    void theStoreIsShownWithoutItsPassword()
    {
        Desktop d;
        const QString uri = QStringLiteral("postgresql://anna:geheim@:1/team?host=/nonexistent");
        d.main->showStoreLocation(shownStoreLocation(uri));
        auto* label = d.main->statusBar()->findChild<QLabel*>(QStringLiteral("storeLabel"));
        QVERIFY(label && label->isVisible());
        QCOMPARE(label->text(), QStringLiteral("数据库：postgresql://anna@:1/team?host=/nonexistent"));
        QCOMPARE(d.main->storeShown(), label->text());

        QProcess desktop;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("FLOWSEL_DB"), uri);
        desktop.setProcessEnvironment(env);
        desktop.start(QStringLiteral(FLOWSEL_BIN_DIR "/flowsel"), {"--script", "/dev/null"});
        QVERIFY(desktop.waitForFinished(60000));
        QCOMPARE(desktop.exitCode(), 2);
        const QString out = QString::fromUtf8(desktop.readAllStandardOutput());
        QVERIFY2(out.contains(QStringLiteral("数据库无法打开：postgresql://anna@:1/team?host=/nonexistent")),
            qPrintable(out));
        QVERIFY(!out.contains(QStringLiteral("geheim")));
    }

    void emptyDatabasePathIsAUsageError()
    {
        QProcess desktop;
        desktop.start(QStringLiteral(FLOWSEL_BIN_DIR "/flowsel"), {"--db", "", "--script", "/dev/null"});
        QVERIFY(desktop.waitForFinished(60000));
        QCOMPARE(desktop.exitCode(), 2);
        QCOMPARE(desktop.readAllStandardOutput(), QByteArray());
        QVERIFY(desktop.readAllStandardError().contains("--db takes a path, not an empty text\n"));
        QVERIFY(!QFile::exists(QStringLiteral(FLOWSEL_BIN_DIR "/sjk")));
    }

    // A store the command line names that is no store is a usage error on the
    // terminal; a settings file that cannot be used is said in the error box, where
    // the user of a program started from the desktop looks. Neither falls back to
    // the program's own file.
    void storeThatCannotBeChosenStopsTheProgram_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("settings"); // null: no settings file
        QTest::addColumn<QString>("out");         // %1: the settings file
        QTest::addColumn<QString>("err");         // the last line on the terminal, if any
        QTest::newRow("another kind of URI") << QStringList {"--db", "mysql://x/y"} << QByteArray() << ""
                                             << "--db: mysql:// names no store the program can use: a store is a "
                                                "file, :memory: or a postgresql:// URI";
        QTest::newRow("a missing folder") << QStringList {"--db", "/nonexistent/x.mdb"} << QByteArray() << ""
                                          << "--db: the folder /nonexistent does not exist";
        QTest::newRow("settings without a value")
            << QStringList() << QByteArray("database=\n")
            << "{\"event\":\"message\",\"box\":\"ShowBox\",\"kind\":4,\"title\":\"Corvane仪表集团仪表选型系统（V1.0）"
               "错误提示!\",\"text\":\"设置文件无法使用：%1\\n(database= is empty)\"}"
            << "";
    }

    void storeThatCannotBeChosenStopsTheProgram()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, settings);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QTemporaryDir programDir;
        const QString program = programDir.filePath(QStringLiteral("flowsel"));
        QVERIFY(QFile::copy(QStringLiteral(FLOWSEL_BIN_DIR "/flowsel"), program));
        const QString conf = programDir.filePath(QStringLiteral("flowsel.conf"));
        if (!settings.isNull()) {
            QFile file(conf);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(settings);
        }
        QProcess desktop;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("FLOWSEL_DB"));
        desktop.setProcessEnvironment(env);
        desktop.start(program, args << QStringLiteral("--script") << QStringLiteral("/dev/null"));
        QVERIFY(desktop.waitForFinished(60000));
        QCOMPARE(desktop.exitCode(), 2);
        QCOMPARE(QString::fromUtf8(desktop.readAllStandardOutput()).trimmed(), out.replace(QStringLiteral("%1"), conf));
        // after whatever Qt itself says on the terminal
        const QString terminal = QString::fromUtf8(desktop.readAllStandardError()).trimmed();
        QVERIFY2(terminal.endsWith(err), qPrintable(terminal));
        QVERIFY(!QFile::exists(programDir.filePath(QStringLiteral("sjk"))));
    }

    void menus()
    {
        Desktop d;
        QStringList titles;
        for (QAction* a : d.main->menuBar()->actions())
            titles << a->text();
        QCOMPARE(titles, (QStringList {"&x 选型", "&W 窗体", "流量计参数代号", "选型软件使用说明"}));
        QCOMPARE(d.main->newAction()->shortcut(), QKeySequence(QStringLiteral("Ctrl+N")));
        QCOMPARE(d.main->newAction()->statusTip(), QStringLiteral("Create a new file"));
    }

    // A menu document that cannot be shown says which one and why, never nothing.
    void menuDocumentThatCannotBeShown_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("state");
        QTest::addColumn<QString>("reason");
        // the key of the codes is written by the program: only the manual is a file
        QTest::newRow("missing") << "manualAction"
                                 << "选型软件使用说明.md"
                                 << "missing"
                                 << "找不到文件 ";
        QTest::newRow("not a file") << "manualAction"
                                    << "选型软件使用说明.md"
                                    << "folder"
                                    << " 不是文件";
    }
    void menuDocumentThatCannotBeShown()
    {
        QFETCH(QString, action);
        QFETCH(QString, file);
        QFETCH(QString, state);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        if (state == QLatin1String("folder"))
            QVERIFY(QDir(dir.path()).mkdir(file));
        RecordingPlatform seen;
        Desktop d(&seen);
        d.main->setDocumentFolder(dir.path());
        seen.take();
        QAction* a = d.main->findChild<QAction*>(action);
        QVERIFY(a);
        a->trigger();
        const QStringList events = seen.take();
        QCOMPARE(events.size(), 1);
        const QString expected = QStringLiteral("box 4: 无法显示“%1”：").arg(a->text());
        QVERIFY2(events[0].startsWith(expected), qPrintable(events[0]));
        QVERIFY2(
            events[0].contains(reason) && events[0].contains(QDir(dir.path()).filePath(file)), qPrintable(events[0]));
    }

    // "选型软件使用说明": the manual from doc/ beside the program, with its pictures;
    // its find box finds text in it.
    void manualOpensFromTheMenu()
    {
        RecordingPlatform seen;
        Desktop d(&seen);
        QCOMPARE(d.main->documentFolder(), QCoreApplication::applicationDirPath() + QStringLiteral("/doc"));
        d.main->setDocumentFolder(QStringLiteral(FLOWSEL_BIN_DIR "/doc")); // as the build lays it out
        seen.take();
        d.main->findChild<QAction*>(QStringLiteral("manualAction"))->trigger();
        QCOMPARE(seen.take(), QStringList());
        auto* manual = d.main->findChild<DocumentWindow*>(QStringLiteral("manualWindow"));
        QVERIFY(manual && manual->isVisible());
        const QTextDocument* text = manual->browser()->document();
        QVERIFY(text->toPlainText().startsWith(QStringLiteral("选型软件使用说明")));
        for (const char* picture : {"images/selection.png", "images/records.png"}) {
            const QVariant image = text->resource(QTextDocument::ImageResource, QUrl(QString::fromLatin1(picture)));
            QVERIFY2(image.isValid() && !qvariant_cast<QImage>(image).isNull(), picture);
        }
        // every picture at most as wide as the text: no page scrolls sideways
        int pictures = 0;
        for (QTextBlock block = text->begin(); block.isValid(); block = block.next()) {
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextCharFormat format = it.fragment().charFormat();
                if (!format.isImageFormat())
                    continue;
                ++pictures;
                const double width = format.toImageFormat().width();
                QVERIFY2(width > 0 && width <= manual->pictureWidth(), qPrintable(QString::number(width)));
            }
        }
        QVERIFY(pictures >= 2);
        QCOMPARE(manual->browser()->horizontalScrollBar()->maximum(), 0);
        manual->findBox()->setText(QStringLiteral("附计算书"));
        QVERIFY(manual->findNext());
        QCOMPARE(manual->browser()->textCursor().selectedText(), QStringLiteral("附计算书"));
        manual->findBox()->setText(QStringLiteral("没有这句话"));
        QVERIFY(!manual->findNext());
    }

    // The manual's pictures come from the scripts kept beside it: each still runs
    // against the real windows and gives its pictures, and every picture the manual
    // shows is one of them.
    void manualPicturesAreMadeByItsScripts()
    {
        QTemporaryDir dir;
        QProcess make;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("BUILD"), QStringLiteral(FLOWSEL_BIN_DIR "/.."));
        env.insert(QStringLiteral("FLOWSEL_PICTURES"), dir.path());
        make.setProcessEnvironment(env);
        make.start(QStringLiteral(FLOWSEL_SOURCE_DIR "/scripts/manual-pictures"), {});
        QVERIFY(make.waitForFinished(120000));
        QVERIFY2(make.exitCode() == 0, make.readAllStandardError().constData());
        const QStringList scripts
            = QDir(QStringLiteral(FLOWSEL_SOURCE_DIR "/docs/manual/pictures")).entryList({"*.flow"});
        QVERIFY(!scripts.isEmpty());
        QStringList made;
        for (const QString& script : scripts)
            made << QFileInfo(script).completeBaseName() + QStringLiteral(".png");
        made += QDir(dir.path()).entryList({"*.png"});
        made.removeDuplicates();
        for (const QString& picture : made)
            QVERIFY2(!QImage(dir.filePath(picture)).isNull(), qPrintable(picture));

        QFile manual(QStringLiteral(FLOWSEL_SOURCE_DIR "/docs/manual/选型软件使用说明.md"));
        QVERIFY(manual.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(manual.readAll());
        QStringList shown;
        for (const QRegularExpressionMatch& m :
            QRegularExpression(QStringLiteral(R"(\]\(images/([^)]+)\))")).globalMatch(text))
            shown << m.captured(1);
        QVERIFY(!shown.isEmpty());
        for (const QString& picture : shown)
            QVERIFY2(made.contains(picture), qPrintable(picture));
        const QStringList kept = QDir(QStringLiteral(FLOWSEL_SOURCE_DIR "/docs/manual/images")).entryList({"*.png"});
        QCOMPARE(QSet<QString>(kept.begin(), kept.end()), QSet<QString>(made.begin(), made.end()));
    }

    // "流量计参数代号": the key written by the program in a window of its own, every
    // series there and findable, with printing and saving as a PDF.
    void codeKeyOpensFromTheMenu()
    {
        RecordingPlatform seen;
        Desktop d(&seen);
        seen.take();
        d.main->findChild<QAction*>(QStringLiteral("codeKeyAction"))->trigger();
        QCOMPARE(seen.take(), QStringList());
        auto* key = d.main->findChild<DocumentWindow*>(QStringLiteral("codeKeyWindow"));
        QVERIFY(key && key->isVisible());
        QCOMPARE(key->windowTitle(), QStringLiteral("流量计参数代号"));
        const QString text = key->browser()->document()->toPlainText();
        for (const CodeKeySeries& series : codeKey())
            QVERIFY2(text.contains(series.series) && text.contains(series.templates.front().text),
                qPrintable(series.series));
        // in the middle of its screen, not over the main window's title bar
        const QRect screen = key->screen()->availableGeometry();
        QVERIFY(screen.contains(key->geometry()));
        QVERIFY((key->geometry().center() - screen.center()).manhattanLength() <= 2);
        key->findBox()->setText(QStringLiteral("VRNE-{S}"));
        QVERIFY(key->findNext());
        QVERIFY(key->findChild<QPushButton*>(QStringLiteral("printButton")));
        QVERIFY(key->findChild<QPushButton*>(QStringLiteral("savePdfButton")));
        // the menu again shows the same window
        d.main->findChild<QAction*>(QStringLiteral("codeKeyAction"))->trigger();
        QCOMPARE(d.main->findChildren<DocumentWindow*>(QStringLiteral("codeKeyWindow")).size(), 1);
    }

    // A file that exists but cannot be read is named with the system's reason.
    void documentFileProblems()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("选型软件使用说明.md"));
        QCOMPARE(documentFileProblem(path), QStringLiteral("找不到文件 ") + path);
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        QCOMPARE(documentFileProblem(path), QString());
        QVERIFY(f.setPermissions(QFileDevice::WriteOwner));
        if (QFile(path).open(QIODevice::ReadOnly))
            QSKIP("running with rights that read any file");
        QVERIFY2(documentFileProblem(path).startsWith(QStringLiteral("文件 %1 无法读取（").arg(path)),
            qPrintable(documentFileProblem(path)));
    }
};

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    prepareDesktop(app);
    TestDesktop test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_desktop.moc"
