#include "apps/desktop/main_window.h"

#include "apps/desktop/batch_dialog.h"
#include "apps/desktop/document_window.h"
#include "apps/desktop/list_search.h"
#include "apps/desktop/menu_documents.h"
#include "apps/desktop/notes_area.h"
#include "apps/desktop/old_database_import.h"
#include "apps/desktop/pictures.h"
#include "apps/desktop/project_panel.h"
#include "apps/desktop/selection_list_model.h"
#include "apps/desktop/selection_widget.h"
#include "apps/desktop/work_questions.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>
#include <QUrl>
#include <QVBoxLayout>

namespace {

const QString kCaption = QStringLiteral("Corvane仪表集团气体流量计选型软件（V1.0）");
const QString kHomeHint = QStringLiteral("点击将进入Corvane仪表集团主页......");
const QString kMakerName = QStringLiteral("Corvane Instrument Group");
constexpr int kLeftPanelWidth = 181;
constexpr int kRightPanelWidth = 149;
const QColor kNavy(0, 0, 128);
const QString kSearchHint = QStringLiteral("搜索编号、型号、介质…");
// How long the search box waits after a key before the list is read again: typing a
// word reads the list once, not once a letter.
constexpr int kSearchDelayMs = 250;

// A label that opens the maker's home page when clicked.
class LinkLabel : public QLabel {
public:
    LinkLabel(std::function<void()> clicked, QWidget* parent)
        : QLabel(parent)
        , m_clicked(std::move(clicked))
    {
        setCursor(Qt::PointingHandCursor);
        setToolTip(kHomeHint);
        setStatusTip(kHomeHint);
    }

protected:
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
            m_clicked();
        QLabel::mouseReleaseEvent(event);
    }

private:
    std::function<void()> m_clicked;
};

QIcon drawnIcon(const std::function<void(QPainter&)>& draw)
{
    QPixmap pixmap(24, 24);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p);
    return QIcon(pixmap);
}

QIcon newIcon()
{
    return drawnIcon([](QPainter& p) {
        p.setPen(QPen(QColor(60, 60, 60), 1));
        p.setBrush(Qt::white);
        p.drawRect(5, 2, 13, 19);
        p.setPen(QPen(QColor(0, 120, 200), 2));
        p.drawLine(14, 16, 22, 16);
        p.drawLine(18, 12, 18, 20);
    });
}

QIcon arrangeIcon(int kind)
{
    return drawnIcon([kind](QPainter& p) {
        p.setPen(QPen(QColor(60, 60, 60), 1));
        p.setBrush(QColor(200, 220, 245));
        if (kind == 0) { // cascade
            p.drawRect(2, 2, 13, 10);
            p.drawRect(6, 6, 13, 10);
            p.drawRect(10, 10, 12, 11);
        } else if (kind == 1) { // tile horizontally: one above the other
            p.drawRect(2, 2, 20, 9);
            p.drawRect(2, 13, 20, 9);
        } else { // tile vertically: side by side
            p.drawRect(2, 2, 9, 20);
            p.drawRect(13, 2, 9, 20);
        }
    });
}

QLabel* boldNavyLabel(const QString& text, const QString& family, int pointSize, QWidget* parent)
{
    auto* l = new QLabel(text, parent);
    QFont f(family);
    f.setBold(true);
    f.setPointSize(pointSize);
    l->setFont(f);
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, kNavy);
    l->setPalette(pal);
    return l;
}

} // namespace

