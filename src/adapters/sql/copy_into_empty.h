#pragma once

#include "core/ports/selection_store.h"

// A store that can take many rows into a table that holds none by a faster way than
// row by row (the team store: COPY straight into the table, its indexes made again
// at the end), for copy-db into a new store. Found as the project face of a store is
// found: only the store that knows such a way offers it.
class CopyIntoEmpty {
public:
    virtual ~CopyIntoEmpty() = default;

    // Holds the table for itself when it holds no row, and then takes the rows of
    // every insertUnlessStored until endCopyIntoEmpty in one transaction, all or
    // nothing: a failure of the store ends it, nothing stored. Its rows may still be
    // on their way when insertUnlessStored returns, while the caller reads the next
    // ones: the outcome of each call, and that of endCopyIntoEmpty, tells what became
    // of the rows finished since the call before, in row order. False when the table
    // holds rows or the store cannot hold it: each insertUnlessStored stays a
    // transaction of its own, answering for its rows.
    virtual StoreResult<bool> beginCopyIntoEmpty() = 0;
    // Ends that copy, keeping its rows (what became of those not yet told) or none of
    // them; when keeping them fails, none are kept.
    virtual StoreResult<InsertOutcome> endCopyIntoEmpty(bool keep) = 0;
};

inline CopyIntoEmpty* copyIntoEmptyOf(SelectionStore& store)
{
    return dynamic_cast<CopyIntoEmpty*>(&store);
}
