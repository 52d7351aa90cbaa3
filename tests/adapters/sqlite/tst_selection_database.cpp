#include "adapters/sql/project_statements.h"
#include "adapters/sqlite/selection_database.h"
#include "core/record/selection_record.h"
#include "support/database_file.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

namespace {

QByteArray digest(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

QStringList sampleRow(const QString& number)
{
    QStringList row;
    for (int i = 0; i < 45; ++i)
        row << QStringLiteral("v%1").arg(i);
    row[0] = number;
    return row;
}

// A database file holding the row of number 20261210001.
void createWithOneRow(const QString& path)
{
    QString error;
    QVERIFY2(SelectionDatabase::create(path, &error), qPrintable(error));
    SelectionDatabase db;
    QCOMPARE(db.open(path), SelectionDatabase::Opened::Yes);
    QVERIFY(db.insert(sampleRow(QStringLiteral("20261210001"))).ok());
}

// The 45 column definitions "name type" with the program's names, the number's
// column being the key; `change` may rewrite the definition of a column.
QString tableStatement(const std::function<QString(int, const QString&)>& change = {}, const QString& tail = {})
{
    QStringList definitions;
    for (int i = 0; i < kColumnCount; ++i) {
        const QString name = QString::fromUtf8(columns()[static_cast<size_t>(i)].name);
        QString definition
            = QStringLiteral("\"%1\" text%2").arg(name, i == 0 ? QStringLiteral(" primary key") : QString());
        if (change)
            definition = change(i, definition);
        if (!definition.isEmpty())
            definitions << definition;
    }
    return QStringLiteral("create table 选型输出 (%1%2)").arg(definitions.join(u','), tail);
}

} // namespace

class TestSelectionDatabase final : public QObject {
    Q_OBJECT

private slots:
    void createMakesFileAndTable()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("选型数据库.mdb"));
        QString error;
        QVERIFY2(SelectionDatabase::create(path, &error), qPrintable(error));
        SelectionDatabase db;
        QCOMPARE(db.open(path), SelectionDatabase::Opened::Yes);
        const QSqlRecord record = db.connection().record(SelectionDatabase::tableName());
        QCOMPARE(record.count(), 45);
        for (int i = 0; i < 45; ++i)
            QCOMPARE(record.fieldName(i), QString::fromUtf8(columns()[static_cast<size_t>(i)].name));
        QCOMPARE(record.fieldName(9), QStringLiteral("最大绝牙"));
    }

    // A folder that is not there is more likely a mistyped path than one to make.
    void createMakesNoFolder()
    {
        QTemporaryDir dir;
        QString error;
        QVERIFY(!SelectionDatabase::create(dir.filePath(QStringLiteral("sjk/选型数据库.mdb")), &error));
        QCOMPARE(error, QStringLiteral("the folder %1 does not exist").arg(dir.filePath(QStringLiteral("sjk"))));
        QVERIFY(QDir(dir.path()).isEmpty());
    }

    void createTouchesNothingThatExists()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("db.mdb"));
        QString error;
        createWithOneRow(path);
        const QByteArray before = digest(path);
        QVERIFY(SelectionDatabase::create(path, &error));
        QCOMPARE(digest(path), before);
    }

    // A table that has not the program's shape is refused when the file is opened
    // and by create(), with what is wrong, and the file is left as it was.
    void malformedTableIsRefused_data()
    {
        QTest::addColumn<QStringList>("statements");
        QTest::addColumn<QString>("reason");
        const auto typed = [](int column, const QString& type) {
            return tableStatement([=](int i, const QString& d) {
                return i == column
                    ? QStringLiteral("\"%1\" %2").arg(QString::fromUtf8(columns()[static_cast<size_t>(i)].name), type)
                    : d;
            });
        };
        const QString wrong = QStringLiteral("选型输出表的结构与本程序不符（");
        QTest::newRow("no table") << QStringList {"create table 其他 (x text)"} << "数据库中没有选型输出表";
        QTest::newRow("two columns")
            << QStringList {"create table 选型输出 (选型编号 text primary key, 仪表型号规格 text)"}
            << wrong + "有2列，应为45列";
        QTest::newRow("46 columns") << QStringList {tableStatement({}, ", 备注 text")} << wrong + "有46列，应为45列";
        QTest::newRow("44 columns") << QStringList {tableStatement([](int i, const QString& d) {
            return i == 44 ? QString() : d;
        })} << wrong + "有44列，应为45列";
        QTest::newRow("integer column") << QStringList {typed(3, "integer")}
                                        << wrong + "“最小标况流量”列为INTEGER型，应为文本型（TEXT）";
        QTest::newRow("integer before char")
            << QStringList {typed(3, "charint")} << wrong + "“最小标况流量”列为INTEGER型";
        QTest::newRow("real column") << QStringList {typed(18, "double precision")} << wrong + "“综合准确度”列为REAL型";
        QTest::newRow("numeric column") << QStringList {typed(9, "decimal(10,3)")} << wrong + "“最大绝牙”列为NUMERIC型";
        QTest::newRow("no declared type") << QStringList {typed(44, "")} << wrong + "“温度最大误差”列为BLOB型";
        QTest::newRow("integer key") << QStringList {typed(0, "integer primary key")}
                                     << wrong + "“选型编号”列为INTEGER型";
        QTest::newRow("no primary key") << QStringList {typed(0, "text")} << wrong + "主键应为“选型编号”一列";
        QTest::newRow("only unique") << QStringList {typed(0, "text unique")} << wrong + "主键应为“选型编号”一列";
        QTest::newRow("key on another column") << QStringList {tableStatement([](int i, const QString& d) {
            return i == 0 ? QStringLiteral("\"选型编号\" text") : i == 1 ? d + QStringLiteral(" primary key") : d;
        })} << wrong + "主键应为“选型编号”一列";
        QTest::newRow("key of two columns") << QStringList {tableStatement(
            [](int i, const QString& d) { return i == 0 ? QStringLiteral("\"选型编号\" text") : d; },
            ", primary key (选型编号, 使用介质)")}
                                            << wrong + "主键应为“选型编号”一列";
        QTest::newRow("columns swapped") << QStringList {tableStatement([](int i, const QString& d) {
            return i == 3 ? QStringLiteral("\"最大标况流量\" text")
                : i == 4  ? QStringLiteral("\"最小标况流量\" text")
                          : d;
        })} << wrong + "第4列为“最大标况流量”，应为“最小标况流量”";
        QTest::newRow("misspelling mended") << QStringList {tableStatement([](int i, const QString& d) {
            return i == 9 ? QStringLiteral("\"最大绝压\" text") : d;
        })} << wrong + "第10列为“最大绝压”，应为“最大绝牙”";
        QTest::newRow("a view") << QStringList {tableStatement().replace("create table 选型输出", "create table 原表"),
            "create view 选型输出 as select * from 原表"}
                                << wrong + "主键应为“选型编号”一列";
    }

    void malformedTableIsRefused()
    {
        QFETCH(QStringList, statements);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("db.mdb"));
        makeDatabaseFile(path, statements);
        const QByteArray before = digest(path);
        SelectionDatabase db;
        QString error;
        QCOMPARE(db.open(path, &error), SelectionDatabase::Opened::Failed);
        QVERIFY2(error.startsWith(reason), qPrintable(error));
        QVERIFY(!db.isOpen());
        if (reason.startsWith(QStringLiteral("选型输出表")))
            QVERIFY(error.endsWith(QStringLiteral("），本程序不使用也不修改此表")));
        error.clear();
        if (reason == QStringLiteral("数据库中没有选型输出表")) {
            // the table where it is missing is what create() is for
            QVERIFY2(SelectionDatabase::create(path, &error), qPrintable(error));
            QCOMPARE(db.open(path), SelectionDatabase::Opened::Yes);
            return;
        }
        QVERIFY(!SelectionDatabase::create(path, &error));
        QVERIFY2(error.startsWith(reason), qPrintable(error));
        QCOMPARE(digest(path), before);
    }

    // Tables made by other means that SQLite reads as the program's own.
    void tableOfTheSameShapeIsUsed_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::newRow("the program's own") << tableStatement();
        QTest::newRow("text types of other names") << tableStatement([](int i, const QString& d) {
            const char* types[] = {"varchar(11)", "clob", "character varying(255)", "nvarchar", "TEXT"};
            return d.left(d.indexOf(u' ')) + u' ' + QString::fromLatin1(types[i % 5]) + (i == 0 ? " primary key" : "");
        });
        QTest::newRow("Latin letters in other case")
            << tableStatement([](int i, const QString& d) { return i == 30 || i == 33 || i == 13 ? d.toLower() : d; });
        QTest::newRow("not null and defaults") << tableStatement([](int i, const QString& d) {
            return d + (i == 0 ? QStringLiteral(" not null") : QStringLiteral(" default ''"));
        });
    }

    void tableOfTheSameShapeIsUsed()
    {
        QFETCH(QString, statement);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("db.mdb"));
        // with the project tables beside it, so that nothing is missing that create() would add
        QStringList statements {statement};
        for (const Statement& table : project_statements::createTables())
            statements << table.sql;
        makeDatabaseFile(path, statements);
        const QByteArray before = digest(path);
        QString error;
        QVERIFY2(SelectionDatabase::create(path, &error), qPrintable(error));
        QCOMPARE(digest(path), before);
        SelectionDatabase db;
        QCOMPARE(db.open(path, &error), SelectionDatabase::Opened::Yes);
        QSqlQuery q(db.connection());
        QStringList row = sampleRow(QStringLiteral("20261210001"));
        row[3] = QStringLiteral("1.0");
        QVERIFY(db.insert(row).ok());
        QVERIFY(!db.insert(row).ok()); // the key holds
        QVERIFY(q.exec(QStringLiteral("select 最小标况流量 from 选型输出")));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), QStringLiteral("1.0"));
    }

    void numberIsTheKey()
    {
        SelectionDatabase db;
        QCOMPARE(db.open(SelectionDatabase::memoryPath()), SelectionDatabase::Opened::Yes);
        QVERIFY(db.insert(sampleRow(QStringLiteral("20261210001"))).ok());
        const StoreResult<bool> again = db.insert(sampleRow(QStringLiteral("20261210001")));
        QVERIFY(!again.ok());
        QVERIFY(again.error().message.contains(QStringLiteral("UNIQUE")));
    }

    void valuesAreBoundNotPasted_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("double quote") << "50\"RKD";
        QTest::newRow("single quote") << "it's";
        QTest::newRow("statement end") << "x; drop table 选型输出;";
        QTest::newRow("comment") << "1 -- rest";
        QTest::newRow("all of them") << "\"'); delete from 选型输出; --";
    }

    void valuesAreBoundNotPasted()
    {
        QFETCH(QString, value);
        SelectionDatabase db;
        QCOMPARE(db.open(SelectionDatabase::memoryPath()), SelectionDatabase::Opened::Yes);
        QSqlQuery q(db.connection());
        QStringList row = sampleRow(QStringLiteral("20261210001"));
        row[3] = value;
        row[44] = value;
        QVERIFY(db.insert(row).ok());
        QVERIFY(db.insert(sampleRow(QStringLiteral("20261210002"))).ok());
        QVERIFY(q.exec(
            QStringLiteral("select 最小标况流量, 温度最大误差, count(*) over () from 选型输出 order by 选型编号")));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), value);
        QCOMPARE(q.value(1).toString(), value);
        QCOMPARE(q.value(2).toInt(), 2);
    }

    void missingFile()
    {
        QTemporaryDir dir;
        SelectionDatabase db;
        QCOMPARE(db.open(dir.filePath(QStringLiteral("no/such/folder/db.mdb"))), SelectionDatabase::Opened::Missing);
        QVERIFY(!db.isOpen());
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("no"))));
    }

    void fileThatIsNotADatabase()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("letter.mdb"));
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QByteArray(4096, 'x'));
        }
        const QByteArray before = digest(path);
        SelectionDatabase db;
        QString error;
        QCOMPARE(db.open(path, &error), SelectionDatabase::Opened::Failed);
        QVERIFY2(error.contains(QStringLiteral("not a database")), qPrintable(error));
        QVERIFY(!db.isOpen());
        QVERIFY(!SelectionDatabase::create(path, &error));
        QCOMPARE(digest(path), before);
    }

    // A file that cannot be used is refused in the program's own words only: nothing
    // of Qt's reaches the terminal.
    void refusedFileLeavesNoQtMessage_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("statement");
        QTest::newRow("not a database") << QByteArray(4096, 'x') << QString();
        QTest::newRow("no table") << QByteArray() << "create table 其他 (x text)";
        QTest::newRow("table of another shape") << QByteArray() << "create table 选型输出 (选型编号 text primary key)";
    }

    void refusedFileLeavesNoQtMessage()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, statement);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("db.mdb"));
        if (statement.isEmpty()) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(content);
        } else {
            makeDatabaseFile(path, {statement});
        }
        static QStringList messages;
        messages.clear();
        const QtMessageHandler previous = qInstallMessageHandler(
            [](QtMsgType, const QMessageLogContext&, const QString& text) { messages << text; });
        {
            SelectionDatabase db;
            QString error;
            const SelectionDatabase::Opened opened = db.open(path, &error);
            db.close();
            qInstallMessageHandler(previous);
            QCOMPARE(opened, SelectionDatabase::Opened::Failed);
            QVERIFY(!error.isEmpty());
        }
        QCOMPARE(messages, QStringList());
    }

    void writeProtectedFileIsOnlyRead()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("db.mdb"));
        QString error;
        createWithOneRow(path);
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
        const QByteArray before = digest(path);
        SelectionDatabase db;
        QCOMPARE(db.open(path), SelectionDatabase::Opened::Yes);
        QVERIFY(db.readOnly());
        const StoreResult<bool> refused = db.insert(sampleRow(QStringLiteral("20261210002")));
        QVERIFY(!refused.ok());
        QVERIFY2(refused.error().message.contains(QStringLiteral("readonly")), qPrintable(refused.error().message));
        QVERIFY(db.exists(QStringLiteral("20261210001")).value());
        db.close();
        QCOMPARE(digest(path), before);
    }
};

QTEST_GUILESS_MAIN(TestSelectionDatabase)
#include "tst_selection_database.moc"
