#include "apps/cli/cli_command.h"

#include "adapters/files/atomic_file.h"
#include "adapters/report/html_pdf.h"
#include "adapters/report/selection_sheet.h"
#include "adapters/sql/copy_into_empty.h"
#include "apps/cli/batch_command.h"
#include "apps/cli/command_words.h"
#include "apps/cli/project_command.h"
#include "apps/common/common_options.h"
#include "apps/common/event_writer.h"
#include "apps/common/exit_status.h"
#include "apps/common/json_line.h"
#include "apps/common/old_selections.h"
#include "apps/common/script_runner.h"
#include "apps/common/selection_import.h"
#include "apps/common/store_choice.h"
#include "core/form/numbers.h"
#include "core/gas/sgerg.h"
#include "workspace/calculation_record.h"
#include "workspace/code_key.h"
#include "workspace/store_messages.h"
#include "workspace/workspace.h"

#include <QCommandLineParser>
#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>
#include <optional>

namespace {

const char kUsage[] = R"(usage:
  flowsel-cli [OPTIONS] run SCRIPT        run a selection script ("-" reads standard input)
  flowsel-cli [OPTIONS] sheet NO OUT.pdf [--with-calc]
                                          write the selection sheet of stored selection NO as a PDF,
                                          with the calculation record as a second page
  flowsel-cli code-key OUT.pdf|OUT.html   write the key of the model codes (流量计参数代号)
  flowsel-cli [OPTIONS] init-db           create the database file and its table where missing
  flowsel-cli [OPTIONS] check-db          check the store through (its tables, the search index and
                                          its triggers) and rebuild the index where it does not
                                          agree with the table: a JSON line per finding, then
                                          {"event":"checked","repaired":N,"problems":M}
  flowsel-cli [OPTIONS] copy-db TARGET    copy every stored selection into the store TARGET (a path
                                          or a URI), skipping the numbers it holds already; a row
                                          TARGET refuses is reported and left out (exit status 1);
                                          projects and their lines too, skipping those it holds
  flowsel-cli [OPTIONS] import OLD        store the selections of the old program's database OLD (its
                                          Access file, Jet 4.0, or a CSV export of its table 选型输出)
                                          in the store, each under its own number, as stored; a row
                                          the store holds with other values is a conflict, one that
                                          cannot be stored failed, each a JSON line, then
                                          {"event":"imported","rows":N,"skipped":S,"conflicts":C,"failed":F};
                                          OLD is only read
  flowsel-cli [OPTIONS] batch POINTS.csv [--out RESULTS.csv] [--save [--project P]]
                                          [--candidates CANDIDATES.csv]
                                          select a meter for every metering point of a CSV file;
                                          result cells a spreadsheet would run as formulas
                                          (=, +, -, @ and not a number) get a ' in front; with
                                          --project every saved point joins project P, its Id the tag;
                                          --candidates also writes every candidate meter of each
                                          computed point, as the line compare prints them
  flowsel-cli [OPTIONS] project new NAME [--customer C] [--site S]
                                          make a project (the metering points of one inquiry) and
                                          print its number
  flowsel-cli [OPTIONS] project add P TAG NO [--qty N]
                                          add stored selection NO to project P under the tag TAG
  flowsel-cli [OPTIONS] project remove P TAG
                                          remove the line of TAG from project P
  flowsel-cli [OPTIONS] project list | project show P
                                          the projects, newest first, or one project and its lines,
                                          as JSON lines
  flowsel-cli [OPTIONS] project sheet P OUT.pdf | project export P OUT.xlsx
                                          the summary sheet (项目选型汇总表) as a PDF, or the workbook
                                          of the lines and their selection records
  flowsel-cli sgerg P T HS D XCO2 XH2 [--ref20]
                                          compressibility factor Z by SGERG-88 (p in MPa absolute,
                                          t in C, gas values at the 25 C/0 C reference, or at the
                                          20 C/20 C reference with --ref20)
  flowsel-cli -h | --help                 this text
  flowsel-cli --version                   the program's version

