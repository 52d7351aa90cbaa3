#pragma once

#include "adapters/sql/query_helpers.h"
#include "adapters/sql/statements.h"
#include "core/ports/project_store.h"

#include <vector>

// The statements on the project tables, beside the table of stored selections which
// they never alter: `选型项目`, one row a project, and `项目测点`, one row a line,
// keyed by its project and its tag. A line names its selection by number only, so
// that deleting the selection leaves the line (marked deleted) instead of breaking
// the project. SQL that SQLite and PostgreSQL both accept; values are bound.
namespace project_statements {

// The tables' names, in the order they are made.
const QStringList& tableNames();

// One column of a project table: its name, whether it holds whole numbers (else
// text), whether it is part of the primary key.
struct ProjectColumn {
    const char* name;
    bool integer;
    bool key;
};
// The columns of a project table in their order.
const std::vector<ProjectColumn>& columnsOf(const QString& table);

// The project tables, where they are missing.
std::vector<Statement> createTables();

// The numbers of the projects made on a day (yyyymmdd).
Statement numbersOfDay(const QString& day);
// A project's number for a day and a sequence: "XM20261210001".
QString projectNumber(const QString& day, int sequence);
// The day's prefix of project numbers.
QString numberPrefix(const QString& day);

Statement insertProject(const Project& project);
Statement insertProjectUnlessStored(const Project& project);
Statement fetchProject(const QString& number);
Statement listProjects(const QString& search, statements::Match match);
Statement allProjects();
Statement updateProject(const Project& project);

// The lines of a project, each with the 45 values of its stored selection (NULL
// when it is gone): tag, number, quantity, note, then the selection's columns.
Statement projectLines(const QString& number);
inline constexpr int kLineColumnsBeforeSelection = 4;
// Adds a line only when its project and its selection are stored.
Statement addLine(const QString& projectNo, const ProjectLine& line);
Statement insertLineUnlessStored(const StoredProjectLine& line);
Statement lineExists(const QString& projectNo, const QString& tag);
Statement projectExists(const QString& number);
Statement selectionExists(const QString& number);
Statement removeLine(const QString& projectNo, const QString& tag);
Statement updateLine(const QString& projectNo, const QString& tag, const QString& newTag, int quantity);
Statement projectsUsing(const QString& selectionNo);
Statement allLines();

} // namespace project_statements
