#pragma once

#include "workspace/script_actions.h"

class MainWindow;

// Script lines carried out on the real widgets of the desktop program: keys are
// typed into the edit boxes, items chosen in the lists, buttons clicked, rows of the
// list opened. The widgets pass each action on to the models, as for the user.
class GuiScriptActions : public ScriptActions {
public:
    explicit GuiScriptActions(MainWindow& main);

    void type(SelectionWindow& w, Field f, const QString& keys) override;
    void paste(SelectionWindow& w, Field f, const QString& text) override;
    void choose(SelectionWindow& w, Field f, int index) override;
    void click(SelectionWindow& w, Button button) override;
    void leave(SelectionWindow& w, Field f) override;
    void newSelection() override;
    void openSelected() override;
    void copySelected() override;
    void deleteSelected() override;
    void search(const QString& text) override;
    void close(SelectionWindow& w) override;
    void activate(SelectionWindow& w) override;
    void settle() override;
    std::vector<SelectionWarning> warnings(SelectionWindow& w) override;
    std::vector<SizeCandidate> candidates(SelectionWindow& w) override;

private:
    void showSelected();

    MainWindow& m_main;
};
