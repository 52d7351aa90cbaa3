#include "apps/common/json_line.h"
#include "support/script_fixture.h"

#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QTest>

class TestScriptRunner final : public QObject {
    Q_OBJECT

private slots:
    void textArgument_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("stored");
        QTest::newRow("rest of the line") << "paste TempMin -20"
                                          << "-20";
        QTest::newRow("blanks kept") << "paste TempMin  -20 "
                                     << " -20 ";
        QTest::newRow("json literal") << "paste TempMin \" -20 \""
                                      << " -20 ";
        QTest::newRow("json empty") << "paste TempMin \"\""
                                    << "";
        QTest::newRow("no text") << "paste TempMin"
                                 << "";
        QTest::newRow("chinese escape") << "paste TempMin \"\\u4e2d\""
                                        << "中";
        QTest::newRow("leading blanks before the command") << "   paste TempMin 5"
                                                           << "5";
        QTest::newRow("carriage return") << "paste TempMin 7\r"
                                         << "7";
    }

    void textArgument()
    {
        QFETCH(QString, line);
        QFETCH(QString, stored);
        ScriptFixture s;
        QVERIFY(s.runner.runLine(1, line));
        QCOMPARE(s.workspace.current()->form().text(Field::TempMin), stored);
    }

    void skippedLines()
    {
        ScriptFixture s;
        QCOMPARE(s.run(QStringLiteral("\n   \n# a comment\n  # another\n")), QStringList());
    }

    void badLines_data()
    {
        QTest::addColumn<QString>("line");
        QTest::newRow("unknown command") << "frobnicate";
        QTest::newRow("unknown field") << "type Nothing 5";
        QTest::newRow("type into a label") << "type WorkFlowMin 5";
        QTest::newRow("type into a list") << "type Medium 5";
        QTest::newRow("type into a disabled box") << "type ZnZgMin 1";
        QTest::newRow("choose in an edit box") << "choose PabsMin 5";
        QTest::newRow("choose an item not offered") << "choose Medium 水";
        QTest::newRow("choose in an empty list") << "choose MeterType 气体涡轮";
        QTest::newRow("bad json") << "paste Hs \"unterminated";
        QTest::newRow("two json strings") << "paste Hs \"a\" \"b\"";
        QTest::newRow("json number") << "paste Hs \"a\",1";
        QTest::newRow("paste letters into the number") << "paste SelectionNo 2026a";
        QTest::newRow("paste twelve digits") << "paste SelectionNo 202612100011";
        QTest::newRow("unknown button") << "click 取消";
        QTest::newRow("click without button") << "click";
        QTest::newRow("leave a label") << "leave ResultText";
        QTest::newRow("leave a disabled box") << "leave ZnZgMax";
        QTest::newRow("show an unknown name") << "show Medium Nothing";
        QTest::newRow("window zero") << "window 0";
        QTest::newRow("window not created") << "window 5";
        QTest::newRow("window not a number") << "window x";
        QTest::newRow("close with an argument") << "close now";
        QTest::newRow("new with an argument") << "new 2";
        QTest::newRow("type without field") << "type";
    }

    void badLines()
    {
        QFETCH(QString, line);
        ScriptFixture s;
        const QStringList before = s.run(QStringLiteral("show"));
        const QStringList out = s.run(line);
        QCOMPARE(out.size(), 1);
        const QJsonObject e = QJsonDocument::fromJson(out[0].toUtf8()).object();
        QCOMPARE(e.value(QStringLiteral("event")).toString(), QStringLiteral("script-error"));
        QCOMPARE(e.value(QStringLiteral("line")).toInt(), 1);
        QVERIFY(!e.value(QStringLiteral("text")).toString().isEmpty());
        QCOMPARE(s.run(QStringLiteral("show")), before); // nothing changed
        QCOMPARE(s.workspace.windows().size(), size_t(1));
    }

    void linesNeedingAWindowFailWithoutOne()
    {
        ScriptFixture s;
        const QStringList out = s.run(QStringLiteral("close\nshow\ntype Hs 5\nnew\nshow Caption"));
        QCOMPARE(out.size(), 4);
        QVERIFY(out[0].contains(QStringLiteral("\"script-error\",\"line\":2")));
        QVERIFY(out[1].contains(QStringLiteral("\"script-error\",\"line\":3")));
        QCOMPARE(out[2],
            QStringLiteral("{\"event\":\"window\",\"caption\":\"流量计选型-1\",\"SelectionNo\":\"20261210001\"}"));
        QCOMPARE(out[3],
            QStringLiteral("{\"event\":\"field\",\"name\":\"Caption\",\"text\":\"流量计选型-1\",\"enabled\":true}"));
    }

    void showPrintsFieldsAsTheControlsHoldThem()
    {
        ScriptFixture s;
        const QStringList out = s.run(QStringLiteral("show Medium PabsMax Pending SelectionNo"));
        QCOMPARE(out,
            (QStringList {
                "{\"event\":\"field\",\"name\":\"Medium\",\"text\":\"城市天然气或城市煤气\",\"enabled\":true,"
                "\"items\":[\"城市天然气或城市煤气\",\"油田天然气\",\"煤层气\",\"空气或氮气或惰性气体\",\"氧气或氢气\"]"
                ","
                "\"index\":0}",
                "{\"event\":\"field\",\"name\":\"PabsMax\",\"text\":\"200\",\"enabled\":true}",
                "{\"event\":\"pending\",\"row\":null}",
                "{\"event\":\"field\",\"name\":\"SelectionNo\",\"text\":\"20261210001\",\"enabled\":true}",
            }));
        QCOMPARE(s.run(QStringLiteral("show")).size(), kFieldCount);
    }

    void typingBeepsForRefusedKeys()
    {
        ScriptFixture s;
        QCOMPARE(s.run(QStringLiteral("type StdFlowMin a\nshow StdFlowMin")),
            (QStringList {"{\"event\":\"beep\"}",
                "{\"event\":\"field\",\"name\":\"StdFlowMin\",\"text\":\"\",\"enabled\":true}"}));
        QCOMPARE(s.run(QStringLiteral("type SelectionNo 202701011234x\nshow SelectionNo")),
            (QStringList {"{\"event\":\"beep\"}", "{\"event\":\"beep\"}",
                "{\"event\":\"field\",\"name\":\"SelectionNo\",\"text\":\"20270101123\",\"enabled\":true}"}));
    }

    void windowsAndActivationOrder()
    {
        ScriptFixture s;
        const QStringList out
            = s.run(QStringLiteral("new\nnew\nwindow 1\nclose\nshow Caption\nclose\nshow Caption\nwindow 1"));
        QCOMPARE(out.size(), 5);
        QVERIFY(out[0].contains(QStringLiteral("流量计选型-2")));
        QVERIFY(out[1].contains(QStringLiteral("流量计选型-3")));
        QVERIFY(out[2].contains(QStringLiteral("\"text\":\"流量计选型-3\"")));
        QVERIFY(out[3].contains(QStringLiteral("\"text\":\"流量计选型-2\"")));
        QVERIFY(out[4].contains(QStringLiteral("script-error")));
    }

    // Thousands of random and malformed lines: the runner never crashes or hangs,
    // every line that cannot be carried out is one script error, and the window
    // holds sane state throughout.
    void randomLines()
    {
        ScriptFixture s;
        QRandomGenerator rng(20261210);
        const QStringList commands
            = {"type", "paste", "choose", "click", "leave", "show", "new", "window", "close", "frob", "", "#", "TYPE"};
        QStringList names;
        for (Field f : allFields())
            names << fieldName(f);
        names << "Caption"
              << "Pending"
              << "Bogus"
              << "";
        const QStringList texts = {"10", "-20", "abc", "", " ", "1e999", "\"\"", "\"x", "\" 5 \"", "1.2.3",
            "计算工况流量", "选型", "气体涡轮", "修正", "不修正", "0", "-273.15", "1e-300", "99999999999",
            "\"\\u0000\"", "国产", "有", "无", "0.5", "城市天然气或城市煤气"};
        auto pick = [&](const QStringList& l) { return l[rng.bounded(static_cast<int>(l.size()))]; };
        QElapsedTimer timer;
        timer.start();
        for (int i = 1; i <= 5000; ++i) {
            QString line = pick(commands);
            const int parts = rng.bounded(4);
            for (int p = 0; p < parts; ++p)
                line += u' ' + (p == 0 ? pick(names) : pick(texts));
            if (rng.bounded(20) == 0)
                line = QString::fromUtf8(QByteArray::number(rng.generate64(), 36));
            s.lines.clear();
            const bool ran = s.runner.runLine(i, line);
            int errors = 0;
            for (const QString& out : std::as_const(s.lines)) {
                const QJsonObject e = QJsonDocument::fromJson(out.toUtf8()).object();
                QVERIFY2(!e.isEmpty(), qPrintable(out));
                if (e.value(QStringLiteral("event")).toString() == u"script-error") {
                    ++errors;
                    QCOMPARE(e.value(QStringLiteral("line")).toInt(), i);
                }
            }
            QCOMPARE(errors, ran ? 0 : 1);
            if (!ran)
                QCOMPARE(s.lines.size(), 1);
            if (SelectionWindow* w = s.workspace.current()) {
                for (Field f : allFields()) {
                    const int index = w->form().index(f);
                    QVERIFY(index >= -1 && index < w->form().count(f));
                }
            }
        }
        QVERIFY(timer.elapsed() < 120000);
    }
};

QTEST_GUILESS_MAIN(TestScriptRunner)
#include "tst_script_runner.moc"
