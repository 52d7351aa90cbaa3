// The project face of the SQL store: the project tables beside the table of stored
// selections, in statements both engines accept.
#include "adapters/sql/project_statements.h"
#include "adapters/sql/sql_store.h"
#include "core/record/columns.h"

#include <QSet>
#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>
#include <limits>

namespace {

// Two programs making a project on the same day may take one number at once; the
// key lets one of them store it, the other takes the next. More attempts than
// programs that could plausibly race.
constexpr int kNumberAttempts = 20;

Project projectOf(const QSqlQuery& q)
{
    return {textOf(q.value(0)), textOf(q.value(1)), textOf(q.value(2)), textOf(q.value(3)), textOf(q.value(4)),
        textOf(q.value(5))};
}

std::vector<Project> projectsOf(QSqlQuery& q)
{
    std::vector<Project> projects;
    while (q.next())
        projects.push_back(projectOf(q));
    return projects;
}

// A line's quantity as the store holds it: a whole number from 1 to the largest int,
// or, written so by another program, anything else, which is kept as its text (in
// `odd`) and never read as another number. SQLite keeps what it is given in an
// integer column: a text, a real, a number beyond 32 bits.
int quantityOf(const QVariant& stored, QString* odd)
{
    bool whole = false;
    qlonglong n = 0;
    switch (stored.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort: n = stored.toLongLong(&whole); break;
    case QMetaType::QString: {
        const QString text = stored.toString();
        whole = !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); })
            && text.size() <= 10;
        if (whole)
            n = text.toLongLong(&whole);
        break;
    }
    default: break;
    }
    if (whole && n >= 1 && n <= std::numeric_limits<int>::max())
        return static_cast<int>(n);
    *odd = stored.isNull() ? QStringLiteral("NULL") : stored.toString();
    if (odd->isEmpty())
        *odd = QStringLiteral("\"\"");
    return 0;
}

// The sequence of a project number of the day; 0 when it has none.
int sequenceOf(const QString& number, const QString& prefix)
{
    bool ok = false;
    const int sequence = number.mid(prefix.size()).toInt(&ok);
    return ok ? sequence : 0;
}

} // namespace

QString SqlStore::checkProjectTables(bool mayWrite, const ColumnReader& read, Qt::CaseSensitivity names)
{
    return prepareProjectTables(connection(), mayWrite, read, names, &m_projectTables);
}

bool SqlStore::hasProjects() const
{
    return m_projectTables.present;
}

StoreError SqlStore::withoutProjects(const Statement& statement) const
{
    const QString reason = m_projectTables.missing.isEmpty() ? QStringLiteral("数据库未连接") : m_projectTables.missing;
    return {statement.sql, reason, StoreError::Kind::Failed};
}

StoreResult<QString> SqlStore::createProject(const Project& project, const QString& day)
{
    const QString prefix = project_statements::numberPrefix(day);
    for (int attempt = 0; attempt < kNumberAttempts; ++attempt) {
        const Statement numbers = project_statements::numbersOfDay(day);
        if (!hasProjects())
            return withoutProjects(numbers);
        int highest = 0;
        if (std::optional<StoreError> error = runStatement(numbers, [&](QSqlQuery& q) {
                while (q.next())
                    highest = std::max(highest, sequenceOf(textOf(q.value(0)), prefix));
            }))
            return *error;
        Project numbered = project;
        numbered.number = project_statements::projectNumber(day, highest + 1);
        const Statement insert = project_statements::insertProject(numbered);
        const std::optional<StoreError> error = runStatement(insert, [](QSqlQuery&) {});
        if (!error)
            return numbered.number;
        if (error->kind != StoreError::Kind::Failed && error->kind != StoreError::Kind::Duplicate)
            return *error;
        // taken meanwhile by another program, or refused for another reason
        bool taken = false;
        if (std::optional<StoreError> lookup = runStatement(
                project_statements::projectExists(numbered.number), [&taken](QSqlQuery& q) { taken = q.next(); }))
            return *lookup;
        if (!taken)
            return *error;
    }
    return StoreError {project_statements::numbersOfDay(day).sql, QStringLiteral("其他程序同时在新建项目，请稍后再试"),
        StoreError::Kind::Busy};
}

StoreResult<std::optional<Project>> SqlStore::fetchProject(const QString& number)
{
    const Statement statement = project_statements::fetchProject(number);
    std::optional<Project> project;
    if (!hasProjects())
        return project; // a store without the tables holds no project
    if (std::optional<StoreError> error = runStatement(statement, [&project](QSqlQuery& q) {
            if (q.next())
                project = projectOf(q);
        }))
        return *error;
    return project;
}

