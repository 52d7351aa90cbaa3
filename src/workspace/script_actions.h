#pragma once

#include "core/form/buttons.h"
#include "core/form/fields.h"
#include "workspace/selection_warnings.h"
#include "workspace/size_candidates.h"

#include <QString>

class SelectionWindow;
class Workspace;

// What a script line does once it has been checked: the user's actions on the
// windows. The headless runner acts on the models directly; the desktop program
// acts on the real widgets, which pass the actions on to the same models.
class ScriptActions {
public:
    explicit ScriptActions(Workspace& workspace)
        : m_workspace(workspace)
    {
    }
    virtual ~ScriptActions() = default;

    virtual void type(SelectionWindow& w, Field f, const QString& keys);
    virtual void paste(SelectionWindow& w, Field f, const QString& text);
    virtual void choose(SelectionWindow& w, Field f, int index);
    virtual void click(SelectionWindow& w, Button button);
    virtual void leave(SelectionWindow& w, Field f);
    virtual void newSelection();
    virtual void openSelected();
    virtual void copySelected();
    virtual void deleteSelected();
    // Types the text into the search box above the list.
    virtual void search(const QString& text);
    virtual void close(SelectionWindow& w);
    virtual void activate(SelectionWindow& w);
    // The window's warning line, as it reads now.
    virtual std::vector<SelectionWarning> warnings(SelectionWindow& w);
    // The window's pane "规格比较", as it reads now.
    virtual std::vector<SizeCandidate> candidates(SelectionWindow& w);
    // After each line: what returning to the event loop would do, where there is one.
    virtual void settle() { }

protected:
    Workspace& m_workspace;
};
