#include "core/ports/message_kinds.h"
#include "core/ports/platform.h"
#include "support/recording_platform.h"

#include <QTest>

class TestPorts final : public QObject {
    Q_OBJECT

private slots:
    void showBoxKinds_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("icon");
        QTest::addColumn<bool>("cancel");
        using Icon = ShowBoxKind::Icon;
        QTest::newRow("information") << 1 << "Corvane仪表集团仪表选型系统（V1.0）提示:" << int(Icon::Exclamation)
                                     << false;
        QTest::newRow("question") << 2 << "Corvane仪表集团仪表选型系统（V1.0）询问?" << int(Icon::Question) << true;
        QTest::newRow("warning") << 3 << "Corvane仪表集团仪表选型系统（V1.0）谨告!" << int(Icon::Stop) << true;
        QTest::newRow("error") << 4 << "Corvane仪表集团仪表选型系统（V1.0）错误提示!" << int(Icon::Stop) << false;
        QTest::newRow("any other") << 7 << "Corvane仪表集团仪表选型系统（V1.0）错误提示!" << int(Icon::Stop) << false;
    }

    void showBoxKinds()
    {
        QFETCH(int, kind);
        QFETCH(QString, title);
        QFETCH(int, icon);
        QFETCH(bool, cancel);
        const ShowBoxKind k = showBoxKind(static_cast<MessageKind>(kind));
        QCOMPARE(k.title, title);
        QCOMPARE(int(k.icon), icon);
        QCOMPARE(k.withCancel, cancel);
    }

    // The echo hears every event first; the answer is the answering platform's.
    void echoingPlatformTellsBoth()
    {
        RecordingPlatform answering;
        answering.answer = Platform::Cancel;
        RecordingPlatform echo;
        EchoingPlatform both(answering, echo);
        both.plainMessage(QStringLiteral("a"));
        QCOMPARE(both.showBox(MessageKind::Question, QStringLiteral("b")), int(Platform::Cancel));
        both.beep();
        both.setFocus(QStringLiteral("PabsMax"));
        both.generalError(QStringLiteral("c"));
        const QStringList expected = {"plain: a", "box 2: b", "beep", "focus: PabsMax", "error: c"};
        QCOMPARE(echo.events, expected);
        QCOMPARE(answering.events, expected);
    }
};

QTEST_GUILESS_MAIN(TestPorts)
#include "tst_ports.moc"
