#include "apps/desktop/project_panel.h"

#include "core/ports/platform.h"
#include "workspace/projects.h"
#include "workspace/store_messages.h"

#include <QDate>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

const QString kSearchHint = QStringLiteral("搜索项目编号、名称、客户、现场…");

} // namespace

QString projectUnavailable(SelectionStore& store, const QString& number)
{
    ProjectStore* projects = projectsOf(store);
    if (!projects)
        return Projects::projectMissingText(number);
    const StoreResult<std::optional<Project>> project = projects->fetchProject(number);
    if (!project.ok())
        return Projects::failureText(project.error());
    return project.value() ? QString() : Projects::projectMissingText(number);
}

ProjectPanel::ProjectPanel(
    SelectionStore& store, Platform& ui, const QString& today, ProjectWindow::Hooks hooks, QWidget* parent)
    : QWidget(parent)
    , m_projects(projectsOf(store))
    , m_store(store)
    , m_ui(ui)
    , m_today(today)
    , m_hooks(std::move(hooks))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("projectSearchBox"));
    m_search->setPlaceholderText(kSearchHint);
    m_search->setClearButtonEnabled(true);
    connect(m_search, &QLineEdit::textChanged, this, &ProjectPanel::refresh);
    layout->addWidget(m_search);
    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("projectList"));
    m_list->setHeaderLabels({QStringLiteral("项目编号"), QStringLiteral("项目名称"), QStringLiteral("客户"),
        QStringLiteral("现场"), QStringLiteral("日期")});
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->header()->resizeSection(0, 110);
    connect(
        m_list, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) { openProject(item->text(0)); });
    layout->addWidget(m_list, 1);
    auto* buttons = new QHBoxLayout;
    auto* create = new QPushButton(QStringLiteral("新建项目…"), this);
    create->setObjectName(QStringLiteral("newProjectButton"));
    connect(create, &QPushButton::clicked, this, [this] {
        bool ok = false;
        const QString name = QInputDialog::getText(
            this, QStringLiteral("新建项目"), QStringLiteral("项目名称："), QLineEdit::Normal, QString(), &ok);
        if (ok && !name.trimmed().isEmpty())
            createProject(name.trimmed());
    });
    auto* open = new QPushButton(QStringLiteral("打开项目"), this);
    open->setObjectName(QStringLiteral("openProjectButton"));
    connect(open, &QPushButton::clicked, this, [this] {
        if (QTreeWidgetItem* item = m_list->currentItem())
            openProject(item->text(0));
    });
    buttons->addWidget(create);
    buttons->addWidget(open);
    buttons->addStretch(1);
    layout->addLayout(buttons);
    refresh();
}

void ProjectPanel::refresh()
{
    m_list->clear();
    if (!m_projects)
        return;
    const StoreResult<std::vector<Project>> projects = m_projects->listProjects(m_search->text().trimmed());
    if (!projects.ok())
        return showQueryError(m_ui, projects.error());
    for (const Project& p : projects.value())
        new QTreeWidgetItem(m_list, {p.number, p.name, p.customer, p.site, p.date});
}

QString ProjectPanel::createProject(const QString& name)
{
    if (!m_projects)
        return QString();
    QString number;
    const Projects::Outcome made = Projects(*m_projects).create(name, QString(), QString(), m_today, &number);
    if (!made.done()) {
        m_ui.showBox(made.kind == Projects::Outcome::Kind::StoreFailed ? MessageKind::Error : MessageKind::Information,
            made.message);
        return QString();
    }
    refresh();
    openProject(number);
    return number;
}

ProjectWindow* ProjectPanel::windowOf(const QString& number) const
{
    const auto it = m_windows.find(number);
    return it == m_windows.end() ? nullptr : it->second.data();
}

ProjectWindow* ProjectPanel::openProject(const QString& number)
{
    if (!m_projects)
        return nullptr;
    ProjectWindow* window = windowOf(number);
    if (!window) {
        window = new ProjectWindow(*m_projects, m_store, m_ui, number, m_hooks, this);
        window->onChanged = [this] { refresh(); };
        m_windows[number] = window;
    }
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

void ProjectPanel::selectionDeleted()
{
    for (auto& [number, window] : m_windows) {
        if (window)
            window->reload();
    }
}

ProjectWindow* ProjectPanel::openStoredProject(const QString& number)
{
    if (!projectUnavailable(m_store, number).isEmpty())
        return nullptr;
    // the list may be searched down to other projects: shown whole, the project is in it
    m_search->clear();
    const QList<QTreeWidgetItem*> found = m_list->findItems(number, Qt::MatchExactly, 0);
    if (!found.isEmpty())
        m_list->setCurrentItem(found.first());
    return openProject(number);
}
