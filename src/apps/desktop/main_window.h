#pragma once

#include "apps/desktop/widget_platform.h"
#include "workspace/workspace.h"

#include <QMainWindow>
#include <QPointer>

#include <memory>

class NotesArea;
class ProjectPanel;
class ProjectWindow;
class QAction;
class QLabel;
class QLineEdit;
class QMdiSubWindow;
class QMenu;
class QTimer;
class QSplitter;
class QTabWidget;
class QTreeView;
class SelectionStore;
class SelectionListModel;
class SelectionWidget;
struct PrintRow;

// The main window (TMainForm): the frame of the selection windows, the list of
// stored selections, the product pictures, menus and tool bar.
class ListSearch;
class QPushButton;

class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    // `echo`, when given, is told every event the program shows.
    MainWindow(SelectionStore& store, const QString& today, Platform* echo = nullptr, QWidget* parent = nullptr);
    ~MainWindow() override;

    Workspace& workspace() { return m_workspace; }
    NotesArea* mdiArea() const { return m_mdi; }
    // Between the list of stored selections and the window area: the list's width.
    QSplitter* listSplitter() const { return m_splitter; }
    QTreeView* recordList() const { return m_list; }
    // The tab "项目" beside the list of stored selections.
    ProjectPanel* projectPanel() const { return m_projectPanel; }
    // The tabs of the left panel: "选型记录" and "项目".
    QTabWidget* listTabs() const { return m_listTabs; }
    // Starting straight into a project: the tab "项目" shown with the project chosen
    // in it, and its window open in front; nothing when the store holds no such
    // project (projectUnavailable() tells why).
    ProjectWindow* showProject(const QString& number);
    // The search box above the list: what is typed reads the list again from the top
    // with that search, a moment after the last key (at once on Enter, or by
    // applySearch()).
    QLineEdit* searchBox() const { return m_searchBox; }
    void applySearch();
    // A search that reads every row runs on its own connection to the store at
    // `location`, off the window's thread; without one every search is read at once.
    void searchOnAConnectionOfItsOwn(const QString& location);
    ListSearch* listSearch() const { return m_listSearch; }
    SelectionWidget* widgetOf(const SelectionWindow* window) const;
    QMdiSubWindow* subWindowOf(const SelectionWindow* window) const;

    QAction* newAction() const { return m_newAction; }
    QAction* openRecordAction() const { return m_openAction; }
    QAction* deleteRecordAction() const { return m_deleteAction; }
    QAction* copyRecordAction() const { return m_copyAction; }
    QAction* cascadeAction() const { return m_cascadeAction; }
    QAction* tileHorizontallyAction() const { return m_tileHorizontalAction; }
    QAction* tileVerticallyAction() const { return m_tileVerticalAction; }
    QAction* minimizeAllAction() const { return m_minimizeAction; }

    // Shows in the status bar which store the selections are kept in (never a
    // password: the caller gives what may be shown).
    void showStoreLocation(const QString& shown);
    QString storeShown() const;

    // Told when the print command found the stored row.
    std::function<void(SelectionWindow&, const PrintRow&)> onPreview;

    static QString homePage();

    // Where the menus' documents are kept: doc/ beside the program unless set.
    QString documentFolder() const;
    void setDocumentFolder(const QString& folder) { m_documentFolder = folder; }

protected:
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void createActions();
    void createMenus();
    QWidget* createLeftPanel();
    ProjectPanel* createProjectPanel(QWidget* parent);
    // The projects whose lines use a stored selection, for the question before deleting it.
    QStringList projectsUsing(const QString& number);
    QWidget* createRightPanel();
    QWidget* createBottomPanel();
    void windowCreated(SelectionWindow& window);
    void keepInsideTheArea(QMdiSubWindow* sub) const;
    void windowShown(SelectionWindow& window);
    void windowClosing(SelectionWindow& window);
    void updateWindowCommands();
    void tile(Qt::Orientation direction);
    void fillWindowMenu();
    void openManual(const QString& title);
    // Shows the document's window, made first where it is not open.
    void showDocument(QPointer<QWidget>& window, const std::function<QWidget*()>& make);
    void openHomePage();

    Platform* m_echo;
    DesktopPlatform m_platform;
    Workspace m_workspace;
    NotesArea* m_mdi = nullptr;
    // made ahead, outside the area: a frame whose widget shows no selection yet
    QSplitter* m_splitter = nullptr;
    QLabel* m_storeLabel = nullptr;
    QTreeView* m_list = nullptr;
    QLineEdit* m_searchBox = nullptr;
    QTimer* m_searchDelay = nullptr;
    ListSearch* m_listSearch = nullptr;
    QLabel* m_searchStatus = nullptr;
    QPushButton* m_goOnButton = nullptr;
    SelectionListModel* m_listModel = nullptr;
    ProjectPanel* m_projectPanel = nullptr;
    QTabWidget* m_listTabs = nullptr;
    QMenu* m_windowMenu = nullptr;
    QAction* m_newAction = nullptr;
    QAction* m_exitAction = nullptr;
    QAction* m_openAction = nullptr;
    QAction* m_deleteAction = nullptr;
    QAction* m_copyAction = nullptr;
    QAction* m_cascadeAction = nullptr;
    QAction* m_tileHorizontalAction = nullptr;
    QAction* m_tileVerticalAction = nullptr;
    QAction* m_minimizeAction = nullptr;
    bool m_listFilled = false;
    QString m_documentFolder;
    QPointer<QWidget> m_manual;
    QPointer<QWidget> m_codeKey;
};
