#pragma once

#include <QString>

#include <memory>

class EventWriter;
class ScriptActions;
class SelectionWindow;
class Workspace;

// Runs the lines of a selection script against the windows of a workspace, as the
// user's actions in the window would, and reports what the program shows through
// the event writer. A line that cannot be carried out changes nothing and is
// reported as a script error.
class ScriptRunner {
public:
    // `actions` carries the checked lines out; by default on the models directly.
    ScriptRunner(Workspace& workspace, EventWriter& out, ScriptActions* actions = nullptr);
    ~ScriptRunner();

    // Runs one line (numbered from 1); false when it could not be carried out.
    bool runLine(int number, const QString& line);
    // Runs a whole script; returns how many lines could not be carried out.
    int run(const QString& script);

private:
    struct Words;
    void execute(const QString& command, const QString& rest);
    SelectionWindow& currentWindow();

    void type(const QString& rest, bool paste);
    void choose(const QString& rest);
    void click(const QString& rest);
    void leave(const QString& rest);
    void show(const QString& rest);
    void window(const QString& rest);
    void closeWindow(const QString& rest);
    void newWindow(const QString& rest);
    void selectRow(const QString& rest);
    void openRecord(const QString& rest);
    void copyRecord(const QString& rest);
    void deleteRecord(const QString& rest);
    void list(const QString& rest);
    void find(const QString& rest);
    void warnings(const QString& rest);
    void compare(const QString& rest);
    // A `row` event for every row of the list, top first.
    void printList();

    Workspace& m_workspace;
    EventWriter& m_out;
    std::unique_ptr<ScriptActions> m_ownActions;
    ScriptActions* m_actions;
};
