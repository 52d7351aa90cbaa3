#include "cli_command.h"

#include "event_writer.h"
#include "numbers.h"
#include "script_runner.h"
#include "selection_database.h"
#include "selection_sheet.h"
#include "statements.h"
#include "sgerg.h"
#include "workspace.h"

#include <QDate>
#include <QFile>
#include <QSqlQuery>

#include <optional>

namespace {

constexpr int kExitOk = 0;
constexpr int kExitLineFailed = 1;
constexpr int kExitUnusable = 2;

const char kUsage[] = R"(usage:
  flowsel-cli [OPTIONS] run SCRIPT        run a selection script ("-" reads standard input)
  flowsel-cli [OPTIONS] sheet NO OUT.pdf  write the selection sheet of stored selection NO as a PDF
  flowsel-cli [OPTIONS] init-db           create the database file and its table where missing
  flowsel-cli sgerg P T HS D XCO2 XH2 [--ref20]
                                          compressibility factor Z by SGERG-88 (p in MPa absolute,
                                          t in C, gas values at the 25 C/0 C reference, or at the
                                          20 C/20 C reference with --ref20)
  flowsel-cli --help                      this text

options:
  --db PATH          the database file (default: sjk/选型数据库.mdb beside the program);
                     :memory: is a fresh, empty database in memory
  --today YYYYMMDD   the local date used for numbering selections (default: today))";

struct Options {
    QString db;
    QString today;
    QString command;
    QStringList arguments;
};

std::optional<Options> parseOptions(const QStringList& args, QString* error)
{
    Options o;
    o.today = QDate::currentDate().toString(QStringLiteral("yyyyMMdd"));
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (!o.command.isEmpty()) {
            o.arguments << a;
        } else if (a == u"--db" || a == u"--today") {
            if (i + 1 >= args.size()) {
                *error = QStringLiteral("%1 needs a value").arg(a);
                return std::nullopt;
            }
            const QString value = args[++i];
            if (a == u"--db") {
                if (value.isEmpty()) {
                    *error = QStringLiteral("--db takes a path, not an empty text");
                    return std::nullopt;
                }
                o.db = value;
            } else {
                const QDate date = QDate::fromString(value, QStringLiteral("yyyyMMdd"));
                if (value.size() != 8 || !date.isValid()) {
                    *error = QStringLiteral("--today takes a date as YYYYMMDD, not '%1'").arg(value);
                    return std::nullopt;
                }
                o.today = value;
            }
        } else if (a.startsWith(QStringLiteral("--")) && a != u"--help") {
            *error = QStringLiteral("unknown option %1").arg(a);
            return std::nullopt;
        } else {
            o.command = a;
        }
    }
    if (o.command.isEmpty()) {
        *error = QStringLiteral("no command given");
        return std::nullopt;
    }
    return o;
}

int sgerg(const QStringList& arguments, const std::function<void(const QString&)>& out,
          const std::function<void(const QString&)>& err)
{
    QStringList values = arguments;
    const bool ref20 = values.removeAll(QStringLiteral("--ref20")) > 0;
    if (values.size() != 6) {
        err(QStringLiteral("sgerg takes P T HS D XCO2 XH2 [--ref20]"));
        return kExitUnusable;
    }
    float v[6];
    for (int i = 0; i < 6; ++i) {
        const std::optional<double> d = parseDecimalTrimmed(values[i]);
        if (!d) {
            err(QStringLiteral("'%1' is not a number").arg(values[i]));
            return kExitUnusable;
        }
        v[i] = static_cast<float>(*d);
    }
    float z = 0;
    const int status = (ref20 ? SgergZRef20 : SgergZ)(v[0], v[1], v[2], v[3], v[4], v[5], z);
    const QString zText = status == 0 ? QString::asprintf("%.9g", double(z)) : QStringLiteral("null");
    out(QStringLiteral("{\"status\":%1,\"Z\":%2}").arg(status).arg(zText));
    return kExitOk;
}

std::optional<QString> readScript(const QString& path)
{
    QFile file;
    if (path == u"-") {
        if (!file.open(stdin, QIODevice::ReadOnly))
            return std::nullopt;
    } else {
        file.setFileName(path);
        if (!file.open(QIODevice::ReadOnly))
            return std::nullopt;
    }
    return QString::fromUtf8(file.readAll());
}

