#include "apps/cli/project_command.h"

#include "adapters/report/project_sheet.h"
#include "adapters/workbook/project_workbook.h"
#include "apps/cli/command_words.h"
#include "apps/common/exit_status.h"
#include "apps/common/json_line.h"
#include "core/ports/project_store.h"
#include "core/record/columns.h"
#include "workspace/projects.h"

#include <QMap>

#include <map>
#include <optional>

namespace {

constexpr int kExitRefused = kExitLineFailed;

using Sink = std::function<void(const QString&)>;

const char kProjectUsage[] = "project takes: new NAME [--customer C] [--site S] | add P TAG NO [--qty N] | "
                             "remove P TAG | list | show P | sheet P OUT.pdf | export P OUT.xlsx";

using Words = CommandWords;

QString projectEvent(const Project& p)
{
    return JsonLine(QStringLiteral("project"))
        .add("ProjectNo", p.number)
        .add("Name", p.name)
        .add("Customer", p.customer)
        .add("Site", p.site)
        .add("Date", p.date)
        .text();
}

QString lineEvent(const ProjectLine& line)
{
    const QString resultText = line.deleted() ? QString() : line.selection->value(columnOf(Derived::ModelCode));
    JsonLine event(QStringLiteral("line"));
    event.add("Tag", line.tag).add("SelectionNo", line.selectionNo);
    // a quantity that another program stored and that is none is shown as it is stored
    if (line.quantityValid())
        event.add("Quantity", line.quantity);
    else
        event.addNull("Quantity").add("QuantityText", line.oddQuantity);
    return event.add("ResultText", resultText).add("Deleted", line.deleted()).text();
}

class ProjectCommand {
public:
    ProjectCommand(ProjectStore& store, const QString& today, const Sink& out, const Sink& err)
        : m_store(store)
        , m_projects(store)
        , m_today(today)
        , m_out(out)
        , m_err(err)
    {
    }

    int create(const Words& w)
    {
        if (w.plain.size() != 1)
            return unusable(
                QStringLiteral("project new takes the project's name: project new NAME [--customer C] [--site S]"));
        QString number;
        const Projects::Outcome made = m_projects.create(
            w.plain[0], w.value(QStringLiteral("--customer")), w.value(QStringLiteral("--site")), m_today, &number);
        if (!made.done())
            return told(made);
        m_out(number);
        return kExitOk;
    }

    int add(const Words& w)
    {
        if (w.plain.size() != 3)
            return unusable(QStringLiteral("project add takes P TAG NO [--qty N]"));
        int quantity = 1;
        if (w.hasValue(QStringLiteral("--qty"))) {
            QString problem;
            const std::optional<int> given = Projects::quantityOf(w.value(QStringLiteral("--qty")), &problem);
            if (!given)
                return unusable(QStringLiteral("--qty %1：%2").arg(w.value(QStringLiteral("--qty")), problem));
            quantity = *given;
        }
        if (const QString problem = Projects::tagProblem(w.plain[1]); !problem.isEmpty())
            return unusable(problem);
        if (!findProject(w.plain[0]))
            return m_status;
        return told(m_projects.add(w.plain[0], w.plain[1], w.plain[2], quantity));
    }

    int remove(const Words& w)
    {
        if (w.plain.size() != 2 || !w.values.empty())
            return unusable(QStringLiteral("project remove takes P TAG"));
        if (!findProject(w.plain[0]))
            return m_status;
        return told(m_projects.remove(w.plain[0], w.plain[1]));
    }

    int list(const Words& w)
    {
        if (!w.plain.isEmpty() || !w.values.empty())
            return unusable(QStringLiteral("project list takes no arguments"));
        const StoreResult<std::vector<Project>> projects = m_store.listProjects();
        if (!projects.ok())
            return refused(Projects::failureText(projects.error()));
        for (const Project& p : projects.value())
            m_out(projectEvent(p));
        return kExitOk;
    }

