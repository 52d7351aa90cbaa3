#include "apps/desktop/desktop.h"

#include "adapters/report/font_substitutions.h"
#include "adapters/report/selection_sheet.h"
#include "adapters/sqlite/selection_database.h"
#include "apps/common/common_options.h"
#include "apps/common/event_writer.h"
#include "apps/common/exit_status.h"
#include "apps/common/script_runner.h"
#include "apps/common/store_choice.h"
#include "apps/desktop/gui_script_actions.h"
#include "apps/desktop/main_window.h"
#include "apps/desktop/old_database_import.h"
#include "apps/desktop/pictures.h"
#include "apps/desktop/project_panel.h"
#include "apps/desktop/sheet_preview.h"
#include "apps/desktop/widget_platform.h"
#include "apps/desktop/work_questions.h"
#include "core/ports/message_kinds.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPrintPreviewDialog>
#include <QStatusBar>
#include <QTimer>
#include <QTranslator>

#include <cstdio>

void prepareDesktop(QApplication& app)
{
    QApplication::setApplicationName(QStringLiteral("flowsel"));
    installFontSubstitutions();
    QApplication::setWindowIcon(QIcon(logoPicture(QSize(64, 64)).copy(0, 0, 64, 64)));
    // 宋体 9 pt, the face of the forms, is AR PL UMing CN here: the same Song style and
    // the same compact 12-pixel lines
    QFont font = QApplication::font();
    font.setFamilies({QStringLiteral("AR PL UMing CN"), QStringLiteral("Noto Sans CJK SC")});
    font.setPointSize(9);
    QApplication::setFont(font);
    auto* translator = new QTranslator(&app);
    if (translator->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"), QStringLiteral("_"),
            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);
}

std::optional<OpenedStore> openStoreAsking(QString* location, QWidget* parent)
{
    for (;;) {
        WorkQuestion::StoreAnswer answer = WorkQuestion::StoreAnswer::Exit;
        if (holdsAccessFile(*location)) {
            // an old program's folder copied over: its selections, imported beside it
            std::optional<OpenedStore> imported;
            answer = offerImportAtStart(parent, location, &imported);
            if (imported)
                return imported;
        } else {
            OpenedStore opened = openStore(*location);
            if (opened.state == OpenedStore::State::Yes)
                return opened;
            const bool missing = opened.state == OpenedStore::State::Missing;
            answer = WorkQuestion::askAboutStore(parent, shownStoreLocation(*location), opened.error, missing);
        }
        switch (answer) {
        case WorkQuestion::StoreAnswer::Create: {
            QString error;
            if (!prepareStore(*location, &error))
                WidgetPlatform().showBox(
                    MessageKind::Error, QStringLiteral("无法新建选型数据库：%1\n(%2)").arg(*location, error));
            break;
        }
        case WorkQuestion::StoreAnswer::Choose: {
            const QString chosen = QFileDialog::getOpenFileName(parent, QStringLiteral("选择选型数据库"),
                QFileInfo(*location).absolutePath(), QStringLiteral("选型数据库 (*.mdb *.db *.sqlite);;所有文件 (*)"));
            if (!chosen.isEmpty())
                *location = chosen;
            break;
        }
        case WorkQuestion::StoreAnswer::Exit: return std::nullopt;
        case WorkQuestion::StoreAnswer::Import: break; // not done: asked again
        }
    }
}

