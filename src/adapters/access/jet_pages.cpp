#include "adapters/access/jet_pages.h"

#include "adapters/access/access_file.h"

#include <QSet>
#include <QtEndian>

#include <array>

namespace {

// The layout of Jet 4.0 as libmdb's HACKING.md describes it.
constexpr qint64 kPageSize = 4096;
constexpr quint32 kCatalogPage = 2; // the system catalog's definition, where every reader starts
constexpr unsigned char kDataPage = 0x01;
constexpr unsigned char kDefinitionPage = 0x02;
constexpr unsigned char kUsageMapPage = 0x05;
constexpr int kPageHeader = 8;      // before a definition's bytes on each of its pages
constexpr int kRowCountAt = 12;     // on a data page, then the rows' offsets
constexpr int kOffsetMask = 0x1fff; // the offset of a row without its flags
// In a definition, counted from its first byte after the page header.
constexpr int kColumnCountAt = 37;
constexpr int kRealIndexCountAt = 43;
constexpr int kUsageMapAt = 47;
constexpr int kFreeMapAt = 51;
constexpr int kColumnsAt = 55;
constexpr int kRealIndexSize = 12;
constexpr int kColumnSize = 25;
// The header's bytes from 0x18 on are kept RC4-encoded under a fixed key; the
// database key among them encodes every other page when it is not 0.
constexpr int kHeaderCodedAt = 0x18;
constexpr int kHeaderCodedSize = 128;
constexpr int kDatabaseKeyAt = 0x3e;
constexpr std::array<unsigned char, 4> kHeaderKey = {0xc7, 0xda, 0x39, 0x6b};
// A map of the second kind lists map pages, each for this many pages in turn.
constexpr quint32 kPagesPerMapPage = (kPageSize - 4) * 8;

quint16 u16(const QByteArray& bytes, qsizetype at)
{
    return qFromLittleEndian<quint16>(bytes.constData() + at);
}

quint32 u32(const QByteArray& bytes, qsizetype at)
{
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}

void rc4(const unsigned char* key, int keySize, char* data, qsizetype size)
{
    std::array<unsigned char, 256> s;
    for (int i = 0; i < 256; ++i)
        s[i] = static_cast<unsigned char>(i);
    for (int i = 0, j = 0; i < 256; ++i) {
        j = (j + s[i] + key[i % keySize]) & 0xff;
        std::swap(s[i], s[j]);
    }
    for (qsizetype n = 0, i = 0, j = 0; n < size; ++n) {
        i = (i + 1) & 0xff;
        j = (j + s[i]) & 0xff;
        std::swap(s[i], s[j]);
        data[n] = static_cast<char>(data[n] ^ s[(s[i] + s[j]) & 0xff]);
    }
}

QString damaged(const QString& what)
{
    return QStringLiteral("文件已损坏：%1").arg(what);
}

} // namespace

QString JetPages::open(const QString& path)
{
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::ReadOnly))
        return QStringLiteral("无法打开：%1").arg(m_file.errorString());
    const QByteArray first = m_file.read(kPageSize);
    if (const QString problem = accessFormatProblem(accessFormatOf(first)); !problem.isEmpty())
        return problem;
    const qint64 size = m_file.size();
    if (size % kPageSize != 0)
        return QStringLiteral("文件不完整（可能被截断）：%1字节，不是整数个%2字节的页").arg(size).arg(kPageSize);
    if (size < (kCatalogPage + 1) * kPageSize)
        return QStringLiteral("文件不完整（可能被截断）：只有%1页，到系统目录至少要%2页")
            .arg(size / kPageSize)
            .arg(kCatalogPage + 1);
    m_pageCount = static_cast<quint32>(size / kPageSize);
    QByteArray header = first.mid(kHeaderCodedAt, kHeaderCodedSize);
    rc4(kHeaderKey.data(), int(kHeaderKey.size()), header.data(), header.size());
    m_key = u32(header, kDatabaseKeyAt - kHeaderCodedAt);
    return checkTable(kCatalogPage, QStringLiteral("系统目录（MSysObjects）"));
}

std::optional<QByteArray> JetPages::page(quint32 number)
{
    if (number >= m_pageCount || !m_file.seek(qint64(number) * kPageSize))
        return std::nullopt;
    QByteArray bytes = m_file.read(kPageSize);
    if (bytes.size() != kPageSize)
        return std::nullopt;
    if (m_key != 0 && number != 0) {
        std::array<unsigned char, 4> key;
        qToLittleEndian<quint32>(m_key ^ number, key.data());
        rc4(key.data(), int(key.size()), bytes.data(), bytes.size());
    }
    return bytes;
}

QString JetPages::pageProblem(quint32 number, unsigned char type, const QString& what)
{
    if (number >= m_pageCount)
        return damaged(QStringLiteral("%1指向第%2页，而文件只有%3页").arg(what).arg(number).arg(m_pageCount));
    const std::optional<QByteArray> bytes = page(number);
    if (!bytes)
        return QStringLiteral("无法读取第%1页：%2").arg(number).arg(m_file.errorString());
    if (static_cast<unsigned char>(bytes->at(0)) != type)
        return damaged(QStringLiteral("%1指向的第%2页不是%3")
                           .arg(what)
                           .arg(number)
                           .arg(type == kDefinitionPage ? QStringLiteral("表定义页")
                                   : type == kDataPage  ? QStringLiteral("数据页")
                                                        : QStringLiteral("页使用位图")));
    return QString();
}