options:
  --db PATH|URI      the store: a database file, :memory: (a fresh, empty database in memory),
                     or postgresql://[USER[:PASSWORD]@][HOST][:PORT]/DBNAME[?host=SOCKETDIR];
                     default: FLOWSEL_DB, then database= in flowsel.conf beside the program,
                     then sjk/选型数据库.mdb beside the program; a file's folder must exist, and
                     a flowsel.conf that cannot be read or names no store is an error; an old
                     program's Access file chosen so stands for the store imported beside it
                     (its name with .db: sjk/选型数据库.db) once that is there
  --today YYYYMMDD   the local date used for numbering selections (default: today)
  Every option, of a command too, is written --name VALUE or --name=VALUE, and given once.
  An output may be a device or a named pipe (written in place) or /dev/stdout; a link
  is written through to its target; an existing file is replaced only when written whole.

exit status:
  0  done: every script line carried out, every point read (and stored with --save),
     the file written
  1  done in part: a script line that could not be carried out, a point refused or not
     stored, a stored selection not found, a file that could not be written, a row
     copy-db's target refused, a problem check-db could not repair, a project line
     refused (a tag taken, a number not stored,
     a tag not there), a saved point that did not join its project, or a row import
     reported (a conflict, a row that failed)
  2  not started: a command line that cannot be used, a store that cannot be opened or
     chosen, a points file that cannot be used, a project that does not exist, an old
     database that cannot be read (not an Access or CSV file, no table 选型输出, a
     column missing, Jet 3 or .accdb, damaged))";

// After a usage error: where the whole usage is, so that the error stays in sight.
const QString kUsageHint = QStringLiteral("用法：flowsel-cli --help");

struct Options : CommonOptions {
    QString command;
    QStringList arguments;
};

// The options before the command go through QCommandLineParser; everything from the
// command on is the command's own (sgerg takes negative numbers, batch its own options).
struct Parsed {
    std::optional<Options> options;
    bool help = false;
    bool version = false;
};

Parsed parseOptions(const QStringList& args, QString* error)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    const QCommandLineOption db(QStringLiteral("db"), QString(), QStringLiteral("PATH|URI"));
    const QCommandLineOption today(QStringLiteral("today"), QString(), QStringLiteral("YYYYMMDD"));
    const QCommandLineOption helpOption(QStringList {QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringLiteral("version"));
    parser.addOptions({db, today, helpOption, version});

    Parsed parsed;
    if (!parser.parse(QStringList {QStringLiteral("flowsel-cli")} + args)) {
        const QStringList unknown = parser.unknownOptionNames();
        *error = unknown.isEmpty()
            ? parser.errorText()
            : QStringLiteral("unknown option %1%2").arg(unknown.first().size() == 1 ? u"-" : u"--", unknown.first());
        return parsed;
    }
    const QStringList positional = parser.positionalArguments();
    // "--help" anywhere but among sgerg's numbers asks for the usage, as it always did;
    // a word after it or after --version is a mistake to tell, not to pass over
    const bool sgergNumbers = positional.value(0) == u"sgerg";
    const qsizetype helpWord = sgergNumbers ? -1 : positional.indexOf(QStringLiteral("--help"));
    const bool help = parser.isSet(helpOption) || helpWord >= 0;
    if (help || parser.isSet(version)) {
        const auto wordAfter = [&]() -> QString {
            // the words after the last of -h, --help and --version among all the arguments
            qsizetype last = -1;
            for (qsizetype i = 0; i < args.size(); ++i) {
                if (args[i] == u"-h" || args[i] == u"--help" || args[i] == u"-help" || args[i] == u"--version"
                    || args[i] == u"-version")
                    last = i;
            }
            for (qsizetype i = last + 1; i < args.size(); ++i) {
                if (!args[i].startsWith(u'-'))
                    return args[i];
            }
            return QString();
        };
        if (const QString extra = wordAfter(); !extra.isEmpty()) {
            *error = QStringLiteral("%1 takes no other words, not '%2'")
                         .arg(help ? QStringLiteral("--help") : QStringLiteral("--version"), extra);
            return parsed;
        }
        parsed.help = help;
        parsed.version = !help;
        return parsed;
    }
    for (const QString& name : {QStringLiteral("db"), QStringLiteral("today")}) {
        if (parser.values(name).size() > 1) {
            *error = QStringLiteral("--%1 is given twice; give it once").arg(name);
            return parsed;
        }
    }

    // Every value in the order given: a later good one does not hide an earlier
    // unusable one. optionNames() lists an option once per occurrence.
    Options o;
    QHash<QString, qsizetype> seen;
    for (const QString& name : parser.optionNames()) {
        const QString value = parser.values(name).value(seen[name]++);
        if (!o.take(QStringLiteral("--") + name, value, error))
            return parsed;
    }
    if (positional.isEmpty()) {
        *error = QStringLiteral("no command given");
        return parsed;
    }
    o.command = positional.first();
    o.arguments = positional.mid(1);
    parsed.options = std::move(o);
    return parsed;
}

