#include "core/form/selection_context.h"
#include "support/window_fixture.h"
#include "workspace/selection_warnings.h"

#include <QTest>

using F = Field;

namespace {

const QString kCity = QStringLiteral("城市天然气或城市煤气");
const QString kRef25 = QStringLiteral("燃烧参比条件:温度25℃,压力101.325kPa;体积计量参比条件:温度0℃,压力101.325kPa");

// "code: text" of each current warning, in order.
QStringList warningsOf(WindowFixture& w)
{
    QStringList out;
    for (const SelectionWarning& warning : selectionWarnings(w.window.context()))
        out << warning.code + QStringLiteral(": ") + warning.text;
    return out;
}

// A pipeline gas inside the method's normal range, so that only the warning a case
// is about shows.
void pipelineGas(WindowFixture& w)
{
    w.choose(F::Medium, kCity);
    w.choose(F::RefCondition, kRef25);
    w.paste(F::Hs, QStringLiteral("38.5"));
    w.paste(F::RelDensity, QStringLiteral("0.6"));
    w.paste(F::XCO2, QStringLiteral("0.006"));
    w.paste(F::XH2, QStringLiteral("0"));
    w.paste(F::TempMin, QStringLiteral("-10"));
    w.paste(F::TempMax, QStringLiteral("40"));
}

} // namespace

class TestSelectionWarnings final : public QObject {
    Q_OBJECT

private slots:
    void eachWarningAppearsAndClears_data()
    {
        QTest::addColumn<QStringList>("inputs"); // field=value, pasted in order before the computation
        QTest::addColumn<QString>("meterType");  // chosen after it, when given
        QTest::addColumn<QStringList>("warnings");
        QTest::newRow("none") << QStringList {"StdFlowMin=10", "StdFlowMax=100", "PabsMin=150", "PabsMax=200"}
                              << QString() << QStringList {};
        // the smallest turbine that the widened pass offers, for more than it holds
        QTest::newRow("above the size's upper flow")
            << QStringList {"Medium=煤层气", "StdFlowMin=150", "StdFlowMax=1500", "PabsMin=150", "PabsMax=300",
                   "XCO2=0.01", "Hs=36", "RelDensity=0.62"}
            << QString()
            << QStringList {"above-size-max: 最大工况流量超出所选规格上限（108.2%）",
                   "below-size-min: 最小工况流量低于所选规格下限（0.90倍）"};
        QTest::newRow("below the size's lower flow")
            << QStringList {"StdFlowMin=80", "StdFlowMax=1000", "PabsMin=300", "PabsMax=400"}
            << QStringLiteral("气体涡轮") << QStringList {"below-size-min: 最小工况流量低于所选规格下限（0.90倍）"};
        QTest::newRow("gauge MPa in the kPa boxes")
            << QStringList {"StdFlowMin=10", "StdFlowMax=100", "PabsMin=0.2", "PabsMax=0.4"} << QString()
            << QStringList {"low-absolute-pressure: 绝压低于60kPa：请确认填写的是绝对压力（kPa），不是表压或MPa"};
        QTest::newRow("60 kPa is no warning")
            << QStringList {"StdFlowMin=1", "StdFlowMax=5", "PabsMin=60", "PabsMax=60"} << QString() << QStringList {};
        QTest::newRow("Hs given at 20 C / 20 C, beyond 48 at the method's reference")
            << QStringList {"StdFlowMin=10", "StdFlowMax=100", "PabsMin=150", "PabsMax=200", "RefCondition=0", "Hs=45"}
            << QString()
            << QStringList {"sgerg-outside: 超出SGERG-88适用范围（按方法参比条件25℃/0℃）：高位发热量 48.29（适用范围 "
                            "20～48），压缩系数仅供参考"};
        QTest::newRow("two inputs outside")
            << QStringList {"StdFlowMin=10", "StdFlowMax=100", "PabsMin=150", "PabsMax=13000", "TempMin=-20"}
            << QString()
            << QStringList {"sgerg-outside: 超出SGERG-88适用范围（按方法参比条件25℃/0℃）：最大绝对压力 13000（适用范围 "
                            "0～12000）；最低温度 -20（适用范围 -10～65），压缩系数仅供参考"};
    }

