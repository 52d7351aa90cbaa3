#include "adapters/access/access_table.h"

#include "adapters/access/jet_pages.h"

#include <QFile>

#include <cstring>
// mdbtools.h includes glib.h inside extern "C", where glib's C++ templates are refused;
// included first, glib.h is not included again there.
#include <glib.h>
#include <mdbtools.h>

namespace {

constexpr int kOffsetMask = 0x1fff; // a row's offset on its page without its flags

// A Text value as Jet 4.0 stores it: UCS-2, or, after the mark FF FE, one byte a
// character for the characters below U+0100, a zero byte switching between that
// and two bytes a character. Never the null string, which stands for NULL.
QString jetText(const unsigned char* bytes, int size)
{
    if (size < 2)
        return QStringLiteral("");
    if (bytes[0] == 0xff && bytes[1] == 0xfe) {
        QString text(size - 2, Qt::Uninitialized); // no more characters than bytes
        QChar* out = text.data();
        bool compressed = true;
        for (int i = 2; i < size;) {
            if (bytes[i] == 0) {
                compressed = !compressed;
                ++i;
            } else if (compressed) {
                *out++ = QChar(char16_t(bytes[i++]));
            } else if (i + 1 < size) {
                *out++ = QChar(char16_t(bytes[i] | bytes[i + 1] << 8));
                i += 2;
            } else {
                break;
            }
        }
        text.truncate(out - text.constData());
        return text.isNull() ? QStringLiteral("") : text;
    }
    QString text(size / 2, Qt::Uninitialized);
    std::memcpy(text.data(), bytes, size_t(text.size()) * 2); // UCS-2 little-endian, as QChar on this machine
    return text;
}

class LibmdbTable final : public AccessRows {
public:
    ~LibmdbTable() override
    {
        if (m_table)
            mdb_free_tabledef(m_table);
        if (m_mdb)
            mdb_close(m_mdb);
    }

    QString open(const QString& path, const QString& name);

    const std::vector<AccessColumn>& columns() const override { return m_columns; }
    qint64 rowCount() const override { return m_rows; }
    Next next(QStringList& values) override;
    QString fault() const override { return m_fault; }

private:
    // Reads the next row into m_fields, each of its texts checked to lie on its page.
    Next crack();

    MdbHandle* m_mdb = nullptr;
    MdbTableDef* m_table = nullptr;
    std::vector<AccessColumn> m_columns;
    std::vector<MdbField> m_fields;
    qint64 m_rows = 0;
    QString m_fault;
};

QString LibmdbTable::open(const QString& path, const QString& name)
{
    JetPages pages;
    if (const QString problem = pages.open(path); !problem.isEmpty())
        return problem;
    m_mdb = mdb_open(QFile::encodeName(path).constData(), MDB_NOFLAGS);
    if (!m_mdb)
        return QStringLiteral("无法打开此文件");
    if (!mdb_read_catalog(m_mdb, MDB_TABLE))
        return QStringLiteral("无法读取文件的系统目录");
    const QByteArray wanted = name.toUtf8();
    MdbCatalogEntry* entry = nullptr;
    for (guint i = 0; i < m_mdb->num_catalog && !entry; ++i) {
        auto* e = static_cast<MdbCatalogEntry*>(g_ptr_array_index(m_mdb->catalog, i));
        if (e->object_type == MDB_TABLE && wanted == e->object_name)
            entry = e;
    }
    if (!entry)
        return QStringLiteral("文件中没有表“%1”").arg(name);
    if (const QString problem = pages.checkTable(quint32(entry->table_pg), QStringLiteral("表“%1”").arg(name));
        !problem.isEmpty())
        return problem;
    m_table = mdb_read_table(entry);
    if (!m_table || !mdb_read_columns(m_table))
        return QStringLiteral("无法读取表“%1”的定义").arg(name);
    for (guint i = 0; i < m_table->num_cols; ++i) {
        const auto* column = static_cast<const MdbColumn*>(g_ptr_array_index(m_table->columns, i));
        m_columns.push_back({QString::fromUtf8(column->name), column->col_type == MDB_TEXT});
    }
    m_fields.resize(m_table->num_cols);
    // Every row once before any is handed out, so that a damage is told before a row
    // is used: a row libmdb cannot make out it passes over without a word, and only
    // the count the table keeps tells that it is missing.
    mdb_rewind_table(m_table);
    for (Next next = Next::Row; (next = crack()) != Next::End; ++m_rows) {
        if (next == Next::Fault)
            return m_fault;
    }
    if (m_rows != qint64(m_table->num_rows))
        return QStringLiteral("文件已损坏：表“%1”记有%2行，只能读出%3行").arg(name).arg(m_table->num_rows).arg(m_rows);
    mdb_rewind_table(m_table);
    return QString();
}

AccessRows::Next LibmdbTable::crack()
{
    if (!mdb_fetch_row(m_table))
        return Next::End;
    int start = 0;
    size_t size = 0;
    if (mdb_find_row(m_mdb, int(m_table->cur_row) - 1, &start, &size) != 0
        || mdb_crack_row(m_table, start & kOffsetMask, size, m_fields.data()) < 0) {
        m_fault = QStringLiteral("文件已损坏：第%1页的一行无法读出").arg(m_table->cur_phys_pg);
        return Next::Fault;
    }
    const unsigned char* page = m_mdb->pg_buf;
    const unsigned char* pageEnd = page + m_mdb->fmt->pg_size;
    for (size_t c = 0; c < m_columns.size(); ++c) {
        const MdbField& field = m_fields[c];
        const auto* bytes = static_cast<const unsigned char*>(field.value);
        if (!field.is_null && m_columns[c].text && (bytes < page || field.siz < 0 || bytes + field.siz > pageEnd)) {
            m_fault = QStringLiteral("文件已损坏：第%1页的一行超出了页").arg(m_table->cur_phys_pg);
            return Next::Fault;
        }
    }
    return Next::Row;
}

AccessRows::Next LibmdbTable::next(QStringList& values)
{
    values.clear();
    const Next cracked = crack();
    if (cracked != Next::Row)
        return cracked;
    values.reserve(qsizetype(m_columns.size()));
    for (size_t c = 0; c < m_columns.size(); ++c) {
        const MdbField& field = m_fields[c];
        if (field.is_null || !m_columns[c].text)
            values << QString();
        else
            values << jetText(static_cast<const unsigned char*>(field.value), field.siz);
    }
    return Next::Row;
}

} // namespace

std::unique_ptr<AccessRows> readAccessTable(const QString& path, const QString& table, QString* error)
{
    auto rows = std::make_unique<LibmdbTable>();
    *error = rows->open(path, table);
    if (!error->isEmpty())
        return nullptr;
    return rows;
}