MainWindow::MainWindow(SelectionStore& store, const QString& today, Platform* echo, QWidget* parent)
    : QMainWindow(parent)
    , m_echo(echo)
    , m_platform(echo)
    , m_workspace(m_platform.get(), today, store)
{
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(kCaption);
    resize(1364, 859);

    m_mdi = new NotesArea(this);
    m_mdi->setBackground(palette().brush(QPalette::Dark));
    // closing a window returns to the one used before it, not to the oldest one
    m_mdi->setActivationOrder(QMdiArea::ActivationHistoryOrder);

    createActions();
    createMenus();

    auto* outer = new QWidget(this);
    auto* frame = new QVBoxLayout(outer);
    frame->setContentsMargins(0, 0, 0, 0);
    frame->setSpacing(0);
    auto* columns = new QHBoxLayout;
    columns->setSpacing(2);
    // the list keeps its width as the window grows; the user widens it to read long
    // model codes
    m_splitter = new QSplitter(Qt::Horizontal, outer);
    m_splitter->setObjectName(QStringLiteral("listSplitter"));
    m_splitter->setChildrenCollapsible(false);
    m_splitter->addWidget(createLeftPanel());
    m_splitter->addWidget(m_mdi);
    m_splitter->setStretchFactor(0, 0);
    m_splitter->setStretchFactor(1, 1);
    m_splitter->setSizes({kLeftPanelWidth, 4 * kLeftPanelWidth});
    columns->addWidget(m_splitter, 1);
    columns->addWidget(createRightPanel());
    frame->addLayout(columns, 1);
    frame->addWidget(createBottomPanel());
    setCentralWidget(outer);
    statusBar()->showMessage(QString());
    m_storeLabel = new QLabel(this);
    m_storeLabel->setObjectName(QStringLiteral("storeLabel"));
    statusBar()->addPermanentWidget(m_storeLabel);

    m_workspace.onWindowCreated = [this](SelectionWindow& w) { windowCreated(w); };
    m_workspace.onWindowShown = [this](SelectionWindow& w) { windowShown(w); };
    m_workspace.onWindowClosing = [this](SelectionWindow& w) { windowClosing(w); };
    m_workspace.onPreview = [this](SelectionWindow& w, const PrintRow& row) {
        if (onPreview)
            onPreview(w, row);
    };
    connect(m_mdi, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* sub) {
        if (sub) {
            if (auto* w = qobject_cast<SelectionWidget*>(sub->widget()))
                m_workspace.makeCurrent(&w->window());
        }
        updateWindowCommands();
    });
    updateWindowCommands();
}

void MainWindow::showStoreLocation(const QString& shown)
{
    m_storeLabel->setText(QStringLiteral("数据库：%1").arg(shown));
}

QString MainWindow::storeShown() const
{
    return m_storeLabel->text();
}

MainWindow::~MainWindow()
{
    // The workspace goes before the child widgets: the selection windows and the list
    // stop showing its models first.
    for (QMdiSubWindow* sub : m_mdi->subWindowList()) {
        if (auto* w = qobject_cast<SelectionWidget*>(sub->widget()))
            w->detach();
    }
    m_list->selectionModel()->disconnect(this);
    m_list->setModel(nullptr);
    delete m_listModel; // it follows the workspace's list, which goes first
    m_workspace.onWindowClosing = {};
}

QString MainWindow::homePage()
{
    // the maker's home page; to be set to the maker's address when it is known
    return QStringLiteral("https://www.corvane.example/");
}

void MainWindow::createActions()
{
    m_newAction = new QAction(newIcon(), QStringLiteral("&N  选型"), this);
    m_newAction->setShortcut(QKeySequence(QStringLiteral("Ctrl+N")));
    m_newAction->setToolTip(QStringLiteral("新选型"));
    m_newAction->setStatusTip(QStringLiteral("Create a new file"));
    connect(m_newAction, &QAction::triggered, this, [this] { m_workspace.newSelection(); });

    m_exitAction = new QAction(QStringLiteral("E&xit"), this);
    connect(m_exitAction, &QAction::triggered, this, &QWidget::close);

    m_cascadeAction = new QAction(arrangeIcon(0), QStringLiteral("&Cascade"), this);
    m_cascadeAction->setStatusTip(QStringLiteral("层叠窗体"));
    connect(m_cascadeAction, &QAction::triggered, m_mdi, &QMdiArea::cascadeSubWindows);
    m_tileHorizontalAction = new QAction(arrangeIcon(1), QStringLiteral("Tile &Horizontally"), this);
    m_tileHorizontalAction->setStatusTip(QStringLiteral("水平平铺窗体"));
    connect(m_tileHorizontalAction, &QAction::triggered, this, [this] { tile(Qt::Vertical); });
    m_tileVerticalAction = new QAction(arrangeIcon(2), QStringLiteral("Tile &Vertically"), this);
    m_tileVerticalAction->setStatusTip(QStringLiteral("垂直平铺窗体"));
    connect(m_tileVerticalAction, &QAction::triggered, this, [this] { tile(Qt::Horizontal); });
    m_minimizeAction = new QAction(QStringLiteral("&Minimize All"), this);
    connect(m_minimizeAction, &QAction::triggered, this, [this] {
        for (QMdiSubWindow* sub : m_mdi->subWindowList())
            sub->showMinimized();
    });

    m_openAction = new QAction(QStringLiteral("打开选型记录"), this);
    connect(m_openAction, &QAction::triggered, this, [this] { m_workspace.openRecord(); });
    m_deleteAction = new QAction(QStringLiteral("删除选型记录"), this);
    connect(m_deleteAction, &QAction::triggered, this, [this] {
        const QString number = m_workspace.list().selected();
        if (number.isEmpty() || !WorkQuestion::confirmDelete(this, number, projectsUsing(number)))
            return;
        m_workspace.deleteRecord();
        if (m_projectPanel)
            m_projectPanel->selectionDeleted();
    });
    m_copyAction = new QAction(QStringLiteral("复制为新选型"), this);
    connect(m_copyAction, &QAction::triggered, this, [this] { m_workspace.copyRecord(); });
}

