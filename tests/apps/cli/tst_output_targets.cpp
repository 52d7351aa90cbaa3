#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

// Every file the command line writes, written to places that are no new regular file:
// a device and a named pipe are written in place and stay what they are (as root,
// /dev/null was once replaced by a regular file), a link is written through, a folder
// is refused, and /dev/stdout is the program's standard output.
namespace {

const QString kCli = QStringLiteral(FLOWSEL_BIN_DIR "/flowsel-cli");

mode_t kindOf(const QString& path)
{
    struct stat st { };
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? (st.st_mode & S_IFMT) : 0;
}

bool devNullIsADevice()
{
    struct stat st { };
    return ::stat("/dev/null", &st) == 0 && S_ISCHR(st.st_mode) && major(st.st_rdev) == 1 && minor(st.st_rdev) == 3;
}

QByteArray contentOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestOutputTargets final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_db = m_dir.filePath(QStringLiteral("store.mdb"));
        QCOMPARE(QProcess::execute(kCli, {"--db", m_db, "init-db"}), 0);
        QProcess run;
        run.start(kCli, {"--db", m_db, "--today", "20261210", "run", "-"});
        run.write("type StdFlowMin 10\ntype StdFlowMax 100\nclick 计算工况流量\nclick 选型\nclick 保存\n");
        run.closeWriteChannel();
        QVERIFY(run.waitForFinished(60000));
        QCOMPARE(run.exitCode(), 0);
        QProcess project;
        project.start(kCli, {"--db", m_db, "--today", "20261210", "project", "new", "城东门站"});
        QVERIFY(project.waitForFinished(60000));
        QCOMPARE(project.readAllStandardOutput().trimmed(), QByteArray("XM20261210001"));
        QCOMPARE(QProcess::execute(kCli, {"--db", m_db, "project", "add", "XM20261210001", "FT-1", "20261210001"}), 0);
        m_points = m_dir.filePath(QStringLiteral("points.csv"));
        QFile points(m_points);
        QVERIFY(points.open(QIODevice::WriteOnly));
        points.write("Id,Medium,StdFlowMin,StdFlowMax\np1,城市天然气或城市煤气,10,100\n");
    }

    void outputs_data()
    {
        QTest::addColumn<QStringList>("command"); // TARGET stands for the place written
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<QByteArray>("begins");
        QTest::addColumn<QString>("target");
        struct Output {
            const char* name;
            QStringList command;
            const char* suffix;
            QByteArray begins;
        };
        const QString p = QStringLiteral("XM20261210001");
        const QList<Output> outputs = {
            {"sheet", {"sheet", "20261210001", "TARGET"}, "pdf", "%PDF"},
            {"sheet and record", {"sheet", "20261210001", "TARGET", "--with-calc"}, "pdf", "%PDF"},
            {"code key, PDF", {"code-key", "TARGET"}, "pdf", "%PDF"},
            {"code key, HTML", {"code-key", "TARGET"}, "html", "<"},
            {"batch results", {"batch", "POINTS", "--out", "TARGET"}, "csv", "\xEF\xBB\xBF"},
            {"batch candidates", {"batch", "POINTS", "--candidates", "TARGET"}, "csv", "\xEF\xBB\xBF"},
            {"project sheet", {"project", "sheet", p, "TARGET"}, "pdf", "%PDF"},
            {"project workbook", {"project", "export", p, "TARGET"}, "xlsx", "PK"},
        };
        for (const Output& o : outputs) {
            for (const char* target : {"device", "fifo", "link", "folder", "stdout"}) {
                // the code key's kind is told by the name, which /dev/stdout does not tell
                if (o.command.first() == u"code-key" && qstrcmp(target, "stdout") == 0)
                    continue;
                QTest::addRow("%s, %s", o.name, target) << o.command << o.suffix << o.begins << target;
            }
        }
    }

    void outputs()
    {
        QFETCH(QStringList, command);
        QFETCH(QString, suffix);
        QFETCH(QByteArray, begins);
        QFETCH(QString, target);
        QTemporaryDir dir;
        const QString place
            = target == u"stdout" ? QStringLiteral("/dev/stdout") : dir.filePath(QStringLiteral("out.") + suffix);
        const QByteArray placePath = QFile::encodeName(place);
        const QString linked = dir.filePath(QStringLiteral("linked.") + suffix);
        if (target == u"device") {
            if (::geteuid() != 0)
                QSKIP("making a device node needs root; CI runs as root");
            QCOMPARE(::mknod(placePath.constData(), S_IFCHR | 0644, makedev(1, 3)), 0);
        } else if (target == u"fifo") {
            QCOMPARE(::mkfifo(placePath.constData(), 0644), 0);
        } else if (target == u"link") {
            QVERIFY(QFile::link(linked, place));
        } else if (target == u"folder") {
            QVERIFY(QDir().mkpath(place));
        }
        const mode_t before = target == u"stdout" ? 0 : kindOf(place);

        // a named pipe is read as the program writes it
        QProcess reader;
        const QString captured = dir.filePath(QStringLiteral("captured"));
        if (target == u"fifo") {
            // the shell opens the pipe once it runs, so that starting it does not wait for the writer
            reader.start(QStringLiteral("sh"), {"-c", "exec cat \"$0\" > \"$1\"", place, captured});
            QVERIFY(reader.waitForStarted());
        }
        QStringList args = {"--db", m_db, "--today", "20261210"};
        for (const QString& word : command)
            args << (word == u"TARGET" ? place : word == u"POINTS" ? m_points : word);
        QProcess cli;
        cli.start(kCli, args);
        QVERIFY(cli.waitForFinished(120000));
        const QByteArray out = cli.readAllStandardOutput();
        const QString err = QString::fromUtf8(cli.readAllStandardError());
        if (target == u"fifo")
            QVERIFY(reader.waitForFinished(60000));

        QVERIFY2(devNullIsADevice(), "/dev/null is no longer the system's null device");
        if (target == u"folder") {
            // batch had not started any point: a command line that cannot be used
            QCOMPARE(cli.exitCode(), command.first() == u"batch" ? 2 : 1);
            QVERIFY2(err.contains(QStringLiteral("这是一个文件夹")), qPrintable(err));
            QCOMPARE(kindOf(place), mode_t(S_IFDIR));
            QVERIFY(QDir(place).isEmpty());
            return;
        }
        QVERIFY2(cli.exitCode() == 0, qPrintable(err));
        if (target != u"stdout")
            QCOMPARE(kindOf(place), before);
        if (target == u"fifo")
            QVERIFY(contentOf(captured).startsWith(begins));
        if (target == u"link")
            QVERIFY(contentOf(linked).startsWith(begins));
        if (target == u"stdout")
            QVERIFY2(out.startsWith(begins), out.left(200).constData());
        QCOMPARE(QDir(dir.path())
                     .entryList(QDir::Hidden | QDir::Files | QDir::System | QDir::NoDotAndDotDot)
                     .filter(QStringLiteral(".flowsel-")),
            QStringList());
    }

private:
    QTemporaryDir m_dir;
    QString m_db;
    QString m_points;
};

QTEST_MAIN(TestOutputTargets)
#include "tst_output_targets.moc"