// The physical bounds of the routine's arguments: beyond them there is no gas to
// compute, and an answer would only look like one.
struct SgergArgument {
    double lowest;
    bool lowestAllowed;
    double highest;
    const char* refusal;
};

// clang-format off
const SgergArgument kSgergArguments[] = {
    {0,       false, HUGE_VAL, "P is an absolute pressure in MPa and must be above 0"},
    {-273.15, false, HUGE_VAL, "T is in degrees Celsius and must be above -273.15 (absolute zero)"},
    {0,       false, HUGE_VAL, "HS is a calorific value in MJ/m3 and must be above 0"},
    {0,       false, HUGE_VAL, "D is a relative density and must be above 0"},
    {0,       true,  1,        "XCO2 is a mole fraction and must lie between 0 and 1"},
    {0,       true,  1,        "XH2 is a mole fraction and must lie between 0 and 1"},
};
// clang-format on

bool withinBounds(const SgergArgument& a, double value)
{
    const bool aboveLowest = a.lowestAllowed ? value >= a.lowest : value > a.lowest;
    return aboveLowest && value <= a.highest;
}

int sgerg(const QStringList& arguments, const std::function<void(const QString&)>& out,
    const std::function<void(const QString&)>& err)
{
    QString fault;
    const std::optional<CommandWords> words = readCommandWords(arguments, {}, {QStringLiteral("--ref20")}, &fault);
    if (!words || words->plain.size() != 6) {
        err(words ? QStringLiteral("sgerg takes P T HS D XCO2 XH2 [--ref20]") : fault);
        return kExitUnusable;
    }
    const QStringList& values = words->plain;
    const bool ref20 = words->has(QStringLiteral("--ref20"));
    double v[6];
    for (int i = 0; i < 6; ++i) {
        const std::optional<double> d = parseDecimalTrimmed(values[i]);
        if (!d) {
            err(QStringLiteral("'%1' is not a number").arg(values[i]));
            return kExitUnusable;
        }
        v[i] = *d;
    }
    for (int i = 0; i < 6; ++i) {
        if (!withinBounds(kSgergArguments[i], v[i])) {
            err(QStringLiteral("%1, not %2").arg(QString::fromUtf8(kSgergArguments[i].refusal), values[i].trimmed()));
            return kExitUnusable;
        }
    }
    if (v[4] + v[5] > 1) {
        err(QStringLiteral("XCO2 and XH2 together must not exceed 1, not %1").arg(v[4] + v[5]));
        return kExitUnusable;
    }
    float z = 0;
    int status = 1; // as the routine reports a single-precision overflow
    const bool single = std::all_of(
        std::begin(v), std::end(v), [](double x) { return std::fabs(x) <= std::numeric_limits<float>::max(); });
    if (single) {
        auto f = [&v](int i) { return static_cast<float>(v[i]); };
        status = (ref20 ? sgergZFromGasValuesRef20 : sgergZFromGasValues)(f(0), f(1), f(2), f(3), f(4), f(5), z);
    }
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

using Sink = std::function<void(const QString&)>;

// The store the options choose; none, reported, when that choice cannot be used.
std::optional<QString> chosenLocation(const Options& o, const Sink& err)
{
    const StoreChoice choice = chooseStore(o.db);
    if (choice.usable())
        return choice.location;
    err(choice.problemText());
    return std::nullopt;
}

// Creates the store's table where missing; false (reported) when it cannot be used.
bool prepareNeededStore(const QString& location, const Sink& err)
{
    QString error;
    QString notice;
    if (prepareStore(location, &error, &notice)) {
        if (!notice.isEmpty())
            err(notice);
        return true;
    }
    err(QStringLiteral("cannot prepare the database %1: %2").arg(shownStoreLocation(location), error));
    return false;
}

int initDb(const Options& o, const Sink& out, const Sink& err)
{
    if (!o.arguments.isEmpty()) {
        err(QStringLiteral("init-db takes no arguments"));
        return kExitUnusable;
    }
    const std::optional<QString> location = chosenLocation(o, err);
    if (!location || !prepareNeededStore(*location, err))
        return kExitUnusable;
    out(QStringLiteral("database ready: %1").arg(shownStoreLocation(*location)));
    return kExitOk;
}

// Opens the store at a location for a command that cannot go on without it;
// reported when there is none to use.
std::optional<OpenedStore> openNeededStore(const QString& location, const Sink& err)
{
    OpenedStore opened = openStore(location);
    switch (opened.state) {
    case OpenedStore::State::Yes:
        if (!opened.notice.isEmpty())
            err(opened.notice);
        return opened;
    case OpenedStore::State::Missing:
        err(opened.error + QStringLiteral(" (%1)").arg(shownStoreLocation(location)));
        err(missingStoreAdvice(location));
        return std::nullopt;
    case OpenedStore::State::Failed:
        err(QStringLiteral("cannot open the database %1: %2").arg(shownStoreLocation(location), opened.error));
        return std::nullopt;
    }
    return std::nullopt;
}

// Copies the stored selections a thousand at a time, in number order, each thousand
// in one transaction of the target; numbers the target holds are skipped, and a row
// the target refuses is reported by its number and left out, the others copied.
// Into a target that holds none, all of them in one transaction when the target
// knows a faster way for that: a failure of a store then leaves it empty.
int copyDb(const Options& o, const Sink& out, const Sink& err)
{
    constexpr int kRowsPerTransaction = 1000;
    if (o.arguments.size() != 1) {
        err(QStringLiteral("copy-db takes the store to copy into"));
        return kExitUnusable;
    }
    const std::optional<QString> sourceLocation = chosenLocation(o, err);
    if (!sourceLocation)
        return kExitUnusable;
    const std::optional<OpenedStore> source = openNeededStore(*sourceLocation, err);
    if (!source)
        return kExitUnusable;
    const QString& targetLocation = o.arguments.front();
    if (const QString problem = locationProblem(targetLocation); !problem.isEmpty()) {
        err(QStringLiteral("copy-db TARGET: %1").arg(problem));
        return kExitUnusable;
    }
    if (!prepareNeededStore(targetLocation, err))
        return kExitUnusable;
    const std::optional<OpenedStore> target = openNeededStore(targetLocation, err);
    if (!target)
        return kExitUnusable;
    SelectionStore& into = *target->store;
    CopyIntoEmpty* bulk = copyIntoEmptyOf(into);
    const StoreResult<bool> intoEmpty = bulk ? bulk->beginCopyIntoEmpty() : StoreResult<bool>(false);
    if (!intoEmpty.ok()) {
        err(dataErrorText(intoEmpty.error().statement, intoEmpty.error().message));
        return kExitLineFailed;
    }
    int read = 0;
    int skipped = 0;
    int failed = 0;
    // what became of rows, as the target tells it: after their page, or later
    const auto report = [&](const StoreResult<InsertOutcome>& stored) {
        if (!stored.ok()) {
            err(dataErrorText(stored.error().statement, stored.error().message));
            return false;
        }
        const InsertOutcome& outcome = stored.value();
        for (const QString& number : outcome.skipped)
            out(JsonLine(QStringLiteral("skipped")).add("SelectionNo", number).text());
        for (const RefusedRow& row : outcome.refused)
            out(JsonLine(QStringLiteral("failed")).add("SelectionNo", row.number).add("reason", row.reason).text());
        skipped += static_cast<int>(outcome.skipped.size());
        failed += static_cast<int>(outcome.refused.size());
        return true;
    };
    QString after;
    for (;;) {
        const StoreResult<std::vector<StoredRow>> page = source->store->readInNumberOrder(after, kRowsPerTransaction);
        if (!page.ok()) {
            if (bulk)
                bulk->endCopyIntoEmpty(false);
            err(queryErrorText(page.error().statement, page.error().message));
            return kExitLineFailed;
        }
        if (page.value().empty())
            break;
        if (!report(into.insertUnlessStored(page.value())))
            return kExitLineFailed;
        read += static_cast<int>(page.value().size());
        after = page.value().back().front();
    }
    if (bulk && !report(bulk->endCopyIntoEmpty(true)))
        return kExitLineFailed;
    const int copied = read - skipped - failed;
    // the selections are in: what became of them is told whatever befalls the projects
    const CopiedProjects projects = copyProjects(*source->store, *target->store, out, err);
    out(JsonLine(QStringLiteral("copied")).add("rows", copied).add("skipped", skipped).add("failed", failed).text());
    return failed > 0 || projects != CopiedProjects::All ? kExitLineFailed : kExitOk;
}

// Stores the old program's selections in the store in use, a thousand rows a
// transaction. Every row is told that is not in the store as read afterwards; a row
// imported before is passed over in silence, so that importing a file again changes
// nothing and says so by its counts.
int importOld(const Options& o, const Sink& out, const Sink& err)
{
    if (o.arguments.size() != 1) {
        err(QStringLiteral("import takes the old program's database: its Access file or a CSV export of its table"));
        return kExitUnusable;
    }
    const QString& path = o.arguments.front();
    const std::optional<QString> location = chosenLocation(o, err);
    if (!location)
        return kExitUnusable;
    QString error;
    const std::unique_ptr<OldSelections> from = OldSelections::open(path, &error);
    if (!from) {
        err(oldSelectionsUnreadable(path, error));
        return kExitUnusable;
    }
    if (!prepareNeededStore(*location, err))
        return kExitUnusable;
    const std::optional<OpenedStore> opened = openNeededStore(*location, err);
    if (!opened)
        return kExitUnusable;
    if (!from->extraColumns().isEmpty())
        err(QStringLiteral("%1 中这些列不属于选型输出表，未导入：%2")
                .arg(path, from->extraColumns().join(QStringLiteral("、"))));
    SelectionImport import(*from, *opened->store);
    int status = kExitOk;
    for (SelectionImport::Step step = SelectionImport::Step::Stored; step == SelectionImport::Step::Stored;) {
        std::vector<ImportReport> reports;
        step = import.step(reports);
        for (const ImportReport& r : reports) {
            out(r.failure
                    ? JsonLine(QStringLiteral("failed")).add("SelectionNo", r.number).add("reason", *r.failure).text()
                    : JsonLine(QStringLiteral("conflict")).add("SelectionNo", r.number).text());
        }
        if (step == SelectionImport::Step::FileFault) {
            err(oldSelectionsUnreadable(path, import.error()));
            status = kExitUnusable;
        } else if (step == SelectionImport::Step::StoreFault) {
            err(import.error());
            status = kExitLineFailed;
        }
    }
    const ImportCounts& counts = import.counts();
    out(JsonLine(QStringLiteral("imported"))
            .add("rows", counts.stored)
            .add("skipped", counts.skipped)
            .add("conflicts", counts.conflicts)
            .add("failed", counts.failed)
            .text());
    return status == kExitOk && !counts.whole() ? kExitLineFailed : status;
}

// Checks the store in use through and repairs what can be made again: one line per
// finding, then the count of what was repaired and what remains.
int checkDb(const Options& o, const Sink& out, const Sink& err)
{
    if (!o.arguments.isEmpty()) {
        err(QStringLiteral("check-db takes no arguments"));
        return kExitUnusable;
    }
    const std::optional<QString> location = chosenLocation(o, err);
    if (!location)
        return kExitUnusable;
    OpenedStore opened = openStore(*location);
    if (opened.state != OpenedStore::State::Yes) {
        err(opened.state == OpenedStore::State::Missing
                ? opened.error + QStringLiteral(" (%1)").arg(shownStoreLocation(*location))
                : QStringLiteral("cannot open the database %1: %2").arg(shownStoreLocation(*location), opened.error));
        return kExitUnusable;
    }
    int repaired = 0;
    int problems = 0;
    for (const StoreFinding& f : checkStore(*opened.store)) {
        out(JsonLine(QStringLiteral("finding"))
                .add("part", f.part)
                .add("text", f.text)
                .add("repaired", f.repaired)
                .text());
        ++(f.repaired ? repaired : problems);
    }
    out(JsonLine(QStringLiteral("checked")).add("repaired", repaired).add("problems", problems).text());
    return problems > 0 ? kExitLineFailed : kExitOk;
}

int sheet(
    const Options& o, const std::function<void(const QString&)>& out, const std::function<void(const QString&)>& err)
{
    QString fault;
    const std::optional<CommandWords> words
        = readCommandWords(o.arguments, {}, {QStringLiteral("--with-calc")}, &fault);
    if (!words || words->plain.size() != 2) {
        err(words ? QStringLiteral("sheet takes a selection number and the PDF to write, and --with-calc for the "
                                   "calculation record")
                  : fault);
        return kExitUnusable;
    }
    const QStringList& arguments = words->plain;
    const bool withCalculation = words->has(QStringLiteral("--with-calc"));
    const std::optional<QString> location = chosenLocation(o, err);
    if (!location)
        return kExitUnusable;
    const std::optional<OpenedStore> opened = openNeededStore(*location, err);
    if (!opened)
        return kExitUnusable;
    const QString& number = arguments[0];
    const StoreResult<std::optional<PrintRow>> row = opened->store->fetchPrintRow(number);
    if (!row.ok()) {
        err(queryErrorText(row.error().statement, row.error().message));
        return kExitLineFailed;
    }
    if (!row.value()) {
        err(notSavedMessage(number));
        return kExitLineFailed;
    }
    const QString date = selectionSheetDate(QDate::currentDate());
    std::optional<CalculationSheet> calculation;
    QString error;
    if (withCalculation) {
        calculation = storedCalculationRecord(*opened->store, number, date, &error);
        if (!calculation) {
            err(error);
            return kExitLineFailed;
        }
    }
    if (!writeSelectionSheetPdf(arguments[1], *row.value(), date, &error, calculation ? &*calculation : nullptr)) {
        err(error);
        return kExitLineFailed;
    }
    out(QStringLiteral("sheet written: %1").arg(arguments[1]));
    return kExitOk;
}

// The key of the model codes, as HTML or as a PDF by the file's suffix.
int codeKeyCommand(
    const Options& o, const std::function<void(const QString&)>& out, const std::function<void(const QString&)>& err)
{
    if (o.arguments.size() != 1) {
        err(QStringLiteral("code-key takes the file to write, OUT.pdf or OUT.html"));
        return kExitUnusable;
    }
    const QString& path = o.arguments[0];
    const QString html = codeKeyHtml(codeKey());
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == u"pdf") {
        QString error;
        if (!writeHtmlPdf(path, html, QStringLiteral("流量计参数代号"), &error)) {
            err(error);
            return kExitLineFailed;
        }
    } else if (suffix == u"html" || suffix == u"htm") {
        if (const QString reason = writeWholeFile(path, html.toUtf8()); !reason.isEmpty()) {
            err(QStringLiteral("流量计参数代号未能保存：%1\n(%2)").arg(path, reason));
            return kExitLineFailed;
        }
    } else {
        err(QStringLiteral("code-key writes OUT.pdf or OUT.html, not '%1'").arg(path));
        return kExitUnusable;
    }
    out(QStringLiteral("code key written: %1").arg(path));
    return kExitOk;
}

