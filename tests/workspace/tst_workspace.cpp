#include "adapters/sqlite/selection_database.h"
#include "support/recording_platform.h"
#include "workspace/workspace.h"

namespace {

// A workspace on a fresh in-memory database.
struct Fixture {
    RecordingPlatform ui;
    SelectionDatabase database;
    bool opened = database.open(SelectionDatabase::memoryPath()) == SelectionDatabase::Opened::Yes;
    Workspace ws {ui, QStringLiteral("20261210"), database};
};

} // namespace

#include <QTest>

class TestWorkspace final : public QObject {
    Q_OBJECT

private slots:
    void firstWindowIsNumberedOne()
    {
        Fixture f;
        Workspace& ws = f.ws;
        ws.activate();
        ws.activate(); // a later activation creates nothing
        QCOMPARE(ws.windows().size(), size_t(1));
        QCOMPARE(ws.current()->caption(), QStringLiteral("流量计选型-1"));
        QCOMPARE(ws.current()->form().text(Field::SelectionNo), QStringLiteral("20261210001"));
    }

    void windowNumberFollowsTheOpenCaptions()
    {
        Fixture f;
        Workspace& ws = f.ws;
        ws.newSelection();
        SelectionWindow& second = ws.newSelection();
        ws.newSelection();
        QVERIFY(ws.close(&second));
        // windows 1 and 3 are open: the next is 4
        QCOMPARE(ws.nextWindowNumber(), 4);
        SelectionWindow& fourth = ws.newSelection();
        QCOMPARE(fourth.caption(), QStringLiteral("流量计选型-4"));
        QCOMPARE(fourth.form().text(Field::SelectionNo), QStringLiteral("20261210004"));
    }

    void numbersStartAgainOnceEveryWindowIsClosed()
    {
        Fixture f;
        Workspace& ws = f.ws;
        ws.newSelection();
        ws.newSelection();
        QVERIFY(ws.closeCurrent());
        QVERIFY(ws.closeCurrent());
        QCOMPARE(ws.nextWindowNumber(), 1);
        QCOMPARE(ws.newSelection().caption(), QStringLiteral("流量计选型-1"));
        QVERIFY(!ws.makeCurrent(1)); // the first window of the session is gone
        QVERIFY(ws.makeCurrent(3));
    }

    void closingReturnsToThePreviouslyActiveWindow()
    {
        Fixture f;
        Workspace& ws = f.ws;
        SelectionWindow& a = ws.newSelection();
        SelectionWindow& b = ws.newSelection();
        SelectionWindow& c = ws.newSelection();
        QVERIFY(ws.makeCurrent(1));
        QCOMPARE(ws.current(), &a);
        QVERIFY(ws.closeCurrent());
        QCOMPARE(ws.current(), &c);
        QVERIFY(ws.closeCurrent());
        QCOMPARE(ws.current(), &b);
        QVERIFY(!ws.makeCurrent(1)); // closed
        QVERIFY(!ws.makeCurrent(9));
        QVERIFY(ws.closeCurrent());
        QCOMPARE(ws.current(), nullptr);
        QVERIFY(!ws.closeCurrent());
    }
};

QTEST_GUILESS_MAIN(TestWorkspace)
#include "tst_workspace.moc"
