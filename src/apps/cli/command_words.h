#pragma once

#include <QString>
#include <QStringList>

#include <map>
#include <optional>
#include <set>

// The words of a command after its name: the plain words in their order, the values
// of the options that take one (`--out FILE` or `--out=FILE`) and the flags given
// (`--save`). Each option at most once: a second one is a usage error, never a
// value that silently wins.
struct CommandWords {
    QStringList plain;
    std::map<QString, QString> values;
    std::set<QString> flags;

    bool has(const QString& flag) const { return flags.count(flag) > 0; }
    // The option's value, or empty when it was not given.
    QString value(const QString& option) const;
    bool hasValue(const QString& option) const { return values.count(option) > 0; }
};

// Reads the words: `valued` are the options that take a value, `flags` those that
// take none (each written with its "--"). Nothing, with the reason in `fault`, for
// an option that is neither, one that lacks its value, a flag given a value, or an
// option given twice. A word that starts with one "-" only (a negative number) is
// a plain word.
std::optional<CommandWords> readCommandWords(
    const QStringList& words, const QStringList& valued, const QStringList& flags, QString* fault);