int run(
    const Options& o, const std::function<void(const QString&)>& out, const std::function<void(const QString&)>& err)
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
    const std::optional<QString> location = chosenLocation(o, err);
    if (!location)
        return kExitUnusable;
    EventWriter events(out);
    const OpenedStore opened = openStore(*location);
    switch (opened.state) {
    case OpenedStore::State::Yes:
        if (!opened.notice.isEmpty())
            err(opened.notice);
        break;
    case OpenedStore::State::Missing:
        events.plainMessage(opened.error);
        err(missingStoreAdvice(*location));
        break;
    case OpenedStore::State::Failed:
        err(QStringLiteral("cannot open the database %1: %2").arg(shownStoreLocation(*location), opened.error));
        return kExitUnusable;
    }
    Workspace workspace(events, o.today, *opened.store);
    workspace.onWindowShown
        = [&events](SelectionWindow& w) { events.window(w.caption(), w.form().text(Field::SelectionNo)); };
    workspace.onPreview
        = [&events](SelectionWindow& w, const PrintRow&) { events.preview(w.form().text(Field::SelectionNo)); };
    workspace.showMainWindow();
    workspace.activate();
    ScriptRunner runner(workspace, events);
    return runner.run(*script) == 0 ? kExitOk : kExitLineFailed;
}

