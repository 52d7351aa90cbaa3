#include "apps/cli/project_command.h"

#include "adapters/report/project_sheet.h"
#include "adapters/workbook/project_workbook.h"
#include "apps/cli/command_words.h"
#include "apps/common/exit_status.h"
#include "apps/common/json_line.h"
#include "core/ports/project_store.h"
#include "core/record/columns.h"
#include "workspace/store_messages.h"

#include <QDate>
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
        , m_today(today)
        , m_out(out)
        , m_err(err)
    {
    }

    int create(const Words& w)
    {
        if (w.plain.size() != 1 || w.plain[0].trimmed().isEmpty())
            return unusable(
                QStringLiteral("project new takes the project's name: project new NAME [--customer C] [--site S]"));
        Project p;
        p.name = w.plain[0];
        p.customer = w.value(QStringLiteral("--customer"));
        p.site = w.value(QStringLiteral("--site"));
        p.date = QDate::fromString(m_today, QStringLiteral("yyyyMMdd")).toString(Qt::ISODate);
        const StoreResult<QString> made = m_store.createProject(p, m_today);
        if (!made.ok())
            return refused(projectFailureText(made.error()));
        m_out(made.value());
        return kExitOk;
    }

    int add(const Words& w)
    {
        if (w.plain.size() != 3)
            return unusable(QStringLiteral("project add takes P TAG NO [--qty N]"));
        int quantity = 1;
        if (w.hasValue(QStringLiteral("--qty"))) {
            const QString qty = w.value(QStringLiteral("--qty"));
            bool ok = false;
            quantity = qty.toInt(&ok);
            if (!ok || quantity < 1)
                return unusable(QStringLiteral("--qty takes a whole number of at least 1, not '%1'").arg(qty));
        }
        const QString& tag = w.plain[1];
        if (tag.trimmed().isEmpty())
            return unusable(QStringLiteral("project add: the tag must not be empty"));
        if (!findProject(w.plain[0]))
            return m_status;
        const StoreResult<LineAdded> added = m_store.addLine(w.plain[0], {tag, w.plain[2], quantity, {}, {}});
        if (!added.ok())
            return refused(projectFailureText(added.error()));
        switch (added.value()) {
        case LineAdded::Added: return kExitOk;
        case LineAdded::TagTaken: return refused(tagTakenMessage(w.plain[0], tag));
        case LineAdded::NoSuchSelection: return refused(selectionNotStoredMessage(w.plain[2]));
        case LineAdded::NoSuchProject: return unusable(projectMissingMessage(w.plain[0]));
        }
        return kExitOk;
    }

    int remove(const Words& w)
    {
        if (w.plain.size() != 2 || !w.values.empty())
            return unusable(QStringLiteral("project remove takes P TAG"));
        if (!findProject(w.plain[0]))
            return m_status;
        const StoreResult<bool> removed = m_store.removeLine(w.plain[0], w.plain[1]);
        if (!removed.ok())
            return refused(projectFailureText(removed.error()));
        if (!removed.value())
            return refused(QStringLiteral("项目 %1 中没有位号“%2”").arg(w.plain[0], w.plain[1]));
        return kExitOk;
    }

    int list(const Words& w)
    {
        if (!w.plain.isEmpty() || !w.values.empty())
            return unusable(QStringLiteral("project list takes no arguments"));
        const StoreResult<std::vector<Project>> projects = m_store.listProjects();
        if (!projects.ok())
            return refused(projectFailureText(projects.error()));
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
            m_status = refused(projectFailureText(lines.error()));
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
            m_status = refused(projectFailureText(p.error()));
            return std::nullopt;
        }
        if (!p.value())
            m_status = unusable(projectMissingMessage(number));
        return p.value();
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
        err(projectMissingMessage(number));
        return std::nullopt;
    }
    const StoreResult<std::optional<Project>> p = projects->fetchProject(number);
    if (!p.ok()) {
        err(projectFailureText(p.error()));
        return std::nullopt;
    }
    if (!p.value()) {
        err(projectMissingMessage(number));
        return std::nullopt;
    }
    return BatchProject(*projects, number, err);
}

void BatchProject::attach(const QString& tag, const QString& selectionNo)
{
    const auto failed = [this, &selectionNo](const QString& reason) {
        ++m_failed;
        m_err(QStringLiteral("选型 %1 未加入项目 %2：%3").arg(selectionNo, m_number, reason));
    };
    if (tag.trimmed().isEmpty())
        return failed(QStringLiteral("测点没有 Id，不能作位号"));
    const StoreResult<LineAdded> added = m_store->addLine(m_number, {tag, selectionNo, 1, {}, {}});
    if (!added.ok())
        return failed(projectFailureText(added.error()));
    switch (added.value()) {
    case LineAdded::Added: return;
    case LineAdded::TagTaken: return failed(tagTakenMessage(m_number, tag));
    case LineAdded::NoSuchSelection: return failed(selectionNotStoredMessage(selectionNo));
    case LineAdded::NoSuchProject: return failed(projectMissingMessage(m_number));
    }
}

CopiedProjects copyProjects(SelectionStore& source, SelectionStore& target, const Sink& out, const Sink& err)
{
    ProjectStore* from = projectsOf(source);
    ProjectStore* to = projectsOf(target);
    if (!from || !from->hasProjects())
        return CopiedProjects::All;
    const StoreResult<std::vector<Project>> projects = from->allProjects();
    if (!projects.ok()) {
        err(projectFailureText(projects.error()));
        return CopiedProjects::StoreFailed;
    }
    if (projects.value().empty())
        return CopiedProjects::All;
    const StoreResult<std::vector<StoredProjectLine>> lines = from->allLines();
    if (!lines.ok()) {
        err(projectFailureText(lines.error()));
        return CopiedProjects::StoreFailed;
    }
    if (!to) {
        err(QStringLiteral("the target keeps no projects"));
        return CopiedProjects::StoreFailed;
    }
    const StoreResult<ProjectCopyOutcome> copied = to->insertProjectsUnlessStored(projects.value(), lines.value());
    if (!copied.ok()) {
        err(projectFailureText(copied.error()));
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