    void eachWarningAppearsAndClears()
    {
        QFETCH(QStringList, inputs);
        QFETCH(QString, meterType);
        QFETCH(QStringList, warnings);
        WindowFixture w;
        pipelineGas(w);
        for (const QString& input : inputs) {
            const Field f = *fieldByName(input.section(u'=', 0, 0));
            const QString value = input.section(u'=', 1);
            if (f == F::RefCondition)
                w.window.choose(f, value.toInt()); // by position: the item texts are long
            else if (w.form().kind(f) == ControlKind::List)
                w.choose(f, value);
            else
                w.paste(f, value);
        }
        w.compute();
        if (!meterType.isEmpty())
            w.choose(F::MeterType, meterType);
        QCOMPARE(warningsOf(w), warnings);

        // a new input empties the chain: no size, so no size warning; the inputs'
        // own warnings go once the inputs are mended
        w.paste(F::StdFlowMax, w.text(F::StdFlowMax) + u'0');
        QVERIFY(!warningsOf(w).join(u'\n').contains(QStringLiteral("size")));
        w.paste(F::PabsMin, QStringLiteral("150"));
        w.paste(F::PabsMax, QStringLiteral("200"));
        w.paste(F::TempMin, QStringLiteral("-10"));
        w.choose(F::RefCondition, kRef25);
        w.paste(F::Hs, QStringLiteral("38.5"));
        QCOMPARE(warningsOf(w), QStringList {});
    }

    // In mode "不修正" the method is not used: its range is not judged.
    void typedZnZgAreNotJudgedByTheMethod()
    {
        WindowFixture w;
        w.typedZnZg(QStringLiteral("10"), QStringLiteral("100"), QStringLiteral("150"), QStringLiteral("200"));
        w.paste(F::ZnZgMin, QStringLiteral("1"));
        w.paste(F::ZnZgMax, QStringLiteral("1"));
        w.paste(F::Hs, QStringLiteral("60"));
        w.compute();
        QVERIFY(!w.text(F::WorkFlowMax).isEmpty());
        QCOMPARE(warningsOf(w), QStringList {});
        w.choose(F::ZMode, QStringLiteral("修正"));
        QCOMPARE(warningsOf(w).size(), 1);
        QVERIFY(warningsOf(w).front().startsWith(QStringLiteral("sgerg-outside: ")));
    }

    // A new window's own default gas (Hs 45 at 20/20, 48.29 at the method's 25/0) is
    // outside the method's range, and a pressure typed half way is low: nothing is
    // told before "计算工况流量" has read the inputs, in either mode; then the
    // warnings follow the inputs as they are typed.
    void inputsSpeakOnceComputed()
    {
        WindowFixture w;
        QCOMPARE(warningsOf(w), QStringList {});
        w.paste(F::PabsMin, QStringLiteral("20"));
        QCOMPARE(warningsOf(w), QStringList {});
        w.choose(F::ZMode, QStringLiteral("不修正"));
        QCOMPARE(warningsOf(w), QStringList {});
        w.choose(F::ZMode, QStringLiteral("修正"));
        w.paste(F::StdFlowMin, QStringLiteral("10"));
        w.paste(F::StdFlowMax, QStringLiteral("100"));
        w.paste(F::PabsMin, QStringLiteral("150"));
        w.compute();
        QCOMPARE(warningsOf(w).size(), 1);
        QVERIFY(warningsOf(w).front().startsWith(QStringLiteral("sgerg-outside: ")));
        w.paste(F::PabsMin, QStringLiteral("20"));
        QCOMPARE(warningsOf(w).size(), 2);
        QVERIFY(warningsOf(w).front().startsWith(QStringLiteral("low-absolute-pressure: ")));
    }
};

QTEST_GUILESS_MAIN(TestSelectionWarnings)
#include "tst_selection_warnings.moc"