namespace {

// What the command line asks of a run.
struct DesktopOptions {
    CommonOptions common;
    bool scripted = false;
    QString script;                      // the text of the --script file
    std::optional<QString> grab;         // the picture's file, with --grab
    std::optional<QString> project;      // the project to start into, with --project
    std::optional<QString> grabProject;  // the picture of its window, with --grab-project
    std::optional<QString> grabQuestion; // the picture of the question at start, with --grab-question
};

// The command line, checked; nothing when it cannot be used (the reason is on
// standard error). --help ends the program here.
std::optional<DesktopOptions> readDesktopOptions(QApplication& app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(applicationTitle());
    parser.addHelpOption();
    const QCommandLineOption dbOption(QStringLiteral("db"),
        QStringLiteral("the store: a database file or a postgresql:// URI"), QStringLiteral("PATH|URI"));
    const QCommandLineOption todayOption(
        QStringLiteral("today"), QStringLiteral("the date used for numbering"), QStringLiteral("YYYYMMDD"));
    const QCommandLineOption scriptOption(
        QStringLiteral("script"), QStringLiteral("run a selection script against the windows"), QStringLiteral("FILE"));
    const QCommandLineOption grabOption(QStringLiteral("grab"),
        QStringLiteral("save a picture of the main window and exit"), QStringLiteral("OUT.png"));
    const QCommandLineOption projectOption(QStringLiteral("project"),
        QStringLiteral("start in a project: the tab 项目 shown and the project's window open"), QStringLiteral("P"));
    const QCommandLineOption grabProjectOption(QStringLiteral("grab-project"),
        QStringLiteral("with --project: save a picture of the project's window and exit"), QStringLiteral("OUT.png"));
    const QCommandLineOption grabQuestionOption(QStringLiteral("grab-question"),
        QStringLiteral("save a picture of the question asked at start about the store (an old database, a "
                       "missing file) and exit"),
        QStringLiteral("OUT.png"));
    parser.addOptions(
        {dbOption, todayOption, scriptOption, grabOption, projectOption, grabProjectOption, grabQuestionOption});
    parser.process(app);

    DesktopOptions o;
    // checked in the order the desktop has always checked them: the date first
    QString fault;
    if ((parser.isSet(todayOption) && !o.common.take(QStringLiteral("--today"), parser.value(todayOption), &fault))
        || (parser.isSet(dbOption) && !o.common.take(QStringLiteral("--db"), parser.value(dbOption), &fault))) {
        std::fprintf(stderr, "%s\n", qPrintable(fault));
        return std::nullopt;
    }
    o.scripted = parser.isSet(scriptOption);
    if (o.scripted) {
        QFile file(parser.value(scriptOption));
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "cannot read the script %s\n", qPrintable(parser.value(scriptOption)));
            return std::nullopt;
        }
        o.script = QString::fromUtf8(file.readAll());
    }
    if (parser.isSet(grabOption))
        o.grab = parser.value(grabOption);
    if (parser.isSet(projectOption)) {
        o.project = parser.value(projectOption).trimmed();
        if (o.project->isEmpty()) {
            std::fprintf(stderr, "--project needs a project number\n");
            return std::nullopt;
        }
    }
    if (parser.isSet(grabProjectOption)) {
        if (!o.project) {
            std::fprintf(stderr, "--grab-project needs --project\n");
            return std::nullopt;
        }
        o.grabProject = parser.value(grabProjectOption);
    }
    if (parser.isSet(grabQuestionOption))
        o.grabQuestion = parser.value(grabQuestionOption);
    return o;
}

// The store that --db, the environment or the settings file choose, opened; nothing
// when the program cannot go on. `location` is where the store was opened.
std::optional<OpenedStore> openChosenStore(const QString& db, bool scripted, Platform* echo, QString* location)
{
    const StoreChoice choice = chooseStore(db);
    if (!choice.usable()) {
        // what the command line or the environment chose is the caller's mistake; a
        // settings file, found when the program is started from the desktop, is
        // reported where its user looks
        if (choice.origin != StoreChoice::Origin::Settings) {
            std::fprintf(stderr, "%s\n", qPrintable(choice.problemText()));
            return std::nullopt;
        }
        DesktopPlatform(echo).get().showBox(
            MessageKind::Error, QStringLiteral("设置文件无法使用：%1\n(%2)").arg(choice.source, choice.problem));
        return std::nullopt;
    }
    *location = choice.location;
    if (!scripted)
        return openStoreAsking(location);
    // a script meets the store as it is, with the program's own messages
    OpenedStore opened = openStore(*location);
    switch (opened.state) {
    case OpenedStore::State::Yes: break;
    case OpenedStore::State::Missing: DesktopPlatform(echo).get().plainMessage(opened.error); break;
    case OpenedStore::State::Failed: {
        DesktopPlatform(echo).get().showBox(MessageKind::Error,
            QStringLiteral("数据库无法打开：%1\n(%2)").arg(shownStoreLocation(*location), opened.error));
        return std::nullopt;
    }
    }
    return opened;
}

// A scripted run tells of every window shown and every preview asked for.
void echoWindowEvents(MainWindow& window, EventWriter& events)
{
    const auto shown = window.workspace().onWindowShown;
    window.workspace().onWindowShown = [shown, &events](SelectionWindow& w) {
        shown(w);
        events.window(w.caption(), w.form().text(Field::SelectionNo));
    };
    window.onPreview
        = [&events](SelectionWindow& w, const PrintRow&) { events.preview(w.form().text(Field::SelectionNo)); };
}

