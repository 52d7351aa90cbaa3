#pragma once

#include "core/ports/selection_store.h"

#include <QString>

#include <memory>

// Which store a run uses, the same for both programs: the --db option, then the
// environment variable FLOWSEL_DB, then the key `database` of flowsel.conf beside
// the program (INI), then the embedded file sjk/选型数据库.mdb beside the program.
// A location is a file path, ":memory:", or a postgresql:// URI. `dbOption` is
// empty when the option was not given.
QString chosenStoreLocation(const QString& dbOption);

// What the program shows of a location: a file's path, or the URI without its
// password.
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
};
OpenedStore openStore(const QString& location);

// The file `store` keeps its selections in; empty for a store in memory or on a
// server, or one that could not be opened.
QString storeFile(const SelectionStore& store);

// Creates the store's table where it is missing (for a file, the file and its
// folder too); touches nothing that exists. False with the reason when that cannot
// be done, or when the table that is there has not the program's shape.
bool prepareStore(const QString& location, QString* error);
