#pragma once

#include "core/form/selection_context.h"

#include <QString>

#include <functional>

class Platform;

// One selection window without a screen (the headless TMDIChild): its selection,
// its caption and the handlers wired to its controls. The user's actions enter
// here; a handler that ends on an error is reported by the application's general
// error report and the window goes on.
class SelectionWindow {
public:
    explicit SelectionWindow(Platform& ui);
    SelectionWindow(const SelectionWindow&) = delete;
    SelectionWindow& operator=(const SelectionWindow&) = delete;

    SelectionContext& context() { return m_context; }
    const SelectionContext& context() const { return m_context; }
    FormModel& form() { return m_context.form; }
    const FormModel& form() const { return m_context.form; }

    // "流量计选型-N" for a window numbered N by the command "new selection"; a window
    // opened from a stored selection has no number and no caption.
    QString caption() const;
    int windowNumber() const { return m_windowNumber; }
    void setWindowNumber(int number) { m_windowNumber = number; }
    // The sequence of today's number that the workspace counts as this window's
    // (0: none), kept by the workspace.
    int takenSequence() const { return m_takenSequence; }
    void setTakenSequence(int sequence) { m_takenSequence = sequence; }
    // The number the program gave the window (empty: none, or the window's selection
    // is stored under it). While the number box shows it, a save may store the
    // selection under the next free number when another program took it meanwhile;
    // a number the user typed is saved as it is, or refused.
    const QString& assignedNumber() const { return m_assignedNumber; }
    void setAssignedNumber(const QString& number) { m_assignedNumber = number; }

    // What the user does. Each returns after the handlers it set off have run.
    void type(Field f, const QString& keys);  // select all, then type key by key
    void paste(Field f, const QString& text); // replace the text, no key filter
    void choose(Field f, int index);          // a list item or a radio button
    void leave(Field f);                      // the focus leaves the control
    void clickComputeFlow();                  // "计算工况流量"
    void clickSelect();                       // "选型"

    // Runs one of the window's handlers as the event loop would: an error ends it
    // with the general error report.
    void dispatch(const std::function<void()>& handler);

private:
    void wireHandlers();

    SelectionContext m_context;
    int m_windowNumber = 0;
    int m_takenSequence = 0;
    QString m_assignedNumber;
};
