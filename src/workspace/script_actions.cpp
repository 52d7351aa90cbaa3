#include "workspace/script_actions.h"

#include "workspace/workspace.h"

void ScriptActions::type(SelectionWindow& w, Field f, const QString& keys)
{
    w.type(f, keys);
}

void ScriptActions::paste(SelectionWindow& w, Field f, const QString& text)
{
    w.paste(f, text);
}

void ScriptActions::choose(SelectionWindow& w, Field f, int index)
{
    w.choose(f, index);
}

void ScriptActions::click(SelectionWindow& w, Button button)
{
    switch (button) {
    case Button::ComputeFlow: w.clickComputeFlow(); break;
    case Button::Select: w.clickSelect(); break;
    case Button::Save: w.dispatch([&] { m_workspace.save(w); }); break;
    case Button::Print: w.dispatch([&] { m_workspace.print(w); }); break;
    }
}

void ScriptActions::leave(SelectionWindow& w, Field f)
{
    w.leave(f);
}

void ScriptActions::newSelection()
{
    m_workspace.newSelection();
}

void ScriptActions::openSelected()
{
    m_workspace.openRecord();
}

void ScriptActions::copySelected()
{
    m_workspace.copyRecord();
}

void ScriptActions::search(const QString& text)
{
    m_workspace.search(text);
}

void ScriptActions::deleteSelected()
{
    m_workspace.deleteRecord();
}

void ScriptActions::close(SelectionWindow& w)
{
    m_workspace.close(&w);
}

void ScriptActions::activate(SelectionWindow& w)
{
    m_workspace.makeCurrent(&w);
}

std::vector<SelectionWarning> ScriptActions::warnings(SelectionWindow& w)
{
    return selectionWarnings(w.context());
}

std::vector<SizeCandidate> ScriptActions::candidates(SelectionWindow& w)
{
    return sizeCandidates(w.context());
}