    int show(const Words& w)
    {
        if (w.plain.size() != 1 || !w.values.empty())
            return unusable(QStringLiteral("project show takes P"));
        const std::optional<ProjectWithLines> p = withLines(w.plain[0]);
        if (!p)
            return m_status;
        m_out(projectEvent(p->project));
        for (const ProjectLine& line : p->lines)
            m_out(lineEvent(line));
        return kExitOk;
    }

    // The summary sheet (PDF) or the workbook (xlsx) of a project.
    int write(const Words& w, bool workbook)
    {
        if (w.plain.size() != 2 || !w.values.empty())
            return unusable(workbook ? QStringLiteral("project export takes P OUT.xlsx")
                                     : QStringLiteral("project sheet takes P OUT.pdf"));
        const std::optional<ProjectWithLines> p = withLines(w.plain[0]);
        if (!p)
            return m_status;
        const QString& path = w.plain[1];
        QString error;
        const bool written = workbook ? writeProjectWorkbook(path, p->project, p->lines, &error)
                                      : writeProjectSheetPdf(path, p->project, p->lines, &error);
        if (!written)
            return refused(error);
        m_out(QStringLiteral("%1 written: %2").arg(workbook ? "workbook" : "sheet", path));
        return kExitOk;
    }

private:
    struct ProjectWithLines {
        Project project;
        std::vector<ProjectLine> lines;
    };
    // The project of a number and its lines; none, told, as findProject tells it, or
    // when its lines cannot be read (exit 1).
    std::optional<ProjectWithLines> withLines(const QString& number)
    {
        const std::optional<Project> p = findProject(number);
        if (!p)
            return std::nullopt;
        StoreResult<std::vector<ProjectLine>> lines = m_store.projectLines(p->number);
        if (!lines.ok()) {
            m_status = refused(Projects::failureText(lines.error()));
            return std::nullopt;
        }
        return ProjectWithLines {*p, std::move(lines.value())};
    }

    // The project of a number; none, told, when it is not there (exit 2) or the
    // store failed (exit 1), the status in m_status.
    std::optional<Project> findProject(const QString& number)
    {
        const StoreResult<std::optional<Project>> p = m_store.fetchProject(number);
        if (!p.ok()) {
            m_status = refused(Projects::failureText(p.error()));
            return std::nullopt;
        }
        if (!p.value())
            m_status = unusable(Projects::projectMissingText(number));
        return p.value();
    }

    // An outcome as the command tells it: a project that is not there is a command
    // line that cannot be used; anything else not done is refused.
    int told(const Projects::Outcome& outcome)
    {
        switch (outcome.kind) {
        case Projects::Outcome::Kind::Done: return kExitOk;
        case Projects::Outcome::Kind::NoSuchProject: return unusable(outcome.message);
        case Projects::Outcome::Kind::Refused:
        case Projects::Outcome::Kind::StoreFailed: break;
        }
        return refused(outcome.message);
    }
    int refused(const QString& reason)
    {
        m_err(reason);
        return kExitRefused;
    }
    int unusable(const QString& reason)
    {
        m_err(reason);
        return kExitUnusable;
    }

    ProjectStore& m_store;
    Projects m_projects;
    QString m_today;
    Sink m_out;
    Sink m_err;
    int m_status = kExitOk;
};

} // namespace

int runProjectCommand(const QStringList& arguments, const QString& today,
    const std::function<SelectionStore*()>& openStore, const Sink& out, const Sink& err)
{
    static const QMap<QString, QStringList> kOptions = {
        {QStringLiteral("new"), {QStringLiteral("--customer"), QStringLiteral("--site")}},
        {QStringLiteral("add"), {QStringLiteral("--qty")}},
        {QStringLiteral("remove"), {}},
        {QStringLiteral("list"), {}},
        {QStringLiteral("show"), {}},
        {QStringLiteral("sheet"), {}},
        {QStringLiteral("export"), {}},
    };
    const QString sub = arguments.value(0);
    if (!kOptions.contains(sub)) {
        err(QString::fromUtf8(kProjectUsage));
        return kExitUnusable;
    }
    QString fault;
    const std::optional<Words> w = readCommandWords(arguments.mid(1), kOptions.value(sub), {}, &fault);
    if (!w) {
        err(fault);
        err(QString::fromUtf8(kProjectUsage));
        return kExitUnusable;
    }
    SelectionStore* store = openStore();
    if (!store)
        return kExitUnusable;
    ProjectStore* projects = projectsOf(*store);
    if (!projects) {
        err(QStringLiteral("this store keeps no projects"));
        return kExitUnusable;
    }
    ProjectCommand command(*projects, today, out, err);
    if (sub == u"new")
        return command.create(*w);
    if (sub == u"add")
        return command.add(*w);
    if (sub == u"remove")
        return command.remove(*w);
    if (sub == u"list")
        return command.list(*w);
    if (sub == u"show")
        return command.show(*w);
    return command.write(*w, sub == u"export");
}

