#pragma once

#include "core/ports/project_store.h"

#include <QString>

#include <optional>
#include <vector>

// The rules of projects, once for every program: what a project's name, a line's tag
// and its quantity must be, making a project, adding, changing and removing a line,
// and what the user is told of each outcome. The desktop's project window, the
// command line's `project` and the batch's --project call these; each shows the
// outcome its own way (a box, a line on standard error, an exit status).
class Projects {
public:
    explicit Projects(ProjectStore& store);

    // What became of an operation.
    struct Outcome {
        enum class Kind {
            Done,
            Refused,       // the input or a rule refused it (a tag taken, a number not stored)
            NoSuchProject, // the project is not there
            StoreFailed,   // the store failed (held, lost, refused the statement)
        };
        Kind kind = Kind::Done;
        QString message;                                        // what the user is told; empty when done
        StoreError::Kind storeError = StoreError::Kind::Failed; // with StoreFailed

        bool done() const { return kind == Kind::Done; }
    };

    // The checks of what a user types, each with the one text of its refusal; empty
    // when the input may be used.
    static QString nameProblem(const QString& name);
    static QString tagProblem(const QString& tag);
    // A quantity typed: a whole number from 1 to 2,147,483,647; none, with the reason.
    static std::optional<int> quantityOf(const QString& text, QString* problem);

    // Makes a project of `name` (customer and site as given) numbered for `day`
    // (yyyymmdd); its number in `number`.
    Outcome create(
        const QString& name, const QString& customer, const QString& site, const QString& day, QString* number);
    // Changes the name, customer, site and notes of a project.
    Outcome update(const Project& project);
    // Adds stored selection `selectionNo` to a project under `tag`.
    Outcome add(const QString& projectNo, const QString& tag, const QString& selectionNo, int quantity = 1);
    // Adds a selection under the first tag `lines` leave free: its number, else its
    // number followed by -2, -3 …
    Outcome addUnderFreeTag(
        const QString& projectNo, const QString& selectionNo, const std::vector<ProjectLine>& lines, QString* tag);
    // Gives the line of `tag` a new tag and quantity.
    Outcome change(const QString& projectNo, const QString& tag, const QString& newTag, int quantity);
    Outcome remove(const QString& projectNo, const QString& tag);

    // The texts of the outcomes, for callers that find them themselves.
    static QString tagTakenText(const QString& projectNo, const QString& tag);
    static QString selectionNotStoredText(const QString& selectionNo);
    static QString projectMissingText(const QString& projectNo);
    static QString tagMissingText(const QString& projectNo, const QString& tag);
    // A failed store operation on projects as the program tells it: another program
    // holding the store, the connection lost, or the data error with the statement.
    static QString failureText(const StoreError& error);

private:
    Outcome failed(const StoreError& error) const;
    Outcome outcomeOf(const StoreResult<LineAdded>& added, const QString& projectNo, const QString& tag,
        const QString& selectionNo) const;

    ProjectStore& m_store;
};
