#pragma once

#include "apps/common/selection_import.h"
#include "apps/common/store_choice.h"
#include "apps/desktop/work_questions.h"

#include <QString>

#include <optional>
#include <vector>

class OldSelections;
class QWidget;
class Workspace;

// What an import of the desktop program did, to be told in one box.
struct ImportOutcome {
    ImportCounts counts;
    std::vector<ImportReport> reports; // the conflicts and failures, in row order
    QStringList extraColumns;          // the file's columns the table does not have
    bool cancelled = false;
    QString error; // why it stopped: the file could not be read on, or the store failed
};

// Imports the old selections into a store, a batch at a time under a progress dialog
// whose 取消 stops the import between batches (the batches before stay stored, but
// for a copy into an empty team store, which keeps all or nothing).
ImportOutcome importWithProgress(QWidget* parent, OldSelections& from, SelectionStore& into);

// How an import went, in the words of the box that tells it: the counts, then the
// numbers in conflict and those that failed with their reasons (the first twenty of
// each).
QString importOutcomeText(const ImportOutcome& outcome);

// At start-up on the old program's Access file at `location`: the question whether to
// import its selections. 导入 makes the store beside it (importedStorePath()), imports
// into it and opens it: then `opened` holds it and `location` names it, and the old
// file is left as it was. An import that is cancelled or fails leaves no new store
// behind and asks again; a file that cannot be read is said, with the choice of
// another store. Returns the answer given.
WorkQuestion::StoreAnswer offerImportAtStart(QWidget* parent, QString* location, std::optional<OpenedStore>* opened);

// The main window's "导入旧版数据库…": a file dialog for the old program's Access file
// or a CSV export of its table, the import into the store in use, the list read
// again, and a box telling how it went.
void importOldDatabase(QWidget* parent, Workspace& workspace);
