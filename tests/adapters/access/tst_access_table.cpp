#include "adapters/access/access_child.h"
#include "adapters/access/access_table.h"
#include "support/access_files.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

// Reading a table of an Access file, in this process and in a child process as the
// programs read it; the files are made by the tests' own generator.
namespace {

const QString kTable = QStringLiteral("选型输出");

using Reader = std::function<std::unique_ptr<AccessRows>(const QString&, const QString&, QString*)>;

Reader readerOf(const QString& where)
{
    if (where == u"in process")
        return readAccessTable;
    setAccessChildProgram(where == u"in a child" ? QStringLiteral(ACCESS_CHILD) : QStringLiteral(ACCESS_CHILD_ASAN));
    return readAccessTableInChild;
}

void addReaders()
{
    QTest::addColumn<QString>("where");
    QTest::newRow("in process") << "in process";
    QTest::newRow("in a child") << "in a child";
}

// Every row of a table, or the reason it could not be read.
struct Read {
    std::vector<AccessColumn> columns;
    std::vector<QStringList> rows;
    qint64 counted = -1;
    QString error;
};

Read readAll(const Reader& reader, const QString& path, const QString& table = kTable)
{
    Read read;
    const std::unique_ptr<AccessRows> rows = reader(path, table, &read.error);
    if (!rows)
        return read;
    read.columns = rows->columns();
    read.counted = rows->rowCount();
    QStringList values;
    for (;;) {
        switch (rows->next(values)) {
        case AccessRows::Next::Row: read.rows.push_back(values); continue;
        case AccessRows::Next::End: return read;
        case AccessRows::Next::Fault: read.error = rows->fault(); return read;
        }
    }
}

} // namespace

class TestAccessTable final : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_small; // two thousand rows on some forty pages: its usage maps kept in their rows

    QString path(const QString& name) const { return m_dir.filePath(name); }

