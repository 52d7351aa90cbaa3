#pragma once

#include "core/form/buttons.h"
#include "core/form/fields.h"
#include "core/ports/platform.h"
#include "core/ports/selection_store.h"
#include "workspace/checked_actions.h"
#include "workspace/script_actions.h"
#include "workspace/workspace.h"

#include <QRegularExpression>
#include <QStringList>

// The JSON lines of the messages the program shows, as the script runner prints them.
inline QString showBoxLine(const QString& text, int kind = 1)
{
    const QString title = kind == 1 ? QStringLiteral("Corvane仪表集团仪表选型系统（V1.0）提示:")
                                    : QStringLiteral("Corvane仪表集团仪表选型系统（V1.0）错误提示!");
    return QStringLiteral("{\"event\":\"message\",\"box\":\"ShowBox\",\"kind\":%1,\"title\":\"%2\",\"text\":\"%3\"}")
        .arg(kind)
        .arg(title, text);
}

inline QString plainLine(const QString& text)
{
    return QStringLiteral("{\"event\":\"message\",\"box\":\"plain\",\"title\":\"Corvane仪表集团仪表选型系统（V1.0）\","
                          "\"text\":\"%1\"}")
        .arg(text);
}

inline QString focusLine(const QString& target)
{
    return QStringLiteral("{\"event\":\"focus\",\"target\":\"%1\"}").arg(target);
}

// Script lines that compute exact working flows: Qmin and Qmax at standard
// conditions come out unchanged at line conditions (K = 1 at both limits), while
// PabsMax takes the given value for the pressure rules.
inline QString flowLines(const QString& medium, const QString& qmin, const QString& qmax, const QString& pabsMax)
{
    const QString znzgMin = QString::number(101.325 / pabsMax.toDouble(), 'g', 17);
    return QStringLiteral("choose Medium %1\n"
                          "paste StdFlowMin %2\npaste StdFlowMax %3\n"
                          "paste PabsMin 101.325\npaste PabsMax %4\n"
                          "paste TempMin 20\npaste TempMax 20\n"
                          "choose ZMode 不修正\npaste ZnZgMax 1\npaste ZnZgMin %5\n"
                          "click 计算工况流量\n")
        .arg(medium, qmin, qmax, pabsMax, znzgMin);
}

// A store that holds no rows and takes none: the list of windows that select a
// meter but never save or open a stored one.
class NoRowsStore final : public SelectionStore {
public:
    StoreResult<bool> createSchema() override { return true; }
    StoreResult<bool> exists(const QString&) override { return false; }
    StoreResult<bool> insert(const StoredRow&) override { return refused(); }
    StoreResult<QString> insertUnderFreeNumber(const StoredRow&) override { return refused(); }
    StoreResult<std::optional<StoredRow>> fetch(const QString&) override { return std::optional<StoredRow>(); }
    StoreResult<bool> remove(const QString&) override { return false; }
    StoreResult<std::vector<StoredRow>> readPage(const ListQuery&, int) override { return std::vector<StoredRow>(); }
    StoreResult<bool> holds(const ListQuery&, const QString&) override { return false; }
    bool searchIsIndexed(const QString&) override { return true; }
    StoreResult<ScannedSlice> scanSlice(const ListQuery&, int, int) override { return ScannedSlice(); }
    StoreResult<int> highestSequenceOfDay(const QString&) override { return 0; }
    StoreResult<QStringList> numbersOfDay(const QString&) override { return QStringList(); }
    StoreResult<std::optional<PrintRow>> fetchPrintRow(const QString&) override { return std::optional<PrintRow>(); }
    StoreResult<std::vector<StoredRow>> readInNumberOrder(const QString&, int) override
    {
        return std::vector<StoredRow>();
    }
    StoreResult<InsertOutcome> insertUnlessStored(const std::vector<StoredRow>&) override { return refused(); }

private:
    static StoreError refused()
    {
        return {QStringLiteral("insert"), QStringLiteral("this store takes no rows"), StoreError::Kind::Failed};
    }
};

// A workspace with its first window, driven by the lines of a selection script that
// act on the window as the user would: `paste FIELD TEXT`, `type FIELD TEXT`,
// `choose FIELD ITEM` and `click CAPTION` ("计算工况流量", "选型"), TEXT and ITEM
// the rest of the line after one blank, or in double quotes. What the window shows
// becomes the lines the script runner prints for it. A line the window cannot take
// (an unknown command, field, item or button, a control that is disabled or of
// another kind) changes nothing and adds a "script-error" line, as with the runner.
// Only the core and the workspace: the tests of the core's steps need no program.
struct WindowScript : Platform {
    QStringList lines;
    NoRowsStore store;
    Workspace workspace {*this, QStringLiteral("20261210"), store};

    WindowScript()
    {
        workspace.showMainWindow();
        workspace.activate();
        lines.clear();
    }

