#include "apps/desktop/desktop.h"

#include "apps/common/event_writer.h"
#include "adapters/report/font_substitutions.h"
#include "adapters/report/selection_sheet.h"
#include "apps/desktop/gui_script_actions.h"
#include "apps/desktop/main_window.h"
#include "apps/desktop/pictures.h"
#include "core/ports/message_kinds.h"
#include "apps/common/script_runner.h"
#include "apps/desktop/sheet_preview.h"
#include "apps/common/store_choice.h"
#include "apps/desktop/widget_platform.h"
#include "apps/desktop/work_questions.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDate>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QPrintPreviewDialog>
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
        OpenedStore opened = openStore(*location);
        if (opened.state == OpenedStore::State::Yes)
            return opened;
        const bool missing = opened.state == OpenedStore::State::Missing;
        switch (WorkQuestion::askAboutStore(parent, shownStoreLocation(*location), opened.error, missing)) {
        case WorkQuestion::StoreAnswer::Create: {
            QString error;
            if (!prepareStore(*location, &error))
                WidgetPlatform().showBox(MessageKind::Error,
                                         QStringLiteral("无法新建选型数据库：%1\n(%2)").arg(*location, error));
            break;
        }
        case WorkQuestion::StoreAnswer::Choose: {
            const QString chosen = QFileDialog::getOpenFileName(
                parent, QStringLiteral("选择选型数据库"), QFileInfo(*location).absolutePath(),
                QStringLiteral("选型数据库 (*.mdb *.db *.sqlite);;所有文件 (*)"));
            if (!chosen.isEmpty())
                *location = chosen;
            break;
        }
        case WorkQuestion::StoreAnswer::Exit:
            return std::nullopt;
        }
    }
}

int runDesktop(QApplication& app)
{
    prepareDesktop(app);
    QCommandLineParser parser;
    parser.setApplicationDescription(applicationTitle());
    parser.addHelpOption();
    const QCommandLineOption dbOption(QStringLiteral("db"), QStringLiteral("the store: a database file or a postgresql:// URI"),
                                       QStringLiteral("PATH|URI"));
    const QCommandLineOption todayOption(QStringLiteral("today"), QStringLiteral("the date used for numbering"),
                                         QStringLiteral("YYYYMMDD"));
    const QCommandLineOption scriptOption(QStringLiteral("script"),
                                          QStringLiteral("run a selection script against the windows"),
                                          QStringLiteral("FILE"));
    const QCommandLineOption grabOption(QStringLiteral("grab"), QStringLiteral("save a picture of the main window and exit"),
                                        QStringLiteral("OUT.png"));
    parser.addOptions({dbOption, todayOption, scriptOption, grabOption});
    parser.process(app);

    QString today = QDate::currentDate().toString(QStringLiteral("yyyyMMdd"));
    if (parser.isSet(todayOption)) {
        today = parser.value(todayOption);
        if (today.size() != 8 || !QDate::fromString(today, QStringLiteral("yyyyMMdd")).isValid()) {
            std::fprintf(stderr, "--today takes a date as YYYYMMDD\n");
            return 2;
        }
    }
    if (parser.isSet(dbOption) && parser.value(dbOption).isEmpty()) {
        std::fprintf(stderr, "--db takes a path, not an empty text\n");
        return 2;
    }
    QString script;
    const bool scripted = parser.isSet(scriptOption);
    if (scripted) {
        QFile file(parser.value(scriptOption));
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "cannot read the script %s\n", qPrintable(parser.value(scriptOption)));
            return 2;
        }
        script = QString::fromUtf8(file.readAll());
    }
    EventWriter events(lineWriter(stdout));
    WidgetPlatform::setScripted(scripted);
    Platform* echo = scripted ? &events : nullptr;

    const StoreChoice choice = chooseStore(parser.value(dbOption));
    if (!choice.usable()) {
        // what the command line or the environment chose is the caller's mistake; a
        // settings file, found when the program is started from the desktop, is
        // reported where its user looks
        if (choice.origin != StoreChoice::Origin::Settings) {
            std::fprintf(stderr, "%s\n", qPrintable(choice.problemText()));
            return 2;
        }
        DesktopPlatform(echo).get().showBox(
            MessageKind::Error, QStringLiteral("设置文件无法使用：%1\n(%2)").arg(choice.source, choice.problem));
        return 2;
    }
    QString location = choice.location;
    OpenedStore opened;
    if (scripted) {
        // a script meets the store as it is, with the program's own messages
        opened = openStore(location);
        switch (opened.state) {
        case OpenedStore::State::Yes:
            break;
        case OpenedStore::State::Missing:
            DesktopPlatform(echo).get().plainMessage(opened.error);
            break;
        case OpenedStore::State::Failed: {
            DesktopPlatform(echo).get().showBox(
                MessageKind::Error,
                QStringLiteral("数据库无法打开：%1\n(%2)").arg(shownStoreLocation(location), opened.error));
            return 2;
        }
        }
    } else {
        std::optional<OpenedStore> asked = openStoreAsking(&location);
        if (!asked)
            return 2;
        opened = std::move(*asked);
    }

    MainWindow window(*opened.store, today, echo);
    window.showStoreLocation(shownStoreLocation(location));
    window.onPreview = [&window](SelectionWindow& w, const PrintRow& row) {
        createStoredSheetPreview(window.workspace().store(), w.form().text(Field::SelectionNo), row, &window)->open();
    };
    if (scripted) {
        const auto shown = window.workspace().onWindowShown;
        window.workspace().onWindowShown = [shown, &events](SelectionWindow& w) {
            shown(w);
            events.window(w.caption(), w.form().text(Field::SelectionNo));
        };
        window.onPreview = [&events](SelectionWindow& w, const PrintRow&) {
            events.preview(w.form().text(Field::SelectionNo));
        };
    }
    const bool grab = parser.isSet(grabOption);
    if (grab) {
        window.resize(1364, 859);
        window.show();
    } else {
        window.showMaximized();
    }

    int status = 0;
    if (scripted || grab) {
        QTimer::singleShot(0, &window, [&] {
            window.workspace().activate();
            if (scripted) {
                GuiScriptActions actions(window);
                ScriptRunner runner(window.workspace(), events, &actions);
                status = runner.run(script) == 0 ? 0 : 1;
            }
            if (grab) {
                QApplication::processEvents();
                if (!window.grab().save(parser.value(grabOption))) {
                    std::fprintf(stderr, "cannot write %s\n", qPrintable(parser.value(grabOption)));
                    status = 2;
                }
            }
            QApplication::exit(status);
        });
    }
    const int loop = app.exec();
    return scripted || grab ? status : loop;
}