int initDb(const Options& o, const std::function<void(const QString&)>& out,
           const std::function<void(const QString&)>& err)
{
    if (!o.arguments.isEmpty()) {
        err(QStringLiteral("init-db takes no arguments"));
        return kExitUnusable;
    }
    const QString path = o.db.isEmpty() ? SelectionDatabase::defaultPath() : o.db;
    if (path == SelectionDatabase::memoryPath())
        return kExitOk; // a fresh in-memory database holds the table already
    QString error;
    if (!SelectionDatabase::create(path, &error)) {
        err(QStringLiteral("cannot prepare the database %1: %2").arg(path, error));
        return kExitUnusable;
    }
    out(QStringLiteral("database ready: %1").arg(path));
    return kExitOk;
}

// Opens the database a command needs; false (reported) when there is none to use.
bool openDatabase(SelectionDatabase& database, const Options& o, const std::function<void(const QString&)>& err)
{
    const QString path = o.db.isEmpty() ? SelectionDatabase::defaultPath() : o.db;
    QString error;
    switch (database.open(path, &error)) {
    case SelectionDatabase::Opened::Yes:
        return true;
    case SelectionDatabase::Opened::Missing:
        err(SelectionDatabase::missingMessage() + QStringLiteral(" (%1)").arg(path));
        return false;
    case SelectionDatabase::Opened::Failed:
        err(QStringLiteral("cannot open the database %1: %2").arg(path, error));
        return false;
    }
    return false;
}

int sheet(const Options& o, const std::function<void(const QString&)>& out,
          const std::function<void(const QString&)>& err)
{
    if (o.arguments.size() != 2) {
        err(QStringLiteral("sheet takes a selection number and the PDF to write"));
        return kExitUnusable;
    }
    SelectionDatabase database;
    if (!openDatabase(database, o, err))
        return kExitUnusable;
    const QString& number = o.arguments[0];
    QSqlQuery query(database.connection());
    QString error;
    int rows = 0;
    const std::optional<PrintRow> row = fetchPrintRow(query, number, &error, &rows);
    if (!row) {
        err(queryErrorText(statements::print(number).sql, error));
        return kExitLineFailed;
    }
    if (rows != 1) {
        err(notSavedMessage());
        return kExitLineFailed;
    }
    if (!writeSelectionSheetPdf(o.arguments[1], *row, selectionSheetDate(QDate::currentDate()), &error)) {
        err(error);
        return kExitLineFailed;
    }
    out(QStringLiteral("sheet written: %1").arg(o.arguments[1]));
    return kExitOk;
}

int run(const Options& o, const std::function<void(const QString&)>& out,
        const std::function<void(const QString&)>& err)
{
    if (o.arguments.size() != 1) {
        err(QStringLiteral("run takes one script file"));
        return kExitUnusable;
    }
    const std::optional<QString> script = readScript(o.arguments.front());
    if (!script) {
        err(QStringLiteral("cannot read the script %1").arg(o.arguments.front()));
        return kExitUnusable;
    }
    EventWriter events(out);
    SelectionDatabase database;
    const QString path = o.db.isEmpty() ? SelectionDatabase::defaultPath() : o.db;
    QString error;
    switch (database.open(path, &error)) {
    case SelectionDatabase::Opened::Yes:
        break;
    case SelectionDatabase::Opened::Missing:
        events.plainMessage(SelectionDatabase::missingMessage());
        break;
    case SelectionDatabase::Opened::Failed:
        err(QStringLiteral("cannot open the database %1: %2").arg(path, error));
        return kExitUnusable;
    }
    Workspace workspace(events, o.today, database);
    workspace.onWindowShown = [&events](SelectionWindow& w) {
        events.window(w.caption(), w.form().text(Field::SelectionNo));
    };
    workspace.onPreview = [&events](SelectionWindow& w, const PrintRow&) {
        events.preview(w.form().text(Field::SelectionNo));
    };
    workspace.showMainWindow();
    workspace.activate();
    ScriptRunner runner(workspace, events);
    return runner.run(*script) == 0 ? kExitOk : kExitLineFailed;
}

} // namespace

int runFlowselCli(const QStringList& args, const std::function<void(const QString&)>& out,
                  const std::function<void(const QString&)>& err)
{
    if (args.contains(QStringLiteral("--help")) && !args.contains(QStringLiteral("sgerg"))) {
        out(QString::fromUtf8(kUsage));
        return kExitOk;
    }
    QString error;
    const std::optional<Options> o = parseOptions(args, &error);
    if (!o) {
        err(error);
        err(QString::fromUtf8(kUsage));
        return kExitUnusable;
    }
    if (o->command == u"sgerg")
        return sgerg(o->arguments, out, err);
    if (o->command == u"run")
        return run(*o, out, err);
    if (o->command == u"init-db")
        return initDb(*o, out, err);
    if (o->command == u"sheet")
        return sheet(*o, out, err);
    err(QStringLiteral("unknown command '%1'").arg(o->command));
    err(QString::fromUtf8(kUsage));
    return kExitUnusable;
}