    // Runs the lines and returns what they printed.
    QStringList run(const QString& script)
    {
        lines.clear();
        int number = 0;
        for (QString line : script.split(u'\n')) {
            ++number;
            if (line.endsWith(u'\r'))
                line.chop(1);
            if (const QString why = carryOut(line); !why.isEmpty())
                lines
                    << QStringLiteral("{\"event\":\"script-error\",\"line\":%1,\"text\":\"%2\"}").arg(number).arg(why);
        }
        return lines;
    }

    void plainMessage(const QString& text) override { lines << plainLine(text); }
    int showBox(MessageKind kind, const QString& text) override
    {
        lines << showBoxLine(text, static_cast<int>(kind));
        return Ok;
    }
    void beep() override { lines << QStringLiteral("{\"event\":\"beep\"}"); }
    void setFocus(const QString& target) override { lines << focusLine(target); }
    void generalError(const QString& text) override
    {
        lines << QStringLiteral("{\"event\":\"error\",\"text\":\"%1\"}").arg(text);
    }

private:
    // Why the line could not be carried out; empty once it has been.
    QString carryOut(const QString& line)
    {
        QString rest;
        const QString command = firstWord(line, &rest);
        if (command.isEmpty() || command.startsWith(u'#'))
            return QString();
        SelectionWindow* w = workspace.current();
        if (!w)
            return noWindowOpen();
        if (command == u"click") {
            const QString caption = rest.trimmed();
            if (caption == buttonCaption(::Button::ComputeFlow))
                w->clickComputeFlow();
            else if (caption == buttonCaption(::Button::Select))
                w->clickSelect();
            else
                return QStringLiteral("unknown button '%1'").arg(caption);
            return QString();
        }
        if (command != u"paste" && command != u"type" && command != u"choose")
            return QStringLiteral("unknown command '%1'").arg(command);
        const QString name = firstWord(rest, &rest);
        const std::optional<Field> f = fieldByName(name);
        if (!f)
            return QStringLiteral("unknown field '%1'").arg(name);
        QString text = rest.mid(1);
        if (text.startsWith(u'"')) {
            if (text.size() < 2 || !text.endsWith(u'"') || text.contains(u'\\'))
                return QStringLiteral("a quoted text without escapes is expected: %1").arg(text);
            text = text.mid(1, text.size() - 2);
        }
        ScriptActions actions(workspace);
        if (command == u"choose")
            return chooseChecked(actions, *w, *f, text);
        return editChecked(actions, *w, *f, text, command == u"paste");
    }

    // The first word of `text` (leading blanks skipped); `rest` what follows it, from
    // the blank that ends it.
    static QString firstWord(const QString& text, QString* rest)
    {
        static const QRegularExpression word(QStringLiteral("^[ \t]*([^ \t]*)"));
        const QRegularExpressionMatch found = word.match(text);
        const QString first = found.captured(1);
        *rest = text.mid(found.capturedEnd(1)); // `text` may be `*rest` itself
        return first;
    }
};

inline const QString kCity = QStringLiteral("城市天然气或城市煤气");
inline const QString kOil = QStringLiteral("油田天然气");
inline const QString kCoal = QStringLiteral("煤层气");
inline const QString kAir = QStringLiteral("空气或氮气或惰性气体");
inline const QString kOxygen = QStringLiteral("氧气或氢气");

// A window driven by script lines (`Fixture`: WindowScript, or the script runner's
// fixture) with helpers for whole selections.
template <class Fixture>
struct SelectionOf : Fixture {
    using Fixture::Fixture;
    using Fixture::workspace;

    const FormModel& form() { return workspace.current()->form(); }
    QString text(Field f) { return form().text(f); }
    QStringList pending()
    {
        const auto& p = workspace.current()->context().pending;
        return p ? *p : QStringList();
    }
    bool hasPending() { return workspace.current()->context().pending.has_value(); }

    bool ranCleanly(const QStringList& out)
    {
        for (const QString& line : out)
            if (line.contains(QStringLiteral("\"script-error\"")))
                return false;
        return true;
    }
};

// Inputs at -20 C to 60 C and 300 to 400 kPa with Zn/Zg typed 1: working flows 17.500
// to 57.575 m3/h, sizes such as 50B, 80B and 50D, sensor range 0.5 MPa first.
inline QString meteringPointLines(const QString& medium)
{
    return QStringLiteral("choose Medium %1\n"
                          "paste StdFlowMin 80\npaste StdFlowMax 150\n"
                          "paste PabsMin 300\npaste PabsMax 400\n"
                          "paste TempMin -20\npaste TempMax 60\n"
                          "choose ZMode 不修正\nclick 计算工况流量\n")
        .arg(medium);
}

using WindowSelection = SelectionOf<WindowScript>;