StoreResult<std::vector<Project>> SqlStore::listProjects(const QString& search)
{
    std::vector<Project> projects;
    if (!hasProjects())
        return projects;
    if (std::optional<StoreError> error = runStatement(project_statements::listProjects(search, likeMatch()),
            [&projects](QSqlQuery& q) { projects = projectsOf(q); }))
        return *error;
    return projects;
}

StoreResult<bool> SqlStore::updateProject(const Project& project)
{
    const Statement statement = project_statements::updateProject(project);
    if (!hasProjects())
        return withoutProjects(statement);
    bool updated = false;
    if (std::optional<StoreError> error
        = runStatement(statement, [&updated](QSqlQuery& q) { updated = q.numRowsAffected() > 0; }))
        return *error;
    return updated;
}

StoreResult<std::vector<ProjectLine>> SqlStore::projectLines(const QString& number)
{
    std::vector<ProjectLine> lines;
    if (!hasProjects())
        return lines;
    constexpr int kBefore = project_statements::kLineColumnsBeforeSelection;
    if (std::optional<StoreError> error = runStatement(project_statements::projectLines(number), [&](QSqlQuery& q) {
            while (q.next()) {
                ProjectLine line {textOf(q.value(0)), textOf(q.value(1)), 0, textOf(q.value(3)), std::nullopt, {}};
                line.quantity = quantityOf(q.value(2), &line.oddQuantity);
                if (!q.value(kBefore).isNull()) {
                    StoredRow row;
                    for (int c = 0; c < kColumnCount; ++c)
                        row << textOf(q.value(kBefore + c));
                    line.selection = row;
                }
                lines.push_back(std::move(line));
            }
        }))
        return *error;
    // tags in the order of their characters, the same on every engine whatever its collation
    std::sort(lines.begin(), lines.end(), [](const ProjectLine& a, const ProjectLine& b) { return a.tag < b.tag; });
    return lines;
}

StoreResult<LineAdded> SqlStore::tagTakenOr(const StoreError& error, const QString& projectNo, const QString& tag)
{
    if (error.kind != StoreError::Kind::Failed && error.kind != StoreError::Kind::Duplicate)
        return error;
    bool taken = false;
    if (std::optional<StoreError> lookup
        = runStatement(project_statements::lineExists(projectNo, tag), [&taken](QSqlQuery& q) { taken = q.next(); }))
        return *lookup;
    if (taken)
        return LineAdded::TagTaken;
    return error;
}

StoreResult<LineAdded> SqlStore::addLine(const QString& projectNo, const ProjectLine& line)
{
    const Statement statement = project_statements::addLine(projectNo, line);
    if (!hasProjects())
        return withoutProjects(statement);
    bool added = false;
    if (std::optional<StoreError> error
        = runStatement(statement, [&added](QSqlQuery& q) { added = q.numRowsAffected() > 0; }))
        return tagTakenOr(*error, projectNo, line.tag);
    if (added)
        return LineAdded::Added;
    bool project = false;
    if (std::optional<StoreError> error
        = runStatement(project_statements::projectExists(projectNo), [&project](QSqlQuery& q) { project = q.next(); }))
        return *error;
    return project ? LineAdded::NoSuchSelection : LineAdded::NoSuchProject;
}

StoreResult<bool> SqlStore::removeLine(const QString& projectNo, const QString& tag)
{
    const Statement statement = project_statements::removeLine(projectNo, tag);
    if (!hasProjects())
        return withoutProjects(statement);
    bool removed = false;
    if (std::optional<StoreError> error
        = runStatement(statement, [&removed](QSqlQuery& q) { removed = q.numRowsAffected() > 0; }))
        return *error;
    return removed;
}

StoreResult<LineAdded> SqlStore::updateLine(
    const QString& projectNo, const QString& tag, const QString& newTag, int quantity)
{
    const Statement statement = project_statements::updateLine(projectNo, tag, newTag, quantity);
    if (!hasProjects())
        return withoutProjects(statement);
    bool updated = false;
    if (std::optional<StoreError> error
        = runStatement(statement, [&updated](QSqlQuery& q) { updated = q.numRowsAffected() > 0; }))
        return newTag == tag ? StoreResult<LineAdded>(*error) : tagTakenOr(*error, projectNo, newTag);
    return updated ? LineAdded::Added : LineAdded::NoSuchProject;
}

StoreResult<QStringList> SqlStore::projectsUsing(const QString& selectionNo)
{
    QStringList numbers;
    if (!hasProjects())
        return numbers;
    if (std::optional<StoreError> error
        = runStatement(project_statements::projectsUsing(selectionNo), [&numbers](QSqlQuery& q) {
              while (q.next())
                  numbers << textOf(q.value(0));
          }))
        return *error;
    return numbers;
}

