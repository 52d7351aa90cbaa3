#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class SelectionStore;

// `flowsel-cli project …`: the arguments after the command word.
//   new NAME [--customer C] [--site S]   prints the new project's number alone
//   add P TAG NO [--qty N] | remove P TAG
//   list | show P                        JSON lines
//   sheet P OUT.pdf | export P OUT.xlsx
// Exit status: 0 done; 1 refused or not written (a tag taken, a number not stored, a
// tag not there, a store that failed, a file not written); 2 a command line that
// cannot be used, a store that cannot be opened, a project that does not exist.
// `openStore` opens the store in use and reports why it cannot (then nothing).
int runProjectCommand(const QStringList& arguments, const QString& today,
    const std::function<SelectionStore*()>& openStore, const std::function<void(const QString&)>& out,
    const std::function<void(const QString&)>& err);

class ProjectStore;

// The project of `batch … --save --project P`: every saved point joins it, its `Id`
// as the tag. A point that cannot join (no Id, its tag taken, the store failing) is
// told on standard error and makes the batch's exit status 1.
class BatchProject {
public:
    // The project, or none when the store holds no such project (told).
    static std::optional<BatchProject> open(
        SelectionStore& store, const QString& number, const std::function<void(const QString&)>& err);

    void attach(const QString& tag, const QString& selectionNo);
    bool allAttached() const { return m_failed == 0; }

private:
    BatchProject(ProjectStore& store, const QString& number, const std::function<void(const QString&)>& err);

    ProjectStore* m_store;
    QString m_number;
    std::function<void(const QString&)> m_err;
    int m_failed = 0;
};

// What became of copying the projects.
enum class CopiedProjects {
    All,         // every project and line is in the target (or was there already)
    SomeRefused, // the target refused some, each told
    StoreFailed, // a store failed: none of them copied (told)
};

// Copies the projects and lines of `source` into `target`, skipping what it holds
// (a project by its number, a line by its project and tag) and leaving out what it
// refuses, told one a line: {"event":"failed","ProjectNo":…,"reason":…} for a
// project, with "Tag" for a line. Then, when the source holds any project, one line
// {"event":"projects","copied":N,"skipped":M,"failed":F,"lines":L,"linesSkipped":K,
// "linesFailed":G}.
CopiedProjects copyProjects(SelectionStore& source, SelectionStore& target,
    const std::function<void(const QString&)>& out, const std::function<void(const QString&)>& err);
