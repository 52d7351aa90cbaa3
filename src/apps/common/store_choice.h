#pragma once

#include "adapters/sql/sql_store.h"
#include "core/ports/selection_store.h"

#include <QString>

#include <memory>

// Which store a run uses, the same for both programs: the --db option, then the
// environment variable FLOWSEL_DB, then the key `database` of flowsel.conf beside
// the program (INI), then the embedded file sjk/选型数据库.mdb beside the program.
// A location is a file path, ":memory:", or a postgresql:// URI. `dbOption` is
// empty when the option was not given.
//
// A file so chosen that is the old program's Access database, with the store its
// selections were imported into beside it (importedStorePath()), stands for that
// store: an engineer who copied the old program's folder over, and imported it once,
// starts on the imported selections from then on, whichever way the file was named.
//
// A settings file that is there but cannot be read, or whose `database` names no
// store, is never passed over for the embedded file: the selections would go where
// the team does not look for them. Only a file that is not there, or holds no key
// `database`, leaves the choice to the embedded file.
struct StoreChoice {
    enum class Origin {
        Option,
        Environment,
        Settings,
        Embedded,
    };
    Origin origin = Origin::Embedded;
    QString location; // empty when the choice cannot be used
    // What made the choice: --db, FLOWSEL_DB, or the settings file's path.
    QString source;
    // Why the choice cannot be used; empty when it can.
    QString problem;

    bool usable() const { return problem.isEmpty(); }
    // The source and the problem in one line, for a terminal.
    QString problemText() const;
};
StoreChoice chooseStore(const QString& dbOption);

// Why a location that the user gave cannot name a store: a URI of another kind than
// postgresql:// (or postgres://), or a file whose folder does not exist (a store's
// file is created, never the folders it would be in). Empty when it can.
QString locationProblem(const QString& location);

// Whether the file at `location` is an Access database (of any version): the old
// program kept its selections in one under the name of the program's own file.
bool holdsAccessFile(const QString& location);

// Where the selections of the Access file at `path` go when imported: beside it, its
// name with the suffix .db (sjk/选型数据库.db beside sjk/选型数据库.mdb).
QString importedStorePath(const QString& path);

// What the program shows of a location: a file's path, or the URI without its
// secrets (see PostgresLocation::shown).
QString shownStoreLocation(const QString& location);

// A store opened at a location. The store is there in every case: without a
// connection each of its operations fails with the statement it would have run.
struct OpenedStore {
    enum class State {
        Yes,
        Missing, // no file there: the program goes on without a database
        Failed,  // the location cannot be used as the store; the reason is in `error`
    };
    std::unique_ptr<SelectionStore> store;
    State state = State::Failed;
    QString error;
    // What the opening found and put right, or could not (a search index rebuilt,
    // or left unread); empty when there was nothing to tell.
    QString notice;
};
OpenedStore openStore(const QString& location);

// What to tell on standard error when the store's file is missing: where it was
// looked for, and the command that makes it.
QString missingStoreAdvice(const QString& location);

// The file `store` keeps its selections in; empty for a store in memory or on a
// server, or one that could not be opened.
QString storeFile(const SelectionStore& store);

// Checks the store through and repairs what can be made again (see
// SqlStore::checkAndRepair); nothing for a store that is no SQL store.
std::vector<StoreFinding> checkStore(SelectionStore& store);

// Creates the store's table where it is missing (for a file, the file too, and for
// the program's own file its folder sjk/ beside the program); touches nothing that
// exists. False with the reason when that cannot
// be done, or when the table that is there has not the program's shape.
// What was repaired on the way (a search index rebuilt) goes to `notice`.
bool prepareStore(const QString& location, QString* error, QString* notice = nullptr);
