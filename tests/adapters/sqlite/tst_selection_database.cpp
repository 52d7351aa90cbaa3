#include "adapters/sqlite/selection_database.h"
#include "core/record/selection_record.h"

#include <QCryptographicHash>
#include <QFile>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>

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

} // namespace

class TestSelectionDatabase final : public QObject {
    Q_OBJECT

private slots:
    void createMakesFolderFileAndTable()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("sjk/deeper/选型数据库.mdb"));
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
        QVERIFY(q.exec(QStringLiteral("select 最小标况流量, 温度最大误差, count(*) over () from 选型输出 order by 选型编号")));
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
