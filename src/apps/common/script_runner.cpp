#include "apps/common/script_runner.h"

#include "apps/common/event_writer.h"
#include "apps/common/json_line.h"
#include "workspace/checked_actions.h"
#include "workspace/script_actions.h"
#include "workspace/workspace.h"

#include <QStringTokenizer>

#include <optional>

namespace {

// Why a line could not be carried out.
struct LineError {
    QString text;
};

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

// Splits the first word off `text` (leading blanks skipped); `rest` is what follows
// the word, starting at the blank that ends it.
QString firstWord(const QString& text, QString* rest)
{
    qsizetype i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    qsizetype end = i;
    while (end < text.size() && !isBlank(text[end]))
        ++end;
    QString word = text.mid(i, end - i);
    if (rest)
        *rest = text.mid(end); // may be `text` itself
    return word;
}

QStringList words(const QString& text)
{
    QStringList result;
    QString rest = text;
    for (QString word = firstWord(rest, &rest); !word.isEmpty(); word = firstWord(rest, &rest))
        result << word;
    return result;
}

void noArguments(const QString& rest)
{
    if (!words(rest).isEmpty())
        throw LineError {QStringLiteral("this command takes no arguments")};
}

QString oneArgument(const QString& rest)
{
    const QStringList w = words(rest);
    if (w.size() != 1)
        throw LineError {QStringLiteral("this command takes one argument")};
    return w.front();
}

// TEXT: the rest of the line after the single blank that ends the previous word,
// as it stands, or a JSON string literal when it begins with a double quote.
QString textArgument(const QString& rest)
{
    if (rest.isEmpty())
        return QString();
    const QString text = rest.mid(1);
    if (!text.startsWith(u'"'))
        return text;
    const std::optional<QString> decoded = parseJsonString(text);
    if (!decoded)
        throw LineError {QStringLiteral("not a valid JSON string literal: %1").arg(text)};
    return *decoded;
}

Field fieldArgument(const QString& name)
{
    if (name.isEmpty())
        throw LineError {QStringLiteral("a field name is missing")};
    const std::optional<Field> f = fieldByName(name);
    if (!f)
        throw LineError {QStringLiteral("unknown field '%1'").arg(name)};
    return *f;
}

} // namespace

ScriptRunner::ScriptRunner(Workspace& workspace, EventWriter& out, ScriptActions* actions)
    : m_workspace(workspace)
    , m_out(out)
    , m_ownActions(actions ? nullptr : std::make_unique<ScriptActions>(workspace))
    , m_actions(actions ? actions : m_ownActions.get())
{
}

ScriptRunner::~ScriptRunner() = default;

int ScriptRunner::run(const QString& script)
{
    int failed = 0;
    int number = 0;
    // line by line, without a copy of every line: a long script costs what one line costs
    for (const QStringView line : QStringTokenizer(script, u'\n')) {
        ++number;
        if (line.isEmpty() && line.end() == script.constEnd())
            break; // the newline that ends the last line
        if (!runLine(number, line.toString()))
            ++failed;
    }
    return failed;
}

bool ScriptRunner::runLine(int number, const QString& rawLine)
{
    QString line = rawLine;
    if (line.endsWith(u'\r'))
        line.chop(1);
    QString rest;
    const QString command = firstWord(line, &rest);
    if (command.isEmpty() || command.startsWith(u'#'))
        return true;
    bool carriedOut = true;
    try {
        execute(command, rest);
    } catch (const LineError& e) {
        m_out.scriptError(number, e.text);
        carriedOut = false;
    }
    m_actions->settle();
    return carriedOut;
}

void ScriptRunner::execute(const QString& command, const QString& rest)
{
    if (command == u"type")
        type(rest, false);
    else if (command == u"paste")
        type(rest, true);
    else if (command == u"choose")
        choose(rest);
    else if (command == u"click")
        click(rest);
    else if (command == u"leave")
        leave(rest);
    else if (command == u"show")
        show(rest);
    else if (command == u"new")
        newWindow(rest);
    else if (command == u"window")
        window(rest);
    else if (command == u"close")
        closeWindow(rest);
    else if (command == u"open")
        openRecord(rest);
    else if (command == u"delete")
        deleteRecord(rest);
    else if (command == u"list")
        list(rest);
    else if (command == u"find")
        find(rest);
    else if (command == u"copy")
        copyRecord(rest);
    else if (command == u"warnings")
        warnings(rest);
    else if (command == u"compare")
        compare(rest);
    else
        throw LineError {QStringLiteral("unknown command '%1'").arg(command)};
}

