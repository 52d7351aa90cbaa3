#include "selection_database.h"

#include "selection_record.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

#include <atomic>
#include <vector>

namespace {

// As long as the connection waits for a file that another program holds: long
// enough for another program's save, short enough that a held file is told soon.
constexpr int kBusyTimeoutMs = 2500;

QString newConnectionName()
{
    static std::atomic<int> counter {0};
    return QStringLiteral("flowsel-%1").arg(++counter);
}

// CREATE TABLE with the 45 text columns in their order; the selection number is the
// key, so two programs saving the same number cannot both succeed.
QString createTableStatement()
{
    QStringList columns;
    for (const char* name : columnNames()) {
        const QString column = QStringLiteral("\"%1\" text").arg(QString::fromUtf8(name));
        columns << (columns.isEmpty() ? column + QStringLiteral(" not null primary key") : column);
    }
    return QStringLiteral("create table if not exists %1 (%2)").arg(SelectionDatabase::tableName(), columns.join(u','));
}

// The affinity SQLite gives a column of this declared type (the rules of its
// "Determination Of Column Affinity", in their order).
QString affinityOf(const QString& declaredType)
{
    const QString t = declaredType.toUpper();
    if (t.contains(QStringLiteral("INT")))
        return QStringLiteral("INTEGER");
    if (t.contains(QStringLiteral("CHAR")) || t.contains(QStringLiteral("CLOB")) || t.contains(QStringLiteral("TEXT")))
        return QStringLiteral("TEXT");
    if (t.isEmpty() || t.contains(QStringLiteral("BLOB")))
        return QStringLiteral("BLOB");
    if (t.contains(QStringLiteral("REAL")) || t.contains(QStringLiteral("FLOA")) || t.contains(QStringLiteral("DOUB")))
        return QStringLiteral("REAL");
    return QStringLiteral("NUMERIC");
}

// What is wrong with the table of stored selections in this database, or empty when
// it has the program's shape: the 45 columns with their names in their order, each
// of text affinity (so that "1.0" stays "1.0"), and the selection number alone as
// the primary key (so that two programs cannot store one number twice). Only read.
QString tableShapeProblem(const QSqlDatabase& db)
{
    const QString table = SelectionDatabase::tableName();
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("pragma table_info(\"%1\")").arg(table)))
        return q.lastError().databaseText().isEmpty() ? q.lastError().text() : q.lastError().databaseText();
    struct Column {
        QString name;
        QString type;
        int key;
    };
    std::vector<Column> columns;
    while (q.next())
        columns.push_back({q.value(1).toString(), q.value(2).toString(), q.value(5).toInt()});
    q.finish();
    if (columns.empty())
        return QStringLiteral("数据库中没有%1表").arg(table);
    const auto wrong = [&](const QString& what) {
        return QStringLiteral("%1表的结构与本程序不符（%2），本程序不使用也不修改此表").arg(table, what);
    };
    if (columns.size() != static_cast<size_t>(kColumnCount))
        return wrong(QStringLiteral("有%1列，应为%2列").arg(columns.size()).arg(kColumnCount));
    for (size_t i = 0; i < columns.size(); ++i) {
        const QString name = QString::fromUtf8(columnNames()[i]);
        // SQLite's names ignore the case of Latin letters
        if (columns[i].name.compare(name, Qt::CaseInsensitive) != 0)
            return wrong(QStringLiteral("第%1列为“%2”，应为“%3”").arg(i + 1).arg(columns[i].name, name));
        const QString affinity = affinityOf(columns[i].type);
        if (affinity != u"TEXT")
            return wrong(QStringLiteral("“%1”列为%2型，应为文本型（TEXT）").arg(name, affinity));
        if ((columns[i].key != 0) != (i == 0))
            return wrong(QStringLiteral("主键应为“%1”一列").arg(QString::fromUtf8(columnNames()[0])));
    }
    return QString();
}

bool isWriteProtected(const QString& path)
{
    const QFileDevice::Permissions p = QFileInfo(path).permissions();
    // the mode bits, not what the current user may do: an administrator could write anything
    return !(p & (QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther));
}

} // namespace

SelectionDatabase::SelectionDatabase()
    : m_connectionName(newConnectionName())
{
}

SelectionDatabase::~SelectionDatabase()
{
    close();
}

const QString& SelectionDatabase::tableName()
{
    static const QString name = QStringLiteral("选型输出");
    return name;
}

QString SelectionDatabase::missingMessage()
{
    return QStringLiteral("Corvane仪表集团仪表选型系统数据库找不到！请单击确定...");
}

const QString& SelectionDatabase::memoryPath()
{
    static const QString path = QStringLiteral(":memory:");
    return path;
}

QString SelectionDatabase::defaultPath()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("sjk/选型数据库.mdb"));
}

SelectionDatabase::Opened SelectionDatabase::open(const QString& path, QString* error)
{
    close();
    const bool memory = path == memoryPath();
    if (!memory && !QFileInfo(path).isFile())
        return Opened::Missing;
    m_readOnly = !memory && isWriteProtected(path);
    const QString problem = connectTo(path, memory);
    if (problem.isEmpty())
        return Opened::Yes;
    if (error)
        *error = problem;
    close();
    return Opened::Failed;
}

// Every handle on the connection is gone when this returns, so that a failed one
// can be removed without Qt's warning of a connection still in use.
QString SelectionDatabase::connectTo(const QString& path, bool memory)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
    db.setDatabaseName(path);
    QString options = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyTimeoutMs);
    if (m_readOnly)
        options += QStringLiteral(";QSQLITE_OPEN_READONLY");
    db.setConnectOptions(options);
    if (!db.open())
        return db.lastError().text();
    {
        // SQLite reads the file only on the first statement: make sure it is a database.
        QSqlQuery probe(db);
        if (!probe.exec(QStringLiteral("select count(*) from sqlite_master")))
            return probe.lastError().databaseText();
    }
    if (memory) {
        QSqlQuery create(db);
        if (!create.exec(createTableStatement()))
            return create.lastError().text();
    }
    return tableShapeProblem(db);
}

void SelectionDatabase::close()
{
    if (QSqlDatabase::contains(m_connectionName)) {
        {
            QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(m_connectionName);
    }
}

bool SelectionDatabase::isOpen() const
{
    return QSqlDatabase::contains(m_connectionName) && QSqlDatabase::database(m_connectionName, false).isOpen();
}

QSqlDatabase SelectionDatabase::connection() const
{
    if (!QSqlDatabase::contains(m_connectionName))
        return QSqlDatabase();
    return QSqlDatabase::database(m_connectionName, false);
}

bool SelectionDatabase::create(const QString& path, QString* error)
{
    if (path == memoryPath()) {
        *error = QStringLiteral("an in-memory database needs no file");
        return false;
    }
    const QFileInfo info(path);
    if (!QDir().mkpath(info.absolutePath())) {
        *error = QStringLiteral("cannot create the folder %1").arg(info.absolutePath());
        return false;
    }
    const QString name = newConnectionName();
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyTimeoutMs));
        if (!db.open()) {
            *error = db.lastError().text();
        } else {
            QSqlQuery q(db);
            ok = q.exec(createTableStatement());
            if (!ok)
                *error = q.lastError().databaseText().isEmpty() ? q.lastError().text() : q.lastError().databaseText();
            q.finish();
            // a table that was there is checked, never altered
            if (ok) {
                *error = tableShapeProblem(db);
                ok = error->isEmpty();
            }
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}