int batch(
    const Options& o, const std::function<void(const QString&)>& out, const std::function<void(const QString&)>& err)
{
    OpenedStore opened;
    const auto openChosenStore = [&]() -> SelectionStore* {
        const std::optional<QString> location = chosenLocation(o, err);
        if (!location)
            return nullptr;
        opened = openStore(*location);
        switch (opened.state) {
        case OpenedStore::State::Yes:
            if (!opened.notice.isEmpty())
                err(opened.notice);
            return opened.store.get();
        case OpenedStore::State::Missing:
            err(opened.error); // as a run does, the points are selected all the same
            err(missingStoreAdvice(*location));
            return opened.store.get();
        case OpenedStore::State::Failed:
            err(QStringLiteral("cannot open the database %1: %2").arg(shownStoreLocation(*location), opened.error));
            return nullptr;
        }
        return nullptr;
    };
    return runBatchCommand(o.arguments, o.today, openChosenStore, out, err);
}

int project(const Options& o, const Sink& out, const Sink& err)
{
    std::optional<OpenedStore> opened;
    const auto openChosenStore = [&]() -> SelectionStore* {
        const std::optional<QString> location = chosenLocation(o, err);
        if (location)
            opened = openNeededStore(*location, err);
        return opened ? opened->store.get() : nullptr;
    };
    return runProjectCommand(o.arguments, o.today, openChosenStore, out, err);
}

} // namespace

int runFlowselCli(const QStringList& args, const std::function<void(const QString&)>& out,
    const std::function<void(const QString&)>& err)
{
    QString error;
    const Parsed parsed = parseOptions(args, &error);
    if (parsed.help) {
        out(QString::fromUtf8(kUsage));
        return kExitOk;
    }
    if (parsed.version) {
        out(QStringLiteral("flowsel " FLOWSEL_VERSION));
        return kExitOk;
    }
    const std::optional<Options>& o = parsed.options;
    if (!o) {
        err(error);
        err(kUsageHint);
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
    if (o->command == u"copy-db")
        return copyDb(*o, out, err);
    if (o->command == u"import")
        return importOld(*o, out, err);
    if (o->command == u"code-key")
        return codeKeyCommand(*o, out, err);
    if (o->command == u"check-db")
        return checkDb(*o, out, err);
    if (o->command == u"batch")
        return batch(*o, out, err);
    if (o->command == u"project")
        return project(*o, out, err);
    err(QStringLiteral("unknown command '%1'").arg(o->command));
    err(kUsageHint);
    return kExitUnusable;
}
