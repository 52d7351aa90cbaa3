#include "adapters/report/sheet_expression.h"
#include "core/ports/print_row.h"

#include <QTest>

namespace {

const QString kDate = QStringLiteral("2026/12/10");

// The flow range cell of the sheet, as the template writes it.
const QString kFlowRange = QStringLiteral(
    R"([COPY([Qr1."通径规格"], POS('(', [Qr1."通径规格"])+ 1, POS(')', [Qr1."通径规格"])- 1-POS('(', [Qr1."通径规格"]))])");

PrintRow row(const QString& sizeLabel)
{
    PrintRow r;
    r.columns = {"选型编号", "产品名称", "通径规格", "综合准确度", "修正仪准确度", "基表准确度", "修正方式"};
    r.values = {"20261210001", "气体腰轮流量计", sizeLabel, "1.5", "", "1.0", "[温压] 修正"};
    return r;
}

} // namespace

class TestReportExpression final : public QObject {
    Q_OBJECT

private slots:
    void expand_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("sizeLabel");
        QTest::addColumn<QString>("expected");

        const QString rkd = QStringLiteral("25RKD-G10(0.4<=Qg<=16)");
        // clang-format off
        QTest::newRow("plain label")        << "型号代号" << rkd << "型号代号";
        QTest::newRow("fixed text")         << "±0.2%（-20℃~+65℃）" << rkd << "±0.2%（-20℃~+65℃）";
        QTest::newRow("label with parens")  << "公称压力(MPa)" << rkd << "公称压力(MPa)";
        QTest::newRow("column")             << R"([Qr1."产品名称"])" << rkd << "气体腰轮流量计";
        QTest::newRow("column, blanks, case") << R"([ qr1 . "选型编号" ])" << rkd << "20261210001";
        QTest::newRow("column not selected") << R"([Qr1."压缩因子"])" << rkd << "";
        QTest::newRow("column text not expanded") << R"([Qr1."修正方式"])" << rkd << "[温压] 修正";
        QTest::newRow("date")               << "[DATE]" << rkd << kDate;
        QTest::newRow("date inside text")   << "选型日期：[date]。" << rkd << "选型日期：2026/12/10。";
        QTest::newRow("two expressions")    << R"([Qr1."综合准确度"]/[Qr1."基表准确度"])" << rkd << "1.5/1.0";

        QTest::newRow("accuracy")           << R"([Qr1."综合准确度"]级)" << rkd << "1.5级";
        QTest::newRow("empty accuracy")     << R"([Qr1."修正仪准确度"]级)" << rkd << "级";

        QTest::newRow("flow range rotary-lobe") << kFlowRange << rkd << "0.4<=Qg<=16";
        QTest::newRow("flow range roots")   << kFlowRange << "80B(13<=Qg<=250)" << "13<=Qg<=250";
        QTest::newRow("flow range no parens") << kFlowRange << "DN50" << "";
        QTest::newRow("flow range empty")   << kFlowRange << "" << "";
        QTest::newRow("flow range only ')'") << kFlowRange << "G16)x" << "G16";
        QTest::newRow("flow range ')' first") << kFlowRange << "a)b(c" << "";

        QTest::newRow("copy start below 1") << "[COPY('abcdef', -3, 2)]" << rkd << "ab";
        QTest::newRow("copy count clipped") << "[COPY('abcdef', 5, 10)]" << rkd << "ef";
        QTest::newRow("copy past the end")  << "[COPY('abcdef', 7, 1)]" << rkd << "";
        QTest::newRow("copy zero count")    << "[COPY('abcdef', 2, 0)]" << rkd << "";
        QTest::newRow("pos found")          << "[POS('c', 'abcabc')]" << rkd << "3";
        QTest::newRow("pos absent")         << "[pos('x', 'abc')]" << rkd << "0";
        QTest::newRow("pos of empty")       << "[POS('', 'abc')]" << rkd << "0";
        QTest::newRow("arithmetic")         << "[1 + 2 - 10]" << rkd << "-7";
        QTest::newRow("text joined")        << "['ab' + 'cd']" << rkd << "abcd";
        QTest::newRow("digits as number")   << "['4' + 1]" << rkd << "5";
        QTest::newRow("quote in literal")   << "['it''s']" << rkd << "it's";
        QTest::newRow("brackets in literal") << "['[x]']" << rkd << "[x]";
        QTest::newRow("nested brackets")    << "[[[1]]]" << rkd << "1";

        // Faults print the faulty expression as written.
        QTest::newRow("wrong argument count") << "a[COPY('abc', 1)]b" << rkd << "a[COPY('abc', 1)]b";
        QTest::newRow("missing operand")    << "[1 +]" << rkd << "[1 +]";
        QTest::newRow("unknown name")       << "[NOW]" << rkd << "[NOW]";
        QTest::newRow("unknown data set")   << R"([Qr2."产品名称"])" << rkd << R"([Qr2."产品名称"])";
        QTest::newRow("text minus number")  << "['a' - 1]" << rkd << "['a' - 1]";
        QTest::newRow("overflow")           << "[9223372036854775807 + 1]" << rkd << "[9223372036854775807 + 1]";
        QTest::newRow("empty brackets")     << "x[]" << rkd << "x[]";
        QTest::newRow("trailing garbage")   << "[1 2]" << rkd << "[1 2]";
        QTest::newRow("unclosed bracket")   << "a[Qr1.\"产品名称\"" << rkd << "a[Qr1.\"产品名称\"";
        QTest::newRow("unclosed quote")     << "[Qr1.\"产品名称]" << rkd << "[Qr1.\"产品名称]";
        QTest::newRow("stray closing")      << "x]y" << rkd << "x]y";
        QTest::newRow("runaway nesting")    << QString(100000, u'[') + '1' + QString(100000, u']') << rkd
                                            << QString(100000, u'[') + '1' + QString(100000, u']');
        // clang-format on
    }

    void expand()
    {
        QFETCH(QString, text);
        QFETCH(QString, sizeLabel);
        QFETCH(QString, expected);
        QCOMPARE(expandSheetText(text, row(sizeLabel), kDate), expected);
    }
};

QTEST_GUILESS_MAIN(TestReportExpression)
#include "tst_report_expression.moc"
