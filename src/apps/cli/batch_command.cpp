#include "apps/cli/batch_command.h"

#include "adapters/files/atomic_file.h"
#include "adapters/files/rereadable_file.h"
#include "apps/cli/command_words.h"
#include "apps/cli/project_command.h"
#include "apps/common/batch_selection.h"
#include "apps/common/csv_reader.h"
#include "apps/common/exit_status.h"
#include "apps/common/results_file.h"
#include "apps/common/store_choice.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QIODevice>

#include <cstdio>
#include <optional>
#include <unistd.h>

namespace {

struct BatchArguments {
    QString points;
    QString out;
    QString candidates;
    bool save = false;
    QString project; // with --save: the project every saved point joins
};

std::optional<BatchArguments> batchArguments(const QStringList& arguments, QString* fault)
{
    const QString out = QStringLiteral("--out");
    const QString candidates = QStringLiteral("--candidates");
    const QString project = QStringLiteral("--project");
    const std::optional<CommandWords> w
        = readCommandWords(arguments, {out, candidates, project}, {QStringLiteral("--save")}, fault);
    if (!w)
        return std::nullopt;
    BatchArguments a;
    a.save = w->has(QStringLiteral("--save"));
    a.out = w->value(out);
    a.candidates = w->value(candidates);
    a.project = w->value(project);
    if (w->hasValue(project) && a.project.isEmpty()) {
        *fault = QStringLiteral("--project needs the project's number");
        return std::nullopt;
    }
    if (w->hasValue(out) && a.out.isEmpty()) {
        *fault = QStringLiteral("--out needs the results file to write");
        return std::nullopt;
    }
    if (w->hasValue(candidates) && a.candidates.isEmpty()) {
        *fault = QStringLiteral("--candidates needs the candidates file to write");
        return std::nullopt;
    }
    if (w->plain.size() > 1) {
        *fault = QStringLiteral("batch takes POINTS.csv [--out RESULTS.csv] [--save [--project P]] "
                                "[--candidates CANDIDATES.csv], not '%1'")
                     .arg(w->plain[1]);
        return std::nullopt;
    }
    if (!a.project.isEmpty() && !a.save) {
        *fault = QStringLiteral("--project P attaches the saved points to P: it needs --save");
        return std::nullopt;
    }
    if (w->plain.isEmpty() || w->plain[0].isEmpty()) {
        *fault = QStringLiteral("batch needs the points file, POINTS.csv");
        return std::nullopt;
    }
    a.points = w->plain[0];
    return a;
}

// "batch: 1200 of 10000 points" once a second, over itself, on a terminal only.
class Progress {
public:
    explicit Progress(qint64 total)
        : m_total(total)
        , m_shown(isatty(fileno(stderr)) == 1)
    {
        m_clock.start();
    }
    ~Progress()
    {
        if (m_shown && m_told)
            std::fputs("\n", stderr);
    }

    void done(qint64 points)
    {
        if (!m_shown || m_clock.elapsed() < 1000)
            return;
        m_clock.restart();
        m_told = true;
        std::fprintf(
            stderr, "\rbatch: %lld of %lld points", static_cast<long long>(points), static_cast<long long>(m_total));
        std::fflush(stderr);
    }

private:
    qint64 m_total;
    bool m_shown;
    bool m_told = false;
    QElapsedTimer m_clock;
};

} // namespace

int runBatchCommand(const QStringList& arguments, const QString& today,
    const std::function<SelectionStore*()>& openStore, const std::function<void(const QString&)>& out,
    const std::function<void(const QString&)>& err)
{
    QString fault;
    const std::optional<BatchArguments> a = batchArguments(arguments, &fault);
    if (!a) {
        err(fault);
        return kExitUnusable;
    }
    const std::unique_ptr<QIODevice> points = openRereadable(a->points, &fault);
    if (!points) {
        err(QStringLiteral("无法读取测点文件 %1：%2").arg(a->points, fault));
        return kExitUnusable;
    }
    qint64 total = 0;
    TextEncoding encoding = TextEncoding::Utf8;
    const std::optional<BatchColumns> columns = checkPointsFile(*points, a->points, &total, &encoding, &fault);
    if (!columns) {
        err(fault);
        return kExitUnusable;
    }
    if (!points->seek(0)) {
        err(QStringLiteral("无法再次读取测点文件 %1：%2").arg(a->points, points->errorString()));
        return kExitUnusable;
    }
    SelectionStore* store = openStore();
    if (!store)
        return kExitUnusable;
    std::optional<BatchProject> project;
    if (!a->project.isEmpty()) {
        project = BatchProject::open(*store, a->project, err);
        if (!project)
            return kExitUnusable;
    }
    if (const QString clash = batchFilesClash(a->points, storeFile(*store), a->out, a->candidates); !clash.isEmpty()) {
        err(clash);
        return kExitUnusable;
    }

    AtomicFile file(a->out);
    if (!a->out.isEmpty() && !file.open()) {
        err(resultsFileWriteFault(a->out, file.errorString()));
        return kExitUnusable;
    }
    const auto writeLine = [&](const QString& line) {
        if (a->out.isEmpty())
            out(line);
        else
            file.write(line.toUtf8() + '\n');
    };
    // a byte-order mark, so that spreadsheet programs read the Chinese text as UTF-8
    writeLine(QChar(0xFEFF) + batchCsvLine(BatchSelector::resultHeader()));
    AtomicFile candidates(a->candidates);
    if (!a->candidates.isEmpty()) {
        if (!candidates.open()) {
            err(candidatesFileWriteFault(a->candidates, candidates.errorString()));
            return kExitUnusable;
        }
        candidates.write((QChar(0xFEFF) + batchCsvLine(candidatesHeader()) + u'\n').toUtf8());
    }
    const auto writeCandidate
        = [&](const QStringList& cells) { candidates.write((batchCsvLine(cells) + u'\n').toUtf8()); };

    BatchSelector selector(*store, today);
    selector.setCandidatesWanted(!a->candidates.isEmpty());
    CsvReader reader(*points, encoding);
    QStringList cells;
    reader.next(cells); // the header, checked above
    BatchCounts counts;
    {
        Progress progress(total);
        while (reader.next(cells) == CsvReader::Next::Record) {
            const BatchResult result = selector.select(*columns, cells, a->save);
            counts.count(result);
            if (project && !result.savedAs.isEmpty())
                project->attach(result.cells.value(0), result.savedAs);
            writeLine(batchCsvLine(result.cells));
            candidateLines(result, writeCandidate);
            progress.done(counts.points());
        }
    }
    // Once points were selected the run is no longer "not started", whatever befalls
    // its files: what was saved is told, and each file is written if it can be.
    QStringList unwritten;
    if (!a->out.isEmpty() && !file.commit()) {
        err(resultsFileWriteFault(a->out, file.errorString()));
        unwritten << QStringLiteral("结果文件未写入：%1").arg(a->out);
    }
    if (!a->candidates.isEmpty() && !candidates.commit()) {
        err(candidatesFileWriteFault(a->candidates, candidates.errorString()));
        unwritten << QStringLiteral("规格比较文件未写入：%1").arg(a->candidates);
    }
    QString summary = counts.summary(encoding);
    if (!unwritten.isEmpty())
        summary += QStringLiteral("；已保存 %1，%2").arg(counts.saved).arg(unwritten.join(u'，'));
    err(summary);
    const bool attached = !project || project->allAttached();
    return counts.allDone() && attached && unwritten.isEmpty() ? kExitOk : kExitLineFailed;
}