// Tiling "horizontally" stacks the windows one above the other, each across the
// whole frame; "vertically" puts them side by side.
void MainWindow::tile(Qt::Orientation direction)
{
    const QList<QMdiSubWindow*> subs = m_mdi->subWindowList();
    if (subs.isEmpty())
        return;
    const QRect area = m_mdi->viewport()->rect();
    const int n = static_cast<int>(subs.size());
    for (int i = 0; i < n; ++i) {
        subs[i]->showNormal();
        if (direction == Qt::Vertical)
            subs[i]->setGeometry(0, i * (area.height() / n), area.width(), area.height() / n);
        else
            subs[i]->setGeometry(i * (area.width() / n), 0, area.width() / n, area.height());
    }
}

void MainWindow::createMenus()
{
    QMenu* selection = menuBar()->addMenu(QStringLiteral("&x 选型"));
    selection->addAction(m_newAction);
    selection->addAction(QStringLiteral("批量选型…"), this, [this] { openBatchDialog(this, m_workspace); });
    selection->addAction(QStringLiteral("导入旧版数据库…"), this, [this] { importOldDatabase(this, m_workspace); });
    selection->addSeparator();
    selection->addAction(m_exitAction);

    m_windowMenu = menuBar()->addMenu(QStringLiteral("&W 窗体"));
    connect(m_windowMenu, &QMenu::aboutToShow, this, &MainWindow::fillWindowMenu);
    fillWindowMenu();

    QAction* codes = menuBar()->addAction(QStringLiteral("流量计参数代号"));
    codes->setObjectName(QStringLiteral("codeKeyAction"));
    connect(codes, &QAction::triggered, this,
        [this] { showDocument(m_codeKey, [this] { return DocumentWindow::codeKey(this); }); });
    QAction* manual = menuBar()->addAction(QStringLiteral("选型软件使用说明"));
    manual->setObjectName(QStringLiteral("manualAction"));
    connect(manual, &QAction::triggered, this, [this, manual] { openManual(manual->text()); });

    QToolBar* tools = addToolBar(QStringLiteral("tools"));
    tools->setObjectName(QStringLiteral("toolBar"));
    tools->setMovable(false);
    tools->setIconSize(QSize(24, 24));
    tools->addAction(m_newAction);
    tools->addSeparator();
    tools->addAction(m_cascadeAction);
    tools->addAction(m_tileHorizontalAction);
    tools->addAction(m_tileVerticalAction);
    auto* banner = boldNavyLabel(
        QStringLiteral("————欢迎使用Corvane流量计选型软件————"), QStringLiteral("楷体_GB2312"), 14, tools);
    banner->setAlignment(Qt::AlignCenter);
    banner->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    tools->addWidget(banner);
}

void MainWindow::fillWindowMenu()
{
    m_windowMenu->clear();
    m_windowMenu->addAction(m_cascadeAction);
    m_windowMenu->addAction(m_tileHorizontalAction);
    m_windowMenu->addAction(m_tileVerticalAction);
    m_windowMenu->addAction(m_minimizeAction);
    const QList<QMdiSubWindow*> subs = m_mdi->subWindowList();
    if (!subs.isEmpty())
        m_windowMenu->addSeparator();
    for (int i = 0; i < subs.size(); ++i) {
        QMdiSubWindow* sub = subs[i];
        const QString title = sub->windowTitle().isEmpty() ? QStringLiteral("（选型记录）") : sub->windowTitle();
        QAction* a = m_windowMenu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(title));
        a->setCheckable(true);
        a->setChecked(sub == m_mdi->activeSubWindow());
        connect(a, &QAction::triggered, this, [this, sub] { m_mdi->setActiveSubWindow(sub); });
    }
}