BatchProject::BatchProject(ProjectStore& store, const QString& number, const Sink& err)
    : m_store(&store)
    , m_number(number)
    , m_err(err)
{
}

std::optional<BatchProject> BatchProject::open(SelectionStore& store, const QString& number, const Sink& err)
{
    ProjectStore* projects = projectsOf(store);
    if (!projects) {
        err(Projects::projectMissingText(number));
        return std::nullopt;
    }
    const StoreResult<std::optional<Project>> p = projects->fetchProject(number);
    if (!p.ok()) {
        err(Projects::failureText(p.error()));
        return std::nullopt;
    }
    if (!p.value()) {
        err(Projects::projectMissingText(number));
        return std::nullopt;
    }
    return BatchProject(*projects, number, err);
}

void BatchProject::attach(const QString& tag, const QString& selectionNo)
{
    const Projects::Outcome added = Projects(*m_store).add(m_number, tag, selectionNo);
    if (added.done())
        return;
    ++m_failed;
    // a point without an Id has no tag: said as the batch's own reason
    const QString reason
        = Projects::tagProblem(tag).isEmpty() ? added.message : QStringLiteral("测点没有 Id，不能作位号");
    m_err(QStringLiteral("选型 %1 未加入项目 %2：%3").arg(selectionNo, m_number, reason));
}

CopiedProjects copyProjects(SelectionStore& source, SelectionStore& target, const Sink& out, const Sink& err)
{
    ProjectStore* from = projectsOf(source);
    ProjectStore* to = projectsOf(target);
    if (!from || !from->hasProjects())
        return CopiedProjects::All;
    const StoreResult<std::vector<Project>> projects = from->allProjects();
    if (!projects.ok()) {
        err(Projects::failureText(projects.error()));
        return CopiedProjects::StoreFailed;
    }
    if (projects.value().empty())
        return CopiedProjects::All;
    const StoreResult<std::vector<StoredProjectLine>> lines = from->allLines();
    if (!lines.ok()) {
        err(Projects::failureText(lines.error()));
        return CopiedProjects::StoreFailed;
    }
    if (!to) {
        err(QStringLiteral("the target keeps no projects"));
        return CopiedProjects::StoreFailed;
    }
    const StoreResult<ProjectCopyOutcome> copied = to->insertProjectsUnlessStored(projects.value(), lines.value());
    if (!copied.ok()) {
        err(Projects::failureText(copied.error()));
        return CopiedProjects::StoreFailed;
    }
    const ProjectCopyOutcome& o = copied.value();
    int projectsFailed = 0;
    int linesFailed = 0;
    for (const RefusedProjectEntry& refused : o.refused) {
        JsonLine event(QStringLiteral("failed"));
        event.add("ProjectNo", refused.projectNo);
        if (refused.isLine)
            event.add("Tag", refused.tag);
        out(event.add("reason", refused.reason).text());
        ++(refused.isLine ? linesFailed : projectsFailed);
    }
    out(JsonLine(QStringLiteral("projects"))
            .add("copied", o.projects)
            .add("skipped", o.projectsSkipped)
            .add("failed", projectsFailed)
            .add("lines", o.lines)
            .add("linesSkipped", o.linesSkipped)
            .add("linesFailed", linesFailed)
            .text());
    return o.refused.empty() ? CopiedProjects::All : CopiedProjects::SomeRefused;
}
