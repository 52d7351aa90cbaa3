#pragma once

#include "apps/desktop/project_window.h"

#include <QPointer>
#include <QWidget>

#include <map>

class Platform;
class QLineEdit;
class QTreeWidget;

// Why project `number` cannot be shown from `store` (a store that keeps no projects
// holds none of that number; a store that cannot be read says why); empty when it can.
QString projectUnavailable(SelectionStore& store, const QString& number);

// The tab "项目" of the main window's left panel: the projects, newest number
// first, with a search box ("搜索项目编号、名称、客户、现场…"); "新建项目…" makes one,
// a double click (or "打开项目") opens its window. One window a project.
class ProjectPanel : public QWidget {
    Q_OBJECT

public:
    ProjectPanel(SelectionStore& store, Platform& ui, const QString& today, ProjectWindow::Hooks hooks,
        QWidget* parent = nullptr);

    QLineEdit* searchBox() const { return m_search; }
    QTreeWidget* projectList() const { return m_list; }

    // Reads the list again, with the search box's text.
    void refresh();
    // Makes a project of that name, opens its window; its number, or empty (told).
    QString createProject(const QString& name);
    // The project's window, opened where it is not open yet.
    ProjectWindow* openProject(const QString& number);
    // A stored project chosen in the list and its window opened; nothing, and no window,
    // when projectUnavailable() tells why not.
    ProjectWindow* openStoredProject(const QString& number);
    ProjectWindow* windowOf(const QString& number) const;
    // A stored selection was deleted: every open project window reads its lines
    // again, so that the selection's lines show "已删除".
    void selectionDeleted();

private:
    ProjectStore* m_projects;
    SelectionStore& m_store;
    Platform& m_ui;
    QString m_today;
    ProjectWindow::Hooks m_hooks;
    QLineEdit* m_search = nullptr;
    QTreeWidget* m_list = nullptr;
    std::map<QString, QPointer<ProjectWindow>> m_windows;
};
