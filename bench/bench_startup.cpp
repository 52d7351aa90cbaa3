// The two programs started as engineers start them, on an empty store and on a
// million stored selections: `flowsel-cli --db FILE run EMPTY` and
// `flowsel --db FILE --script EMPTY` (offscreen, to its first window), each a process
// of its own; the time is the process's CPU time (user + system), and peak_rss_MB its
// peak resident memory. Also a script of 5,000 selections in one window, whose cost
// per selection is its CPU time less that of the empty script.
//   FLOWSEL_BENCH_DIR=/var/tmp/flowsel-bench build/bench/bench_startup --benchmark_repetitions=5
#include "sample_database.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <string>
#include <vector>

extern char** environ;

namespace {

struct Usage {
    double cpuSeconds = 0;
    double peakRssMb = 0;
    int status = -1;
};

// Runs a program to its end with its output thrown away.
Usage runProcess(const std::vector<std::string>& args)
{
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    Usage usage;
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        return usage;
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    rusage r {};
    if (wait4(pid, &status, 0, &r) != pid)
        return usage;
    usage.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    usage.cpuSeconds = r.ru_utime.tv_sec + r.ru_utime.tv_usec * 1e-6 + r.ru_stime.tv_sec + r.ru_stime.tv_usec * 1e-6;
    usage.peakRssMb = r.ru_maxrss / 1024.0;
    return usage;
}

QString scriptFile(const QString& name, const QString& text)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(text.toUtf8());
    return path;
}

QString emptyScript()
{
    return scriptFile(QStringLiteral("empty.flow"), QString());
}

std::vector<std::string> command(bool desktop, const QString& db, const QString& script)
{
    const std::string bin = FLOWSEL_BIN_DIR;
    if (desktop)
        return {bin + "/flowsel", "--db", db.toStdString(), "--today", "20261210", "--script", script.toStdString()};
    return {bin + "/flowsel-cli", "--db", db.toStdString(), "--today", "20261210", "run", script.toStdString()};
}

void measure(benchmark::State& state, const std::vector<std::string>& args)
{
    double peak = 0;
    for (auto _ : state) {
        const Usage u = runProcess(args);
        if (u.status < 0) {
            state.SkipWithError("the program did not run");
            return;
        }
        state.SetIterationTime(u.cpuSeconds);
        peak = std::max(peak, u.peakRssMb);
    }
    state.counters["peak_rss_MB"] = peak;
}

// range(0): 0 flowsel-cli, 1 flowsel; range(1): stored rows.
void startUp(benchmark::State& state)
{
    const bool desktop = state.range(0) == 1;
    const QString db = sampleDatabase(static_cast<int>(state.range(1)));
    state.SetLabel(desktop ? "flowsel" : "flowsel-cli");
    measure(state, command(desktop, db, emptyScript()));
    state.counters["rows"] = static_cast<double>(state.range(1));
}
BENCHMARK(startUp)
    ->ArgsProduct({{0, 1}, {0, 1000000}})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

// 5,000 selections in one window through flowsel-cli; the counter is the CPU time
// per selection with the start-up (the empty script's median) taken off.
void selectionsInOneWindow(benchmark::State& state)
{
    const int selections = static_cast<int>(state.range(0));
    QString text = QStringLiteral("paste PabsMax 600\npaste Hs 38\n");
    for (int i = 0; i < selections; ++i) {
        const int qmin = 10 + i % 40;
        text += QStringLiteral("paste StdFlowMin %1\npaste StdFlowMax %2\nclick 计算工况流量\nclick 选型\n")
                    .arg(qmin)
                    .arg(qmin * 10 + i % 7);
    }
    const QString script = scriptFile(QStringLiteral("selections.flow"), text);
    const QString db = QStringLiteral(":memory:");
    std::vector<double> empty;
    for (int i = 0; i < 5; ++i)
        empty.push_back(runProcess(command(false, db, emptyScript())).cpuSeconds);
    std::sort(empty.begin(), empty.end());
    double total = 0;
    for (auto _ : state) {
        const Usage u = runProcess(command(false, db, script));
        state.SetIterationTime(u.cpuSeconds);
        total += u.cpuSeconds;
    }
    state.counters["startup_ms"] = empty[2] * 1e3;
    state.counters["per_selection_us"] =
        (total / static_cast<double>(state.iterations()) - empty[2]) / selections * 1e6;
}
BENCHMARK(selectionsInOneWindow)->Arg(5000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
