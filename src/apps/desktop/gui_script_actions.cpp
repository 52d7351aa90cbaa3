#include "apps/desktop/gui_script_actions.h"

#include "apps/desktop/candidates_pane.h"
#include "apps/desktop/filtered_line_edit.h"
#include "apps/desktop/main_window.h"
#include "apps/desktop/notes_area.h"
#include "apps/desktop/radio_group.h"
#include "apps/desktop/selection_widget.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTreeView>

GuiScriptActions::GuiScriptActions(MainWindow& main)
    : ScriptActions(main.workspace())
    , m_main(main)
{
}

void GuiScriptActions::type(SelectionWindow& w, Field f, const QString& keys)
{
    auto* edit = qobject_cast<FilteredLineEdit*>(m_main.widgetOf(&w)->control(f));
    edit->setFocus();
    edit->selectAll();
    auto send = [edit](int key, const QString& text) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
        QApplication::sendEvent(edit, &press);
        QApplication::sendEvent(edit, &release);
    };
    // The characters between two backspaces go in one key event, as fast typing
    // delivers them: the box filters them one by one all the same, but lays its text
    // out once, so a long text is typed in linear time.
    qsizetype start = 0;
    for (qsizetype i = 0; i <= keys.size(); ++i) {
        const bool backspace = i < keys.size() && keys[i] == QChar(8);
        if (i < keys.size() && !backspace)
            continue;
        if (i > start)
            send(keys[start].toUpper().unicode(), keys.mid(start, i - start));
        if (backspace)
            send(Qt::Key_Backspace, QString(QChar(8)));
        start = i + 1;
    }
}

void GuiScriptActions::paste(SelectionWindow& w, Field f, const QString& text)
{
    qobject_cast<FilteredLineEdit*>(m_main.widgetOf(&w)->control(f))->pasteText(text);
}

void GuiScriptActions::choose(SelectionWindow& w, Field f, int index)
{
    QWidget* control = m_main.widgetOf(&w)->control(f);
    if (auto* combo = qobject_cast<QComboBox*>(control)) {
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    } else if (auto* radios = qobject_cast<RadioGroup*>(control)) {
        radios->button(index)->click();
    }
}

void GuiScriptActions::click(SelectionWindow& w, Button button)
{
    SelectionWidget* widget = m_main.widgetOf(&w);
    switch (button) {
    case Button::ComputeFlow: widget->computeButton()->click(); break;
    case Button::Select: widget->selectButton()->click(); break;
    case Button::Save: widget->saveButton()->click(); break;
    case Button::Print: widget->printButton()->click(); break;
    }
}

void GuiScriptActions::leave(SelectionWindow& w, Field f)
{
    m_main.widgetOf(&w)->leave(f);
}

void GuiScriptActions::newSelection()
{
    m_main.newAction()->trigger();
}

// The item of the selected number is made the list's current one when the view holds
// it; a row not yet read is acted on by its number, as the commands work.
void GuiScriptActions::showSelected()
{
    const QString number = m_workspace.list().selected();
    const int item = m_workspace.list().indexOf(number);
    if (item >= 0) {
        QTreeView* list = m_main.recordList();
        list->setCurrentIndex(list->model()->index(item, 0));
    }
    m_workspace.list().select(number);
}

void GuiScriptActions::openSelected()
{
    showSelected();
    m_main.openRecordAction()->trigger();
}

void GuiScriptActions::copySelected()
{
    showSelected();
    m_main.copyRecordAction()->trigger();
}

void GuiScriptActions::deleteSelected()
{
    showSelected();
    m_main.deleteRecordAction()->trigger();
}

void GuiScriptActions::search(const QString& text)
{
    QLineEdit* box = m_main.searchBox();
    box->setFocus();
    box->selectAll();
    box->insert(text);
    m_main.applySearch();
}

void GuiScriptActions::close(SelectionWindow& w)
{
    m_main.subWindowOf(&w)->close();
}

void GuiScriptActions::settle()
{
    // A script runs inside one turn of the event loop. What the user's action would
    // leave to the loop is done now: posted updates, and closed windows deleted.
    // Otherwise they pile up, and every widget deleted later searches them all.
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

std::vector<SelectionWarning> GuiScriptActions::warnings(SelectionWindow& w)
{
    // what the window's line shows, once the loop has shown the last action's changes
    settle();
    return m_main.widgetOf(&w)->shownWarnings();
}

std::vector<SizeCandidate> GuiScriptActions::candidates(SelectionWindow& w)
{
    // what the pane shows, once the loop has shown the last action's changes
    settle();
    return m_main.widgetOf(&w)->candidatesPane()->shown();
}

void GuiScriptActions::activate(SelectionWindow& w)
{
    m_main.mdiArea()->setActiveSubWindow(m_main.subWindowOf(&w));
    m_workspace.makeCurrent(&w);
}
