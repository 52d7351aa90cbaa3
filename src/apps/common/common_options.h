#pragma once

#include <QString>

// The options both programs take before anything else: `--db PATH|URI`, the store
// (empty when not given: the choice then falls to chooseStore), and `--today
// YYYYMMDD`, the local date used for numbering (today when not given).
struct CommonOptions {
    QString db;
    QString today;

    // Neither option given yet: no store named, the date of today.
    CommonOptions();

    // Whether `name` is one of these options ("--db", "--today").
    static bool names(const QString& name);
    // Takes the value of option `name`; false, with the reason in `error`, when the
    // value cannot be used.
    bool take(const QString& name, const QString& value, QString* error);
};
