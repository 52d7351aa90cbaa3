#include "apps/common/old_selections.h"

#include "adapters/access/access_child.h"
#include "adapters/access/access_file.h"
#include "adapters/files/rereadable_file.h"
#include "apps/common/csv_reader.h"
#include "core/record/columns.h"

#include <QFileInfo>
#include <QIODevice>

namespace {

// The suffixes of Access files: a file so named is read as one, and one that is none
// is told so rather than read as text.
bool namedAsAccessFile(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == u"mdb" || suffix == u"mde" || suffix == u"accdb" || suffix == u"accde";
}

class AccessSelections final : public OldSelections {
public:
    QString open(const QString& path)
    {
        QString error;
        m_rows = readAccessTableInChild(path, tableName(), &error);
        if (!m_rows)
            return error;
        QStringList names;
        for (const AccessColumn& c : m_rows->columns())
            names << c.name;
        if (const QString problem = mapColumns(names); !problem.isEmpty())
            return problem;
        // the old table's columns are Text(255): another kind would be read as nothing
        for (const qsizetype at : positions()) {
            if (!m_rows->columns()[size_t(at)].text)
                return QStringLiteral("列“%1”不是文本列").arg(names[at]);
        }
        m_rowCount = m_rows->rowCount();
        return QString();
    }

    Next next(StoredRow& row) override
    {
        switch (m_rows->next(m_values)) {
        case AccessRows::Next::Row: row = rowOf(m_values); return Next::Row;
        case AccessRows::Next::End: return Next::End;
        case AccessRows::Next::Fault: break;
        }
        m_fault = m_rows->fault();
        return Next::Fault;
    }

private:
    std::unique_ptr<AccessRows> m_rows;
    QStringList m_values;
};

class CsvSelections final : public OldSelections {
public:
    QString open(const QString& path)
    {
        QString error;
        m_file = openRereadable(path, &error);
        if (!m_file)
            return QStringLiteral("无法打开：%1").arg(error);
        bool notText = false;
        const std::optional<CsvCheck> checked = checkCsvFile(
            *m_file, path, [this](const QStringList& header) { return mapColumns(header); }, &error, &notText);
        if (notText)
            return QStringLiteral("既不是Access数据库文件，也不是CSV文件（UTF-8或GB18030的文字）");
        if (!checked) // named with its line: the file is named where it is told
            return error.startsWith(path + u'，') ? error.sliced(path.size() + 1) : error;
        if (!m_file->seek(0))
            return QStringLiteral("无法再次读取 %1：%2").arg(path, m_file->errorString());
        m_rowCount = checked->records;
        m_reader = std::make_unique<CsvReader>(*m_file, checked->encoding);
        QStringList header;
        m_reader->next(header); // checked above
        return QString();
    }

    Next next(StoredRow& row) override
    {
        switch (m_reader->next(m_values)) {
        case CsvReader::Next::Record: row = rowOf(m_values); return Next::Row;
        case CsvReader::Next::End: return Next::End;
        case CsvReader::Next::Fault: break;
        }
        m_fault = m_reader->fault();
        return Next::Fault;
    }

private:
    std::unique_ptr<QIODevice> m_file;
    std::unique_ptr<CsvReader> m_reader;
    QStringList m_values;
};

} // namespace

QString OldSelections::tableName()
{
    return kSelectionTable.toString();
}

std::unique_ptr<OldSelections> OldSelections::open(const QString& path, QString* error)
{
    if (accessFormatOfFile(path) != AccessFormat::NotAccess || namedAsAccessFile(path)) {
        auto access = std::make_unique<AccessSelections>();
        *error = access->open(path);
        if (error->isEmpty())
            return access;
        return nullptr;
    }
    auto csv = std::make_unique<CsvSelections>();
    *error = csv->open(path);
    if (error->isEmpty())
        return csv;
    return nullptr;
}

QString oldSelectionsUnreadable(const QString& path, const QString& reason)
{
    return QStringLiteral("无法读取旧版数据库 %1：%2").arg(path, reason);
}

QString OldSelections::mapColumns(const QStringList& names)
{
    m_positions.clear();
    m_extraColumns.clear();
    QStringList missing;
    std::vector<bool> used(size_t(names.size()), false);
    for (const Column& c : columns()) {
        // Access compares names without the case of their letters, and so do we
        const QString name = QString::fromUtf8(c.name);
        qsizetype found = -1;
        for (qsizetype i = 0; i < names.size(); ++i) {
            if (names[i].compare(name, Qt::CaseInsensitive) != 0)
                continue;
            if (found >= 0)
                return QStringLiteral("列“%1”出现了两次").arg(name);
            found = i;
        }
        if (found < 0)
            missing << name;
        else
            used[size_t(found)] = true;
        m_positions.push_back(found);
    }
    if (!missing.isEmpty())
        return QStringLiteral("缺少%1表的列：%2").arg(tableName(), missing.join(QStringLiteral("、")));
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (!used[size_t(i)])
            m_extraColumns << names[i];
    }
    return QString();
}

StoredRow OldSelections::rowOf(const QStringList& values) const
{
    StoredRow row;
    row.reserve(kColumnCount);
    for (const qsizetype at : m_positions) {
        const QString& value = values[at];
        row << (value.isNull() ? QStringLiteral("") : value);
    }
    return row;
}
