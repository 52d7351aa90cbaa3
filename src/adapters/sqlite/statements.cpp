#include "adapters/sqlite/statements.h"

#include "adapters/sqlite/selection_database.h"
#include "core/record/selection_record.h"

#include <QSqlQuery>
#include <QSqlRecord>

namespace statements {

Statement listAll()
{
    return {QStringLiteral("select * from 选型输出  order by 选型编号 desc"), {}};
}

QStringList highestOfDayFields()
{
    return {QStringLiteral("MAX(选型编号)")};
}

QStringList highestOfDayTables()
{
    return {SelectionDatabase::tableName()};
}

QString highestOfDayCondition()
{
    return QStringLiteral("substr(选型编号,1,8)=? ");
}

Statement numbersOfDay(const QString& day)
{
    return {QStringLiteral("select 选型编号 from 选型输出 where substr(选型编号,1,8)=?"), {day}};
}

Statement exists(const QString& number)
{
    return {QStringLiteral("select * from 选型输出 where 选型编号=?"), {number}};
}

Statement insert(const QStringList& row)
{
    Statement s;
    QStringList marks;
    for (int i = 0; i < kColumnCount; ++i) {
        marks << QStringLiteral("?");
        s.values << (i < row.size() ? row[i] : QString());
    }
    s.sql = QStringLiteral("insert into 选型输出 values(%1)").arg(marks.join(u','));
    return s;
}

Statement fetch(const QString& number)
{
    return {QStringLiteral("select * from 选型输出 where 选型编号=?"), {number}};
}

Statement remove(const QString& number)
{
    return {QStringLiteral("delete from 选型输出 where 选型编号=?"), {number}};
}

Statement print(const QString& number)
{
    return {QStringLiteral("select 选型编号,仪表型号规格,使用介质,最小标况流量,最大标况流量,最小绝压,最大绝牙,最低温度,"
                           "最高温度,参比条件,CO2摩尔含量,H2摩尔含量,高位发热量,相对密度,卡表结算单位,综合准确度,"
                           "最小工况流量,\n"
                           "最大工况流量,产品名称,基表产地,机械计数器,卡控,通经,公称压力,基表准确度,修正仪型号,"
                           "安装形式,GPRS,短程无线,电流输出,\n"
                           "HART,防爆类型,修正方式,温度传感器L,温度传感器H,压力传感器上限,修正仪准确度,显示转换系数,"
                           "机械计数器带脉冲,连接方式,通径规格,温度最大误差 from 选型输出 where 选型编号=? "),
            {number}};
}

} // namespace statements

QString notSavedMessage()
{
    return QStringLiteral("系统还未保存该编号选型信息！");
}

QString PrintRow::value(const QString& column) const
{
    const qsizetype i = columns.indexOf(column);
    return i < 0 || i >= values.size() ? QString() : values[i];
}

std::optional<PrintRow> fetchPrintRow(QSqlQuery& query, const QString& number, QString* error, int* rowsFound)
{
    *rowsFound = 0;
    if (!executeStatement(query, statements::print(number))) {
        *error = engineMessage(query);
        query.finish();
        return std::nullopt;
    }
    PrintRow row;
    const QSqlRecord record = query.record();
    for (int c = 0; c < record.count(); ++c)
        row.columns << record.fieldName(c);
    while (query.next()) {
        if (++*rowsFound == 1) {
            for (int c = 0; c < record.count(); ++c)
                row.values << (query.value(c).isNull() ? QString() : query.value(c).toString());
        }
    }
    query.finish();
    return row;
}
