#pragma once

#include <QCryptographicHash>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTest>
#include <QtEndian>

#include <vector>

// Access files for the import's tests, made here by our own generator,
// tests/support/make-access-file, from CSV the test writes: no file of another
// program is kept or read, but the one Access made itself (accessMadeFile()).

// Records as CSV (UTF-8), every cell quoted as RFC 4180 quotes it.
inline QByteArray csvText(const std::vector<QStringList>& records)
{
    QByteArray text;
    for (const QStringList& record : records) {
        QStringList cells;
        for (QString cell : record)
            cells << u'"' + cell.replace(u'"', QStringLiteral("\"\"")) + u'"';
        text += cells.join(u',').toUtf8() + "\r\n";
    }
    return text;
}

inline QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QByteArray sha256Of(const QString& path)
{
    return QCryptographicHash::hash(fileBytes(path), QCryptographicHash::Sha256).toHex();
}

// Writes the records (the first the column names) as an Access file at `out`, its CSV
// beside it; `options` are the generator's (--table NAME, --null-empty). False, the
// test failed with the generator's words, when it could not.
inline bool makeAccessFile(const QString& out, const std::vector<QStringList>& records, const QStringList& options = {})
{
    const QString csv = out + QStringLiteral(".csv");
    if (!writeBytes(csv, csvText(records))) {
        QTest::qFail(qPrintable(QStringLiteral("cannot write %1").arg(csv)), __FILE__, __LINE__);
        return false;
    }
    QProcess make;
    make.start(QStringLiteral("/usr/bin/python3"),
        QStringList {QStringLiteral(FLOWSEL_SOURCE_DIR "/tests/support/make-access-file"), csv, out} + options);
    if (!make.waitForFinished(300000) || make.exitCode() != 0) {
        QTest::qFail(
            qPrintable(
                QStringLiteral("make-access-file failed: %1").arg(QString::fromUtf8(make.readAllStandardError()))),
            __FILE__, __LINE__);
        return false;
    }
    return true;
}

// A file the generator made, damaged one way, and the words the reason must hold.
struct DamagedFile {
    QString name;
    QByteArray bytes;
    QString reason;
};

// The ways an old file is found damaged or of another kind, made from a good file of
// the generator holding the table `table` (pages laid out as it lays them out: the
// catalog's rows on page 3, the table's definition on page 4, the usage maps on page 1).
inline std::vector<DamagedFile> damagedAccessFiles(const QByteArray& good, const QString& table)
{
    constexpr qsizetype kPage = 4096;
    const auto u16 = [](const QByteArray& b, qsizetype at) { return qFromLittleEndian<quint16>(b.constData() + at); };
    const auto patched = [&good](qsizetype at, quint32 value) {
        QByteArray bytes = good;
        qToLittleEndian<quint32>(value, bytes.data() + at);
        return bytes;
    };
    // where a row begins on a data page (its offset without the flags)
    const auto rowAt
        = [&](qsizetype page, int row) { return page * kPage + (u16(good, page * kPage + 14 + 2 * row) & 0x1fff); };
    const qsizetype pages = good.size() / kPage;
    QByteArray jet3 = good;
    jet3[0x14] = 0;
    QByteArray ace2 = good;
    ace2[0x14] = 2;
    QByteArray aceName = good;
    aceName.replace(4, 16, QByteArrayView("Standard ACE DB\0", 16).toByteArray());
    const QString beyond = QStringLiteral("而文件只有%1页").arg(pages);
    return {
        {QStringLiteral("cut to 1 byte"), good.left(1), QStringLiteral("不是Access数据库文件")},
        {QStringLiteral("cut to 100 bytes"), good.left(100), QStringLiteral("文件不完整（可能被截断）：100字节")},
        {QStringLiteral("cut to one page"), good.left(kPage), QStringLiteral("文件不完整（可能被截断）：只有1页")},
        {QStringLiteral("cut to 8191 bytes"), good.left(2 * kPage - 1),
            QStringLiteral("文件不完整（可能被截断）：8191字节")},
        {QStringLiteral("cut to half its pages"), good.left(pages / 2 * kPage),
            QStringLiteral("表“%1”的数据页位图列出了第%2页，而文件只有%2页").arg(table).arg(pages / 2)},
        {QStringLiteral("a text file"), QByteArray("选型编号,仪表型号规格\r\n20261210001,TBQM\r\n"),
            QStringLiteral("不是Access数据库文件")},
        {QStringLiteral("Jet 3"), jet3, QStringLiteral("Jet 3格式（Access 97）")},
        {QStringLiteral("ACE version"), ace2, QStringLiteral("ACE格式（Access 2007及以后，.accdb）")},
        {QStringLiteral("ACE signature"), aceName, QStringLiteral("ACE格式（Access 2007及以后，.accdb）")},
        {QStringLiteral("catalog's next page beyond the end"), patched(2 * kPage + 4, 0x7fffffff),
            QStringLiteral("系统目录（MSysObjects）的表定义指向第2147483647页，") + beyond},
        // the Id of the table's row in the catalog: its definition's page
        {QStringLiteral("table's definition beyond the end"), patched(rowAt(3, 1) + 2, 99999),
            QStringLiteral("表“%1”的表定义指向第99999页，").arg(table) + beyond},
        {QStringLiteral("table's usage map beyond the end"), patched(4 * kPage + 55, 99999 << 8 | 3),
            QStringLiteral("表“%1”的数据页位图指向第99999页，").arg(table) + beyond},
        // the first page of the map kept in its row (the generator's table map is row 3 of page 1)
        {QStringLiteral("table's data pages beyond the end"), patched(rowAt(1, 3) + 1, 99990),
            QStringLiteral("表“%1”的数据页位图列出了第99990页，").arg(table) + beyond},
    };
}
