#pragma once

#include "core/ports/selection_store.h"

#include <QString>

#include <optional>
#include <vector>

// A project: the metering points of one inquiry under one name. Its number is
// given by the store when it is made (see ProjectStore::createProject).
struct Project {
    QString number;
    QString name;
    QString customer;
    QString site;
    QString date; // yyyy-MM-dd, the day it was made
    QString notes;
};

// A line of a project: one metering point, by its tag (位号, unique within the
// project), and the stored selection that answers it.
struct ProjectLine {
    QString tag;
    QString selectionNo;
    int quantity = 1;
    QString note;
    // The stored selection's row; none when it is no longer stored (deleted since),
    // which leaves the line in the project, marked as deleted.
    std::optional<StoredRow> selection;
    // The quantity as the store holds it, when that is no whole number from 1 to
    // 2147483647 (another program wrote it): shown as it is, never turned into
    // another number; `quantity` is then 0. Empty for a quantity that is one.
    QString oddQuantity;

    bool deleted() const { return !selection.has_value(); }
    bool quantityValid() const { return oddQuantity.isEmpty(); }
};

// A line as another store holds it, for copying: the project's number beside it.
struct StoredProjectLine {
    QString projectNo;
    QString tag;
    QString selectionNo;
    int quantity = 1;
    QString note;
    QString oddQuantity; // as ProjectLine's

    bool quantityValid() const { return oddQuantity.isEmpty(); }
};

// What became of adding a line.
enum class LineAdded {
    Added,
    TagTaken,        // the project holds the tag already (perhaps stored meanwhile)
    NoSuchSelection, // the store holds no selection of that number
    NoSuchProject,
};

// A project or a line that a store would not take, and why: a project by its
// number (`tag` empty), a line by its project's number and its tag.
struct RefusedProjectEntry {
    QString projectNo;
    QString tag;
    QString reason;
    bool isLine = false;
};

// What copying projects into a store did: the projects and lines stored, those
// skipped because the store held them already, and those it refused, in order.
struct ProjectCopyOutcome {
    int projects = 0;
    int projectsSkipped = 0;
    int lines = 0;
    int linesSkipped = 0;
    std::vector<RefusedProjectEntry> refused;
};

// Where the projects are kept: beside the stored selections, in tables of their
// own. A store that has not the project tables (an older store opened read-only)
// holds no project; writing to it fails with the reason.
class ProjectStore {
public:
    virtual ~ProjectStore() = default;

    // Whether the store holds the project tables.
    virtual bool hasProjects() const = 0;
    // Stores a new project numbered for `day` (yyyymmdd): "XM", the day and the next
    // free three-digit sequence; two programs making a project at once get two
    // numbers. The project's number as stored.
    virtual StoreResult<QString> createProject(const Project& project, const QString& day) = 0;
    // The project of a number; none when there is none.
    virtual StoreResult<std::optional<Project>> fetchProject(const QString& number) = 0;
    // The projects, newest number first; with a search, those whose number, name,
    // customer or site contains it (letters without case).
    virtual StoreResult<std::vector<Project>> listProjects(const QString& search = QString()) = 0;
    // Changes a project's name, customer, site and notes; false when there is none.
    virtual StoreResult<bool> updateProject(const Project& project) = 0;
    // The lines of a project in tag order, each with its stored selection.
    virtual StoreResult<std::vector<ProjectLine>> projectLines(const QString& number) = 0;
    // Adds a line, unless the project or the selection is not there or the tag is
    // taken: one statement, so that of two programs adding one tag at once one adds
    // it and the other is told that it is taken.
    virtual StoreResult<LineAdded> addLine(const QString& projectNo, const ProjectLine& line) = 0;
    // Removes a line; false when the project has no such tag.
    virtual StoreResult<bool> removeLine(const QString& projectNo, const QString& tag) = 0;
    // Gives the line of `tag` a new tag and quantity. TagTaken when the new tag is
    // another line's; NoSuchProject when the line is not there.
    virtual StoreResult<LineAdded> updateLine(
        const QString& projectNo, const QString& tag, const QString& newTag, int quantity)
        = 0;
    // The numbers of the projects that hold a line of the selection.
    virtual StoreResult<QStringList> projectsUsing(const QString& selectionNo) = 0;
    // Every project and every line, for copying into another store.
    virtual StoreResult<std::vector<Project>> allProjects() = 0;
    virtual StoreResult<std::vector<StoredProjectLine>> allLines() = 0;
    // Stores projects and lines in one transaction, each unless the store holds its
    // number (a project) or its project's tag (a line) already: nothing is
    // overwritten. One the store refuses (a value it cannot hold, a quantity that is
    // no whole number from 1 up) is left out with the reason, and so are the lines of
    // a project left out; the others are stored. When the store itself fails (busy,
    // the connection lost) nothing is stored.
    virtual StoreResult<ProjectCopyOutcome> insertProjectsUnlessStored(
        const std::vector<Project>& projects, const std::vector<StoredProjectLine>& lines)
        = 0;
};

// The store's projects, when it keeps any: the project face of a selection store.
inline ProjectStore* projectsOf(SelectionStore& store)
{
    return dynamic_cast<ProjectStore*>(&store);
}