// Saves a picture of a window; false when the file could not be written (told).
bool savePicture(QWidget& window, const QString& path)
{
    if (window.grab().save(path))
        return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}

// The question the program asks at start about its store, saved as a picture instead
// of answered (then as 退出 would); the manual shows it. 2 when no question is asked
// or the picture is not written.
int grabStartQuestion(const QString& db, const QString& path)
{
    const StoreChoice choice = chooseStore(db);
    if (!choice.usable()) {
        std::fprintf(stderr, "%s\n", qPrintable(choice.problemText()));
        return kExitUnusable;
    }
    QString location = choice.location;
    bool asked = false;
    bool saved = false;
    WorkQuestion::setHandler([&](QMessageBox& box) -> QAbstractButton* {
        asked = true;
        box.show(); // laid out as the user sees it
        QApplication::processEvents();
        saved = box.grab().save(path);
        return box.escapeButton();
    });
    openStoreAsking(&location);
    WorkQuestion::setHandler({});
    if (!asked)
        std::fprintf(stderr, "no question is asked at start on %s\n", qPrintable(shownStoreLocation(location)));
    else if (!saved)
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return saved ? kExitOk : kExitUnusable;
}

// Shows the main window and runs until it closes; a script runs once the window is
// up, then the --project window opens; a script or a picture ends the program with
// its status.
int showAndRun(QApplication& app, MainWindow& window, const DesktopOptions& o, EventWriter& events)
{
    const bool grab = o.grab.has_value() || o.grabProject.has_value();
    if (grab) {
        window.resize(1364, 859);
        window.show();
    } else {
        window.showMaximized();
    }

    const bool once = o.scripted || grab;
    int status = kExitOk;
    if (once || o.project) {
        QTimer::singleShot(0, &window, [&] {
            if (once)
                window.workspace().activate();
            if (o.scripted) {
                GuiScriptActions actions(window);
                ScriptRunner runner(window.workspace(), events, &actions);
                status = runner.run(o.script) == 0 ? kExitOk : kExitLineFailed;
            }
            ProjectWindow* project = o.project ? window.showProject(*o.project) : nullptr;
            if (!once)
                return;
            QApplication::processEvents();
            if (o.grab && !savePicture(window, *o.grab))
                status = kExitUnusable;
            if (o.grabProject && !(project && savePicture(*project, *o.grabProject)))
                status = kExitUnusable;
            QApplication::exit(status);
        });
    }
    const int loop = app.exec();
    return once ? status : loop;
}

} // namespace

int runDesktop(QApplication& app)
{
    prepareDesktop(app);
    const std::optional<DesktopOptions> o = readDesktopOptions(app);
    if (!o)
        return kExitUnusable;
    if (o->grabQuestion)
        return grabStartQuestion(o->common.db, *o->grabQuestion);
    EventWriter events(lineWriter(stdout));
    WidgetPlatform::setScripted(o->scripted);
    Platform* echo = o->scripted ? &events : nullptr;

    QString location;
    std::optional<OpenedStore> opened = openChosenStore(o->common.db, o->scripted, echo, &location);
    if (!opened)
        return kExitUnusable;
    // a project that is not there is the command line's mistake, told before any window
    if (o->project) {
        const QString problem = projectUnavailable(*opened->store, *o->project);
        if (!problem.isEmpty()) {
            std::fprintf(stderr, "%s\n", qPrintable(problem));
            return kExitUnusable;
        }
    }

    MainWindow window(*opened->store, o->common.today, echo);
    window.showStoreLocation(shownStoreLocation(location));
    // a script's find prints what the search found: it is read at once
    if (!o->scripted && location != SelectionDatabase::memoryPath())
        window.searchOnAConnectionOfItsOwn(location);
    // a search index the opening rebuilt (or could not) is news, not a question
    if (!opened->notice.isEmpty())
        window.statusBar()->showMessage(opened->notice);
    window.onPreview = [&window](SelectionWindow& w, const PrintRow& row) {
        createStoredSheetPreview(window.workspace().store(), w.form().text(Field::SelectionNo), row, &window)->open();
    };
    if (o->scripted)
        echoWindowEvents(window, events);
    return showAndRun(app, window, *o, events);
}