private slots:
    void initTestCase()
    {
        std::vector<QStringList> records {{"选型编号", "仪表型号规格", "使用介质"}};
        for (int i = 0; i < 2000; ++i)
            records.push_back({QStringLiteral("2019%1").arg(i, 7, 10, QChar(u'0')), QStringLiteral("TBQM-%1").arg(i),
                QStringLiteral("城市天然气")});
        m_small = path(QStringLiteral("small.mdb"));
        QVERIFY(makeAccessFile(m_small, records));
    }

    void cleanup() { setAccessChildProgram(QString()); }

    // Each value comes back as Jet keeps it: Chinese and Latin-1 text, compressed or
    // not, characters CSV quotes, line ends, a NUL and other control characters, 255
    // characters; an empty value is empty and NULL is the null string.
    void valuesComeBackAsStored_data() { addReaders(); }

    void valuesComeBackAsStored()
    {
        QFETCH(QString, where);
        const std::vector<QStringList> records {{"选型编号", "参比条件", "备注"},
            {"20261210001", "燃烧参比条件:温度20℃，压力101.325kPa", "TBQM-G65 DN80"},
            {"20261210002", "Ølø µm", QStringLiteral("a \"b\", c\r\nd\te") + QChar(u'\0') + QStringLiteral("f\x01")},
            {"20261210003", QString(255, u'涡'), ""}, {"20261210004", "A", QString(255, u'G')}};
        const QString file = path(QStringLiteral("values.mdb"));
        QVERIFY(makeAccessFile(file, records, {QStringLiteral("--null-empty")}));
        const Read read = readAll(readerOf(where), file);
        QVERIFY2(read.error.isEmpty(), qPrintable(read.error));
        QCOMPARE(read.columns.size(), size_t(3));
        QCOMPARE(read.columns[2].name, QStringLiteral("备注"));
        QVERIFY(read.columns[2].text);
        QCOMPARE(read.counted, 4);
        std::vector<QStringList> expected(records.begin() + 1, records.end());
        QVERIFY(read.rows == expected);
        QVERIFY(read.rows[2][2].isNull()); // the empty cell, written as NULL
        QVERIFY(!read.rows[1][2].isNull());
    }

    // A value holding half of a surrogate pair is handed on as it is, for the import to
    // refuse; a decoder would have put something else in its place.
    void unpairedSurrogateIsKept()
    {
        const QString file = path(QStringLiteral("surrogate.mdb"));
        QVERIFY(makeAccessFile(file, {{"选型编号", "使用介质"}, {"20261210001", "甲乙丙"}}));
        QByteArray bytes = fileBytes(file);
        const QString value = QStringLiteral("甲乙丙"); // kept as UCS-2, two bytes a character
        const qsizetype at = bytes.indexOf(QByteArray(reinterpret_cast<const char*>(value.utf16()), value.size() * 2));
        QVERIFY(at > 0);
        bytes[at + 2] = '\x00'; // 乙 becomes a high surrogate without its pair
        bytes[at + 3] = '\xd8';
        QVERIFY(writeBytes(file, bytes));
        const Read read = readAll(readAccessTable, file);
        QVERIFY2(read.error.isEmpty(), qPrintable(read.error));
        QCOMPARE(read.rows.front()[1], QStringLiteral("甲") + QChar(0xd800) + QStringLiteral("丙"));
    }

    // A table on more pages than a usage map kept in its row covers (its map lists the
    // pages of maps) is read whole.
    void tableOnManyPages_data() { addReaders(); }

    void tableOnManyPages()
    {
        QFETCH(QString, where);
        const QString file = path(QStringLiteral("many.mdb"));
        if (!QFile::exists(file)) {
            std::vector<QStringList> records {{"选型编号", "产品名称", "参比条件"}};
            for (int i = 0; i < 4000; ++i) {
                const QString wide = QStringLiteral("气体涡轮流量计%1").arg(i).repeated(12);
                records.push_back({QString::number(20130509001LL + i), wide, wide});
            }
            QVERIFY(makeAccessFile(file, records));
            QVERIFY(QFileInfo(file).size() > 512 * 4096);
        }
        const Read read = readAll(readerOf(where), file);
        QVERIFY2(read.error.isEmpty(), qPrintable(read.error));
        QCOMPARE(read.rows.size(), size_t(4000));
        QCOMPARE(read.rows.back()[0], QStringLiteral("20130513000"));
        QCOMPARE(read.rows.back()[2], QStringLiteral("气体涡轮流量计3999").repeated(12));
    }

    void missingTableIsNamed_data() { addReaders(); }

    void missingTableIsNamed()
    {
        QFETCH(QString, where);
        const Read read = readAll(readerOf(where), m_small, QStringLiteral("其他"));
        QCOMPARE(read.error, QStringLiteral("文件中没有表“其他”"));
    }

    // A file cut short, of another kind, or whose pages point beyond its end is
    // refused with the reason before libmdb follows the pages.
    void damagedFilesAreRefused_data()
    {
        QTest::addColumn<QString>("where");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason");
        for (const char* where : {"in process", "in a child"}) {
            for (const DamagedFile& d : damagedAccessFiles(fileBytes(m_small), kTable))
                QTest::addRow("%s, %s", qPrintable(d.name), where) << QString::fromLatin1(where) << d.bytes << d.reason;
        }
    }

    void damagedFilesAreRefused()
    {
        QFETCH(QString, where);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        const QString file = path(QStringLiteral("damaged.mdb"));
        QVERIFY(writeBytes(file, bytes));
        const Read read = readAll(readerOf(where), file);
        QVERIFY2(read.error.contains(reason), qPrintable(read.error));
        QVERIFY(read.rows.empty());
    }

    // The reader built with AddressSanitizer reads every damaged file to its reason,
    // and the good one to its end, without touching memory it must not.
    void damagedFilesUnderAddressSanitizer()
    {
        const Reader asan = readerOf(QStringLiteral("under AddressSanitizer"));
        const QByteArray good = fileBytes(m_small);
        const QString file = path(QStringLiteral("checked.mdb"));
        for (const DamagedFile& d : damagedAccessFiles(good, kTable)) {
            QVERIFY(writeBytes(file, d.bytes));
            const Read read = readAll(asan, file);
            QVERIFY2(read.error.contains(d.reason), qPrintable(d.name + QStringLiteral(": ") + read.error));
        }
        const Read read = readAll(asan, m_small);
        QVERIFY2(read.error.isEmpty(), qPrintable(read.error));
        QCOMPARE(read.rows.size(), size_t(2000));
    }

    // A reader that dies on a file is a reason the parent tells, not its own end.
    void aReaderThatCrashesIsTold()
    {
        const QString crashing = path(QStringLiteral("crashing-reader"));
        QVERIFY(writeBytes(crashing, "#!/bin/sh\necho 'reading page 7' >&2\nkill -SEGV $$\n"));
        QVERIFY(QFile::setPermissions(crashing, QFile::ReadOwner | QFile::ExeOwner));
        setAccessChildProgram(crashing);
        QString error;
        QVERIFY(!readAccessTableInChild(m_small, kTable, &error));
        QCOMPARE(error, QStringLiteral("读取程序在读取时崩溃，文件可能已损坏：reading page 7"));
    }
};

QTEST_GUILESS_MAIN(TestAccessTable)
#include "tst_access_table.moc"
