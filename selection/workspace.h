#pragma once

#include "selection_window.h"

#include <QString>

#include <functional>
#include <memory>
#include <vector>

class Platform;

// The main window without a screen: it creates, numbers and closes the selection
// windows and knows which one is current.
class Workspace {
public:
    // `today` is the local date as yyyymmdd, used for numbering selections.
    Workspace(Platform& ui, QString today);
    ~Workspace();

    // Told when a window has been created (before it is shown: a view can attach
    // itself) and when it has been shown (numbered or restored).
    std::function<void(SelectionWindow&)> onWindowCreated;
    std::function<void(SelectionWindow&)> onWindowShown;
    std::function<void(SelectionWindow&)> onWindowClosing;

    // The first selection window, created once when the main window is first
    // activated; later activations create none.
    void activate();
    // The command "new selection": a new, numbered window, which becomes current.
    SelectionWindow& newSelection();

    SelectionWindow* current() const;
    // Makes the n-th window created in this session current (1 is the first one);
    // false if there is no such window or it has been closed.
    bool makeCurrent(int creationNumber);
    bool makeCurrent(SelectionWindow* window);
    // Closes the current window; the window active before it becomes current.
    bool closeCurrent();
    bool close(SelectionWindow* window);
    // The open windows, in creation order.
    std::vector<SelectionWindow*> windows() const;
    int creationNumber(const SelectionWindow* window) const;

    const QString& today() const { return m_today; }
    Platform& ui() const { return m_ui; }

    // The window number of a new window: one more than the largest number in the
    // captions of the open windows.
    int nextWindowNumber() const;

private:
    SelectionWindow& createWindow();
    void numberNewWindow(SelectionWindow& w);

    Platform& m_ui;
    QString m_today;
    bool m_firstWindowCreated = false;
    std::vector<std::unique_ptr<SelectionWindow>> m_created; // null once closed
    std::vector<SelectionWindow*> m_activation;              // last is current
};