void MainWindow::updateWindowCommands()
{
    const bool any = !m_mdi->subWindowList().isEmpty();
    for (QAction* a : {m_cascadeAction, m_tileHorizontalAction, m_tileVerticalAction, m_minimizeAction})
        a->setEnabled(any);
}

QWidget* MainWindow::createLeftPanel()
{
    auto* panel = new QWidget(this);
    panel->setMinimumWidth(kLeftPanelWidth);
    auto* v = new QVBoxLayout(panel);
    v->setContentsMargins(2, 2, 0, 2);
    auto* logo = new LinkLabel([this] { openHomePage(); }, panel);
    logo->setPixmap(logoPicture(QSize(kLeftPanelWidth - 6, 56)));
    logo->setAlignment(Qt::AlignCenter);
    v->addWidget(logo);

    auto* tabs = new QTabWidget(panel);
    m_listTabs = tabs;
    auto* page = new QWidget(tabs);
    auto* pageLayout = new QVBoxLayout(page);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    pageLayout->setSpacing(2);
    m_searchBox = new QLineEdit(page);
    m_searchBox->setObjectName(QStringLiteral("searchBox"));
    m_searchBox->setPlaceholderText(kSearchHint);
    m_searchBox->setToolTip(kSearchHint);
    m_searchBox->setClearButtonEnabled(true);
    m_searchDelay = new QTimer(this);
    m_searchDelay->setSingleShot(true);
    m_searchDelay->setInterval(kSearchDelayMs);
    connect(m_searchDelay, &QTimer::timeout, this, &MainWindow::applySearch);
    connect(m_searchBox, &QLineEdit::textChanged, m_searchDelay, qOverload<>(&QTimer::start));
    connect(m_searchBox, &QLineEdit::returnPressed, this, &MainWindow::applySearch);
    pageLayout->addWidget(m_searchBox);
    // A search that reads every row tells how far it got, and goes on when asked.
    m_listSearch = new ListSearch(m_workspace, this);
    auto* searchState = new QWidget(page);
    auto* stateLayout = new QHBoxLayout(searchState);
    stateLayout->setContentsMargins(0, 0, 0, 0);
    m_searchStatus = new QLabel(searchState);
    m_searchStatus->setObjectName(QStringLiteral("searchStatus"));
    m_searchStatus->setWordWrap(true);
    m_goOnButton = new QPushButton(QStringLiteral("继续查找…"), searchState);
    m_goOnButton->setObjectName(QStringLiteral("goOnSearching"));
    stateLayout->addWidget(m_searchStatus, 1);
    stateLayout->addWidget(m_goOnButton);
    searchState->hide();
    connect(m_goOnButton, &QPushButton::clicked, m_listSearch, &ListSearch::goOn);
    connect(m_listSearch, &ListSearch::changed, this, [this, searchState] {
        m_searchStatus->setText(m_listSearch->status());
        m_goOnButton->setVisible(m_listSearch->canGoOn());
        searchState->setVisible(!m_listSearch->status().isEmpty());
    });
    pageLayout->addWidget(searchState);
    m_list = new QTreeView(page);
    m_list->setObjectName(QStringLiteral("recordList"));
    m_listModel = new SelectionListModel(m_workspace.list(), this);
    m_list->setModel(m_listModel);
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setSortingEnabled(false);
    m_list->setMouseTracking(true); // hot tracking
    m_list->setAlternatingRowColors(false);
    m_list->setStyleSheet(QStringLiteral("QTreeView { color: blue; gridline-color: #c0c0c0; }"
                                         "QTreeView::item { border-right: 1px solid #d0d0d0;"
                                         " border-bottom: 1px solid #d0d0d0; }"
                                         "QTreeView::item:hover { background: #e6f0ff; }"
                                         // a styled item draws no selection of its own: without
                                         // this the selected row is white on white
                                         "QTreeView::item:selected { background: palette(highlight);"
                                         " color: palette(highlighted-text); }"));
    QFont listFont(QStringLiteral("宋体"));
    listFont.setPointSize(9);
    m_list->setFont(listFont);
    m_list->header()->setSectionsClickable(false);
    m_list->header()->setStretchLastSection(false);
    m_list->header()->setMinimumSectionSize(30);
    for (int c = 0; c < m_listModel->columnCount(); ++c)
        m_list->header()->resizeSection(c, SelectionListModel::columnWidth(c));
    m_list->setContextMenuPolicy(Qt::ActionsContextMenu);
    m_list->addAction(m_openAction);
    m_list->addAction(m_copyAction);
    m_list->addAction(m_deleteAction);
    connect(m_list->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
        [this](const QModelIndex& current) { m_workspace.list().selectItem(current.isValid() ? current.row() : -1); });
    connect(m_list, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid())
            m_workspace.openRecord();
    });
    pageLayout->addWidget(m_list, 1);
    tabs->addTab(page, QStringLiteral("选型记录"));
    m_projectPanel = createProjectPanel(tabs);
    tabs->addTab(m_projectPanel, QStringLiteral("项目"));
    v->addWidget(tabs, 1);
    return panel;
}

