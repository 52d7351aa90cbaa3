#include <QDir>
#include <QProcess>
#include <QTest>

// Runs every script of the end-to-end folder through flowsel-cli, and through the
// desktop program against its real windows: both must print the same. A script names
// its command-line options in a first line "# args: ..." (default: a fresh
// in-memory database and the date 20261210) and its exit status in "# exit: N"
// (default 0). Its output must equal the file of the same name ending in
// ".expected".
class TestEndToEnd final : public QObject {
    Q_OBJECT

private slots:
    void script_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("program");
        const QDir dir(QStringLiteral(FLOWSEL_E2E_DIR));
        const QStringList scripts = dir.entryList({QStringLiteral("*.flow")}, QDir::Files, QDir::Name);
        QVERIFY(!scripts.isEmpty());
        for (const QString& s : scripts) {
            QTest::addRow("%s, headless", qPrintable(s)) << dir.filePath(s) << QStringLiteral("flowsel-cli");
            QTest::addRow("%s, desktop", qPrintable(s)) << dir.filePath(s) << QStringLiteral("flowsel");
        }
    }

    void script()
    {
        QFETCH(QString, script);
        QFETCH(QString, program);
        QFile file(script);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
        QStringList args = {
            QStringLiteral("--db"), QStringLiteral(":memory:"), QStringLiteral("--today"), QStringLiteral("20261210")};
        int expectedStatus = 0;
        for (const QString& line : lines) {
            if (line.startsWith(QStringLiteral("# args:")))
                args = line.mid(7).split(u' ', Qt::SkipEmptyParts);
            else if (line.startsWith(QStringLiteral("# exit:")))
                expectedStatus = line.mid(7).trimmed().toInt();
        }
        QFile expectedFile(script.left(script.size() - 5) + QStringLiteral(".expected"));
        QVERIFY2(expectedFile.open(QIODevice::ReadOnly), qPrintable(expectedFile.fileName()));
        const QStringList expected = QString::fromUtf8(expectedFile.readAll()).split(u'\n', Qt::SkipEmptyParts);

        QProcess cli;
        cli.setProcessChannelMode(QProcess::SeparateChannels);
        if (program == u"flowsel-cli")
            args << QStringLiteral("run") << script;
        else
            args << QStringLiteral("--script") << script;
        cli.start(QStringLiteral(FLOWSEL_BIN_DIR "/") + program, args);
        QVERIFY(cli.waitForFinished(120000));
        const QStringList actual = QString::fromUtf8(cli.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
        for (qsizetype i = 0; i < std::min(actual.size(), expected.size()); ++i)
            QCOMPARE(actual[i], expected[i]);
        QCOMPARE(actual.size(), expected.size());
        QCOMPARE(cli.exitCode(), expectedStatus);
    }
};

QTEST_GUILESS_MAIN(TestEndToEnd)
#include "tst_e2e.moc"