StoreResult<std::vector<Project>> SqlStore::allProjects()
{
    std::vector<Project> projects;
    if (!hasProjects())
        return projects;
    if (std::optional<StoreError> error
        = runStatement(project_statements::allProjects(), [&projects](QSqlQuery& q) { projects = projectsOf(q); }))
        return *error;
    return projects;
}

StoreResult<std::vector<StoredProjectLine>> SqlStore::allLines()
{
    std::vector<StoredProjectLine> lines;
    if (!hasProjects())
        return lines;
    if (std::optional<StoreError> error = runStatement(project_statements::allLines(), [&lines](QSqlQuery& q) {
            while (q.next()) {
                StoredProjectLine line {
                    textOf(q.value(0)), textOf(q.value(1)), textOf(q.value(2)), 0, textOf(q.value(4)), {}};
                line.quantity = quantityOf(q.value(3), &line.oddQuantity);
                lines.push_back(std::move(line));
            }
        }))
        return *error;
    return lines;
}

StoreResult<ProjectCopyOutcome> SqlStore::insertProjectsUnlessStored(
    const std::vector<Project>& projects, const std::vector<StoredProjectLine>& lines)
{
    if (!hasProjects())
        return withoutProjects(Statement {QStringLiteral("begin"), {}});
    if (std::optional<StoreError> error = beginTransaction())
        return *error;
    QSqlDatabase db = connection();
    ProjectCopyOutcome outcome;
    // Each in a savepoint: a refusal would abort a PostgreSQL transaction, and it is
    // one entry's, told and left out, not the copy's.
    const QString savepoint = QStringLiteral("savepoint copied_entry");
    // Stores one entry unless refused; an error only when the store itself fails.
    const auto store = [&](const Statement& statement, const QString& unstorable, RefusedProjectEntry refusal,
                           int* stored, int* skipped) -> std::optional<StoreError> {
        if (!unstorable.isEmpty()) {
            refusal.reason = unstorable;
            outcome.refused.push_back(refusal);
            return std::nullopt;
        }
        if (std::optional<StoreError> error = control(savepoint))
            return error;
        bool inserted = false;
        const std::optional<StoreError> error
            = runStatement(statement, [&inserted](QSqlQuery& q) { inserted = q.numRowsAffected() > 0; });
        if (error) {
            if (error->kind != StoreError::Kind::Failed)
                return error;
            if (std::optional<StoreError> undone = control(QStringLiteral("rollback to ") + savepoint))
                return undone;
            refusal.reason = error->message;
            outcome.refused.push_back(refusal);
            return std::nullopt;
        }
        ++*(inserted ? stored : skipped);
        return control(QStringLiteral("release ") + savepoint);
    };
    const auto firstUnstorable = [this](const QList<std::pair<const char*, QString>>& texts) {
        for (const auto& [caption, text] : texts) {
            if (const QString reason = unstorableText(text); !reason.isEmpty())
                return QStringLiteral("%1 %2").arg(QString::fromUtf8(caption), reason);
        }
        return QString();
    };
    QSet<QString> refusedProjects;
    for (const Project& p : projects) {
        const QString unstorable = firstUnstorable({{"项目编号", p.number}, {"项目名称", p.name}, {"客户", p.customer},
            {"现场", p.site}, {"日期", p.date}, {"备注", p.notes}});
        const size_t before = outcome.refused.size();
        if (std::optional<StoreError> error = store(project_statements::insertProjectUnlessStored(p), unstorable,
                {p.number, {}, {}, false}, &outcome.projects, &outcome.projectsSkipped)) {
            db.rollback();
            return *error;
        }
        if (outcome.refused.size() > before)
            refusedProjects.insert(p.number);
    }
    for (const StoredProjectLine& line : lines) {
        QString unstorable;
        if (refusedProjects.contains(line.projectNo))
            unstorable = QStringLiteral("项目 %1 未能复制").arg(line.projectNo);
        else if (!line.quantityValid())
            unstorable = QStringLiteral("数量“%1”不是 1 以上的整数").arg(line.oddQuantity);
        else
            unstorable = firstUnstorable({{"项目编号", line.projectNo}, {"位号", line.tag},
                {"选型编号", line.selectionNo}, {"备注", line.note}});
        if (std::optional<StoreError> error = store(project_statements::insertLineUnlessStored(line), unstorable,
                {line.projectNo, line.tag, {}, true}, &outcome.lines, &outcome.linesSkipped)) {
            db.rollback();
            return *error;
        }
    }
    if (std::optional<StoreError> error = commitOrRollBack(db))
        return *error;
    return outcome;
}