ProjectPanel* MainWindow::createProjectPanel(QWidget* parent)
{
    ProjectWindow::Hooks hooks;
    hooks.currentSelection = [this] {
        const SelectionWindow* window = m_workspace.current();
        return window ? window->form().text(Field::SelectionNo) : QString();
    };
    hooks.listedSelection = [this] { return m_workspace.list().selected(); };
    hooks.openSelection = [this](const QString& number) {
        m_workspace.list().select(number);
        m_workspace.openRecord();
    };
    return new ProjectPanel(m_workspace.store(), m_platform.get(), m_workspace.today(), hooks, parent);
}

ProjectWindow* MainWindow::showProject(const QString& number)
{
    ProjectWindow* window = m_projectPanel->openStoredProject(number);
    if (window)
        m_listTabs->setCurrentWidget(m_projectPanel);
    return window;
}

QStringList MainWindow::projectsUsing(const QString& number)
{
    ProjectStore* projects = projectsOf(m_workspace.store());
    if (!projects)
        return {};
    const StoreResult<QStringList> using_ = projects->projectsUsing(number);
    // the question is asked all the same when the store cannot tell
    return using_.ok() ? using_.value() : QStringList();
}

void MainWindow::applySearch()
{
    m_searchDelay->stop();
    m_listSearch->search(m_searchBox->text());
}

void MainWindow::searchOnAConnectionOfItsOwn(const QString& location)
{
    m_listSearch->setLocation(location);
}

QWidget* MainWindow::createRightPanel()
{
    auto* panel = new QWidget(this);
    panel->setFixedWidth(kRightPanelWidth);
    auto* v = new QVBoxLayout(panel);
    v->setContentsMargins(0, 2, 2, 2);
    auto* header = boldNavyLabel(QStringLiteral("流量计样图"), QStringLiteral("宋体"), 10, panel);
    header->setAlignment(Qt::AlignCenter);
    v->addWidget(header);
    auto* scroll = new QScrollArea(panel);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* pictures = new QWidget(scroll);
    auto* column = new QVBoxLayout(pictures);
    column->setContentsMargins(2, 2, 2, 2);
    for (int i = 0; i < kProductPictureCount; ++i) {
        auto* picture = new QLabel(pictures);
        picture->setPixmap(productPicture(i));
        picture->setFixedSize(kProductPictureSize);
        picture->setToolTip(productCaption(i));
        column->addWidget(picture, 0, Qt::AlignHCenter);
    }
    scroll->setWidget(pictures);
    v->addWidget(scroll, 1);
    return panel;
}

QWidget* MainWindow::createBottomPanel()
{
    auto* panel = new QWidget(this);
    auto* h = new QHBoxLayout(panel);
    h->setContentsMargins(8, 2, 8, 2);
    h->addWidget(boldNavyLabel(
        QStringLiteral("Corvane仪表集团的发展离不开用户的支持和信赖！"), QStringLiteral("宋体"), 10, panel));
    h->addStretch();
    auto* logo = new LinkLabel([this] { openHomePage(); }, panel);
    logo->setPixmap(logoPicture(QSize(120, 28)));
    h->addWidget(logo);
    auto* name = new LinkLabel([this] { openHomePage(); }, panel);
    name->setText(kMakerName);
    h->addWidget(name);
    return panel;
}

QString MainWindow::documentFolder() const
{
    return m_documentFolder.isEmpty() ? QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("doc"))
                                      : m_documentFolder;
}

void MainWindow::openManual(const QString& title)
{
    const QString path = QDir(documentFolder()).filePath(QStringLiteral("选型软件使用说明.md"));
    if (const QString problem = documentFileProblem(path); !problem.isEmpty()) {
        m_platform.get().showBox(MessageKind::Error, documentProblemMessage(title, problem));
        return;
    }
    showDocument(m_manual, [this, path] { return DocumentWindow::manual(path, this); });
}

