#include "workspace/projects.h"

#include "workspace/store_messages.h"

#include <QDate>

#include <algorithm>
#include <limits>

Projects::Projects(ProjectStore& store)
    : m_store(store)
{
}

QString Projects::nameProblem(const QString& name)
{
    return name.trimmed().isEmpty() ? QStringLiteral("项目名称不能为空！") : QString();
}

QString Projects::tagProblem(const QString& tag)
{
    return tag.trimmed().isEmpty() ? QStringLiteral("位号不能为空！") : QString();
}

std::optional<int> Projects::quantityOf(const QString& text, QString* problem)
{
    bool ok = false;
    const qlonglong quantity = text.trimmed().toLongLong(&ok);
    if (ok && quantity >= 1 && quantity <= std::numeric_limits<int>::max())
        return static_cast<int>(quantity);
    *problem = QStringLiteral("数量应为不小于1的整数！");
    return std::nullopt;
}

QString Projects::tagTakenText(const QString& projectNo, const QString& tag)
{
    return QStringLiteral("项目 %1 中已有位号“%2”").arg(projectNo, tag);
}

QString Projects::selectionNotStoredText(const QString& selectionNo)
{
    return QStringLiteral("选型编号（%1）还未保存，不能加入项目！").arg(selectionNo);
}

QString Projects::projectMissingText(const QString& projectNo)
{
    return QStringLiteral("没有项目 %1").arg(projectNo);
}

QString Projects::tagMissingText(const QString& projectNo, const QString& tag)
{
    return QStringLiteral("项目 %1 中没有位号“%2”").arg(projectNo, tag);
}

QString Projects::failureText(const StoreError& error)
{
    switch (error.kind) {
    case StoreError::Kind::Disconnected: return connectionLostText(error.statement, error.message);
    case StoreError::Kind::Busy: return QStringLiteral("数据库正被其他程序使用，项目未更改，请稍后再试！");
    case StoreError::Kind::Failed:
    case StoreError::Kind::Duplicate: break;
    }
    return dataErrorText(error.statement, error.message);
}

Projects::Outcome Projects::failed(const StoreError& error) const
{
    return {Outcome::Kind::StoreFailed, failureText(error), error.kind};
}

Projects::Outcome Projects::create(
    const QString& name, const QString& customer, const QString& site, const QString& day, QString* number)
{
    if (const QString problem = nameProblem(name); !problem.isEmpty())
        return {Outcome::Kind::Refused, problem};
    Project p;
    p.name = name.trimmed();
    p.customer = customer;
    p.site = site;
    p.date = QDate::fromString(day, QStringLiteral("yyyyMMdd")).toString(Qt::ISODate);
    const StoreResult<QString> made = m_store.createProject(p, day);
    if (!made.ok())
        return failed(made.error());
    *number = made.value();
    return {};
}

Projects::Outcome Projects::update(const Project& project)
{
    if (const QString problem = nameProblem(project.name); !problem.isEmpty())
        return {Outcome::Kind::Refused, problem};
    const StoreResult<bool> updated = m_store.updateProject(project);
    if (!updated.ok())
        return failed(updated.error());
    if (!updated.value())
        return {Outcome::Kind::NoSuchProject, projectMissingText(project.number)};
    return {};
}

Projects::Outcome Projects::outcomeOf(
    const StoreResult<LineAdded>& added, const QString& projectNo, const QString& tag, const QString& selectionNo) const
{
    if (!added.ok())
        return failed(added.error());
    switch (added.value()) {
    case LineAdded::Added: return {};
    // another program may have taken it meanwhile
    case LineAdded::TagTaken: return {Outcome::Kind::Refused, tagTakenText(projectNo, tag)};
    case LineAdded::NoSuchSelection: return {Outcome::Kind::Refused, selectionNotStoredText(selectionNo)};
    case LineAdded::NoSuchProject: return {Outcome::Kind::NoSuchProject, projectMissingText(projectNo)};
    }
    return {};
}

Projects::Outcome Projects::add(const QString& projectNo, const QString& tag, const QString& selectionNo, int quantity)
{
    if (const QString problem = tagProblem(tag); !problem.isEmpty())
        return {Outcome::Kind::Refused, problem};
    const StoreResult<LineAdded> added = m_store.addLine(projectNo, {tag, selectionNo, quantity, {}, {}, {}});
    return outcomeOf(added, projectNo, tag, selectionNo);
}

Projects::Outcome Projects::addUnderFreeTag(
    const QString& projectNo, const QString& selectionNo, const std::vector<ProjectLine>& lines, QString* tag)
{
    const auto taken = [&lines](const QString& t) {
        return std::any_of(lines.begin(), lines.end(), [&t](const ProjectLine& l) { return l.tag == t; });
    };
    *tag = selectionNo;
    for (int n = 2; taken(*tag); ++n)
        *tag = QStringLiteral("%1-%2").arg(selectionNo).arg(n);
    return add(projectNo, *tag, selectionNo);
}

Projects::Outcome Projects::change(const QString& projectNo, const QString& tag, const QString& newTag, int quantity)
{
    if (const QString problem = tagProblem(newTag); !problem.isEmpty())
        return {Outcome::Kind::Refused, problem};
    const StoreResult<LineAdded> updated = m_store.updateLine(projectNo, tag, newTag.trimmed(), quantity);
    if (updated.ok() && updated.value() == LineAdded::NoSuchProject)
        return {Outcome::Kind::Refused, tagMissingText(projectNo, tag)};
    return outcomeOf(updated, projectNo, newTag.trimmed(), QString());
}

Projects::Outcome Projects::remove(const QString& projectNo, const QString& tag)
{
    const StoreResult<bool> removed = m_store.removeLine(projectNo, tag);
    if (!removed.ok())
        return failed(removed.error());
    if (!removed.value())
        return {Outcome::Kind::Refused, tagMissingText(projectNo, tag)};
    return {};
}