QString JetPages::readDefinition(quint32 first, const QString& what, QByteArray* definition)
{
    QSet<quint32> seen;
    for (quint32 number = first; number != 0;) {
        if (seen.contains(number))
            return damaged(QStringLiteral("%1的表定义页首尾相连成环").arg(what));
        seen.insert(number);
        if (const QString problem = pageProblem(number, kDefinitionPage, what + QStringLiteral("的表定义"));
            !problem.isEmpty())
            return problem;
        const QByteArray bytes = *page(number);
        definition->append(bytes.sliced(kPageHeader));
        number = u32(bytes, 4);
    }
    const quint32 length = u32(*definition, 0);
    if (length > quint32(definition->size()) || length < quint32(kColumnsAt))
        return damaged(QStringLiteral("%1的表定义不完整").arg(what));
    definition->truncate(length);
    return QString();
}

QString JetPages::readPointedRow(quint32 pointer, const QString& what, QByteArray* row)
{
    const quint32 number = pointer >> 8;
    const int index = int(pointer & 0xff);
    if (const QString problem = pageProblem(number, kDataPage, what); !problem.isEmpty())
        return problem;
    const QByteArray bytes = *page(number);
    const int rows = u16(bytes, kRowCountAt);
    const int firstRow = kRowCountAt + 2 + 2 * rows;
    const int start = index < rows ? u16(bytes, kRowCountAt + 2 + 2 * index) & kOffsetMask : 0;
    const int end = index == 0 ? int(kPageSize) : u16(bytes, kRowCountAt + 2 + 2 * (index - 1)) & kOffsetMask;
    if (index >= rows || start < firstRow || start >= end || end > kPageSize)
        return damaged(QStringLiteral("%1指向第%2页的第%3行，该页没有这一行").arg(what).arg(number).arg(index));
    *row = bytes.sliced(start, end - start);
    return QString();
}

QString JetPages::checkUsageMap(const QByteArray& map, const QString& what)
{
    const auto eachPage = [&](const QByteArray& bits, qsizetype from, quint32 firstPage) -> QString {
        for (qsizetype i = from; i < bits.size(); ++i) {
            const auto byte = static_cast<unsigned char>(bits[i]);
            for (int bit = 0; byte != 0 && bit < 8; ++bit) {
                const quint64 listed = quint64(firstPage) + quint64(i - from) * 8 + bit;
                if ((byte >> bit) & 1 && listed >= m_pageCount)
                    return damaged(
                        QStringLiteral("%1列出了第%2页，而文件只有%3页").arg(what).arg(listed).arg(m_pageCount));
            }
        }
        return QString();
    };
    if (map.isEmpty())
        return damaged(QStringLiteral("%1是空的").arg(what));
    switch (map[0]) {
    case 0: // the pages from a first one on, a bit each
        return map.size() < 5 ? damaged(QStringLiteral("%1不完整").arg(what)) : eachPage(map, 5, u32(map, 1));
    case 1: // pages that hold such bits, each for its stretch of the file
        for (qsizetype k = 0; 1 + 4 * k + 4 <= map.size(); ++k) {
            const quint32 number = u32(map, 1 + 4 * k);
            if (number == 0)
                continue;
            if (const QString problem = pageProblem(number, kUsageMapPage, what); !problem.isEmpty())
                return problem;
            if (const QString problem = eachPage(*page(number), 4, quint32(k) * kPagesPerMapPage); !problem.isEmpty())
                return problem;
        }
        return QString();
    default: return damaged(QStringLiteral("%1的类型未知（%2）").arg(what).arg(int(map[0])));
    }
}

QString JetPages::checkTable(quint32 page, const QString& name)
{
    QByteArray definition;
    if (const QString problem = readDefinition(page, name, &definition); !problem.isEmpty())
        return problem;
    const quint32 columns = u16(definition, kColumnCountAt);
    const quint64 realIndexes = u32(definition, kRealIndexCountAt);
    // the columns' entries and then their names must lie within the definition
    qint64 end = kColumnsAt + qint64(realIndexes) * kRealIndexSize + qint64(columns) * kColumnSize;
    for (quint32 c = 0; c < columns && end + 2 <= definition.size(); ++c)
        end += 2 + u16(definition, end);
    if (columns == 0 || end > definition.size())
        return damaged(QStringLiteral("%1的表定义中的列不完整").arg(name));
    for (const auto& [at, what] : {std::pair {kUsageMapAt, QStringLiteral("%1的数据页位图").arg(name)},
             std::pair {kFreeMapAt, QStringLiteral("%1的空闲页位图").arg(name)}}) {
        QByteArray map;
        if (const QString problem = readPointedRow(u32(definition, at), what, &map); !problem.isEmpty())
            return problem;
        if (const QString problem = checkUsageMap(map, what); !problem.isEmpty())
            return problem;
    }
    return QString();
}