void MainWindow::showDocument(QPointer<QWidget>& window, const std::function<QWidget*()>& make)
{
    if (!window)
        window = make();
    window->show();
    window->raise();
    window->activateWindow();
}

void MainWindow::openHomePage()
{
    QDesktopServices::openUrl(QUrl(homePage()));
}

SelectionWidget* MainWindow::widgetOf(const SelectionWindow* window) const
{
    QMdiSubWindow* sub = subWindowOf(window);
    return sub ? qobject_cast<SelectionWidget*>(sub->widget()) : nullptr;
}

QMdiSubWindow* MainWindow::subWindowOf(const SelectionWindow* window) const
{
    for (QMdiSubWindow* sub : m_mdi->subWindowList()) {
        if (auto* w = qobject_cast<SelectionWidget*>(sub->widget()); w && &w->window() == window)
            return sub;
    }
    return nullptr;
}

void MainWindow::windowCreated(SelectionWindow& window)
{
    auto* widget = new SelectionWidget(m_workspace, m_echo);
    widget->bind(window);
    QMdiSubWindow* sub = m_mdi->addSubWindow(widget);
    connect(
        widget, &SelectionWidget::hint, statusBar(), [this](const QString& text) { statusBar()->showMessage(text); });
    sub->setAttribute(Qt::WA_DeleteOnClose);
    widget->fitShownSize();
    sub->show();
    keepInsideTheArea(sub);
    m_mdi->setActiveSubWindow(sub);
    updateWindowCommands();
}

void MainWindow::keepInsideTheArea(QMdiSubWindow* sub) const
{
    // The area places a new window beside the others, also beyond its own edge, where
    // the buttons 保存 and 打印 are cut off; it goes back inside, to the left and top
    // where it does not fit.
    const QRect area = m_mdi->viewport()->rect();
    QRect r = sub->geometry();
    if (area.contains(r))
        return;
    r.moveLeft(std::max(0, std::min(r.left(), area.width() - r.width())));
    r.moveTop(std::max(0, std::min(r.top(), area.height() - r.height())));
    sub->move(r.topLeft());
}

void MainWindow::windowShown(SelectionWindow& window)
{
    if (SelectionWidget* w = widgetOf(&window))
        w->setWindowTitle(window.caption());
    m_workspace.makeCurrent(&window);
}

void MainWindow::windowClosing(SelectionWindow& window)
{
    // a window closed from its frame has detached already; any other close goes
    // through the frame too
    if (QMdiSubWindow* sub = subWindowOf(&window)) {
        auto* w = qobject_cast<SelectionWidget*>(sub->widget());
        if (w && !w->detached()) {
            w->detach();
            sub->close();
        }
    }
    QTimer::singleShot(0, this, [this] { updateWindowCommands(); });
}

void MainWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!m_listFilled) {
        m_listFilled = true;
        m_workspace.showMainWindow();
        // activation creates the first selection window; some platforms never
        // activate a window, so it follows the first showing too
        QTimer::singleShot(0, this, [this] { m_workspace.activate(); });
    }
}

bool MainWindow::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate && m_listFilled)
        m_workspace.activate();
    return QMainWindow::event(event);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    std::vector<SelectionWidget*> unsaved;
    QStringList numbers;
    for (QMdiSubWindow* sub : m_mdi->subWindowList()) {
        auto* w = qobject_cast<SelectionWidget*>(sub->widget());
        if (w && !w->detached() && w->window().context().hasUnsavedResult()) {
            unsaved.push_back(w);
            numbers << w->window().form().text(Field::SelectionNo);
        }
    }
    if (!unsaved.empty()) {
        switch (WorkQuestion::askBeforeExit(this, numbers)) {
        case WorkQuestion::BeforeClosing::Cancel: event->ignore(); return;
        case WorkQuestion::BeforeClosing::Save:
            for (SelectionWidget* w : unsaved) {
                w->saveButton()->click();
                // a save the window refused keeps the program open, that window in front
                if (w->window().context().hasUnsavedResult()) {
                    m_mdi->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(w->parentWidget()));
                    event->ignore();
                    return;
                }
            }
            break;
        case WorkQuestion::BeforeClosing::Discard: break;
        }
    }
    for (QMdiSubWindow* sub : m_mdi->subWindowList()) {
        if (auto* w = qobject_cast<SelectionWidget*>(sub->widget()))
            w->closeWithoutAsking();
    }
    m_mdi->closeAllSubWindows();
    event->accept();
}