SelectionWindow& ScriptRunner::currentWindow()
{
    SelectionWindow* w = m_workspace.current();
    if (!w)
        throw LineError {noWindowOpen()};
    return *w;
}

void ScriptRunner::type(const QString& rest, bool paste)
{
    QString afterField;
    const Field f = fieldArgument(firstWord(rest, &afterField));
    const QString text = textArgument(afterField);
    if (const QString why = editChecked(*m_actions, currentWindow(), f, text, paste); !why.isEmpty())
        throw LineError {why};
}

void ScriptRunner::choose(const QString& rest)
{
    QString afterField;
    const Field f = fieldArgument(firstWord(rest, &afterField));
    const QString text = textArgument(afterField);
    if (const QString why = chooseChecked(*m_actions, currentWindow(), f, text); !why.isEmpty())
        throw LineError {why};
}

void ScriptRunner::click(const QString& rest)
{
    const QString caption = oneArgument(rest);
    for (Button button : {Button::ComputeFlow, Button::Select, Button::Save, Button::Print}) {
        if (caption == buttonCaption(button)) {
            m_actions->click(currentWindow(), button);
            return;
        }
    }
    throw LineError {QStringLiteral("unknown button '%1'").arg(caption)};
}

void ScriptRunner::leave(const QString& rest)
{
    const Field f = fieldArgument(oneArgument(rest));
    if (const QString why = leaveChecked(*m_actions, currentWindow(), f); !why.isEmpty())
        throw LineError {why};
}

void ScriptRunner::show(const QString& rest)
{
    SelectionWindow& w = currentWindow();
    const QStringList names = words(rest);
    // Check every name before printing any, so a bad line prints nothing.
    for (const QString& name : names) {
        if (name != u"Caption" && name != u"Pending")
            fieldArgument(name);
    }
    if (names.isEmpty()) {
        for (Field f : allFields())
            m_out.field(w.form(), f);
        return;
    }
    for (const QString& name : names) {
        if (name == u"Caption")
            m_out.field(name, w.caption());
        else if (name == u"Pending")
            m_out.pending(w.context().pending ? &*w.context().pending : nullptr);
        else
            m_out.field(w.form(), fieldArgument(name));
    }
}

void ScriptRunner::window(const QString& rest)
{
    const QString arg = oneArgument(rest);
    bool ok = false;
    const int n = arg.toInt(&ok);
    SelectionWindow* w = ok && allDigits(arg) ? m_workspace.createdWindow(n) : nullptr;
    if (!w)
        throw LineError {QStringLiteral("there is no open selection window %1").arg(arg)};
    m_actions->activate(*w);
}

void ScriptRunner::closeWindow(const QString& rest)
{
    noArguments(rest);
    m_actions->close(currentWindow());
}

void ScriptRunner::newWindow(const QString& rest)
{
    noArguments(rest);
    m_actions->newSelection();
}

// The row is looked for by its number: among the rows the list holds, or in the
// store among those it is still to read, as scrolling down would bring it.
void ScriptRunner::selectRow(const QString& rest)
{
    const QString number = oneArgument(rest);
    SelectionList& list = m_workspace.list();
    const StoreResult<bool> held = list.holds(number);
    if (!held.ok())
        throw LineError {QStringLiteral("the list cannot be read: %1").arg(held.error().message)};
    if (!held.value())
        throw LineError {QStringLiteral("the list holds no selection %1").arg(number)};
    list.select(number);
}

void ScriptRunner::openRecord(const QString& rest)
{
    selectRow(rest);
    m_actions->openSelected();
}

void ScriptRunner::copyRecord(const QString& rest)
{
    selectRow(rest);
    m_actions->copySelected();
}

void ScriptRunner::deleteRecord(const QString& rest)
{
    selectRow(rest);
    m_actions->deleteSelected();
}

void ScriptRunner::list(const QString& rest)
{
    noArguments(rest);
    printList();
}

void ScriptRunner::find(const QString& rest)
{
    m_actions->search(textArgument(rest));
    printList();
}

void ScriptRunner::warnings(const QString& rest)
{
    noArguments(rest);
    for (const SelectionWarning& warning : m_actions->warnings(currentWindow()))
        m_out.warning(warning.code, warning.text);
}

void ScriptRunner::compare(const QString& rest)
{
    noArguments(rest);
    for (const SizeCandidate& candidate : m_actions->candidates(currentWindow()))
        m_out.candidate(candidate);
}

void ScriptRunner::printList()
{
    m_workspace.list().forEachRow([this](const QStringList& row) { m_out.row(row); });
}
