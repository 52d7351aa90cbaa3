#include "adapters/files/rereadable_file.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

// A points file that can be read only once, fed through a FIFO, is copied into the
// temporary folder up to a limit; a longer one is refused and its copy removed.
class TestRereadableFile final : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        m_oldTmpdir = qgetenv("TMPDIR");
        QVERIFY(m_temp.isValid());
        qputenv("TMPDIR", QFile::encodeName(m_temp.path()));
    }

    void cleanup() { qputenv("TMPDIR", m_oldTmpdir); }

    void streamUpToTheLimit_data()
    {
        QTest::addColumn<qint64>("fed");
        QTest::addColumn<qint64>("limit");
        QTest::addColumn<bool>("read");
        const qint64 mib = 1024 * 1024;
        QTest::newRow("half the limit") << mib / 2 << mib << true;
        QTest::newRow("exactly the limit") << mib << mib << true;
        QTest::newRow("one byte over") << mib + 1 << mib << false;
        QTest::newRow("twice the limit") << 2 * mib << mib << false;
        QTest::newRow("nothing allowed, nothing fed") << qint64(0) << qint64(0) << true;
        QTest::newRow("nothing allowed") << qint64(1) << qint64(0) << false;
    }

    void streamUpToTheLimit()
    {
        QFETCH(qint64, fed);
        QFETCH(qint64, limit);
        QFETCH(bool, read);
        QTemporaryDir dir(m_files.filePath(QStringLiteral("XXXXXX")));
        QByteArray content(fed, Qt::Uninitialized);
        for (qint64 i = 0; i < fed; ++i)
            content[i] = static_cast<char>('a' + i % 23);
        const QString source = dir.filePath(QStringLiteral("points.csv"));
        QFile f(source);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QCOMPARE(f.write(content), fed);
        f.close();
        const QString fifo = dir.filePath(QStringLiteral("points"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QProcess writer;
        writer.start(QStringLiteral("sh"), {"-c", "cat \"$0\" > \"$1\"", source, fifo});
        QVERIFY(writer.waitForStarted());

        QString error;
        std::unique_ptr<QIODevice> device = openRereadable(fifo, &error, limit);
        QVERIFY(writer.waitForFinished(60000));
        if (read) {
            QVERIFY2(device, qPrintable(error));
            QCOMPARE(device->readAll(), content);
            QVERIFY(device->seek(0));
            QCOMPARE(device->readAll(), content); // the second time through
            device.reset();
        } else {
            QVERIFY(!device);
            QVERIFY2(error.startsWith(QStringLiteral("内容超过 ")) && error.contains(QStringLiteral("无法读入")),
                qPrintable(error));
            QVERIFY2(error.contains(QDir::toNativeSeparators(m_temp.path())), qPrintable(error));
        }
        QCOMPARE(QDir(m_temp.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
    }

    // A file is read where it is, however large: the limit is the copy's only.
    void fileIsNotCopied()
    {
        QTemporaryDir dir(m_files.filePath(QStringLiteral("XXXXXX")));
        const QString path = dir.filePath(QStringLiteral("points.csv"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QCOMPARE(f.write(QByteArray(4096, 'x')), 4096);
        f.close();
        QString error;
        const std::unique_ptr<QIODevice> device = openRereadable(path, &error, 10);
        QVERIFY2(device, qPrintable(error));
        QCOMPARE(device->size(), 4096);
        QCOMPARE(QDir(m_temp.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
    }

private:
    // made before TMPDIR points at m_temp: only the copies go there
    QTemporaryDir m_files;
    QTemporaryDir m_temp;
    QByteArray m_oldTmpdir;
};

QTEST_GUILESS_MAIN(TestRereadableFile)
#include "tst_rereadable_file.moc"
