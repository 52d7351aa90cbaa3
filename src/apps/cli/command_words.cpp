#include "apps/cli/command_words.h"

QString CommandWords::value(const QString& option) const
{
    const auto it = values.find(option);
    return it == values.end() ? QString() : it->second;
}

std::optional<CommandWords> readCommandWords(
    const QStringList& words, const QStringList& valued, const QStringList& flags, QString* fault)
{
    CommandWords w;
    for (qsizetype i = 0; i < words.size(); ++i) {
        const QString& word = words[i];
        if (!word.startsWith(QStringLiteral("--")) || word.size() == 2) {
            w.plain << word;
            continue;
        }
        const qsizetype equals = word.indexOf(u'=');
        const QString name = equals < 0 ? word : word.left(equals);
        const bool takesValue = valued.contains(name);
        if (!takesValue && !flags.contains(name)) {
            *fault = QStringLiteral("unknown option %1").arg(name);
            return std::nullopt;
        }
        if (w.values.count(name) || w.flags.count(name)) {
            *fault = QStringLiteral("%1 is given twice; give it once").arg(name);
            return std::nullopt;
        }
        if (!takesValue) {
            if (equals >= 0) {
                *fault = QStringLiteral("%1 takes no value").arg(name);
                return std::nullopt;
            }
            w.flags.insert(name);
            continue;
        }
        if (equals >= 0) {
            w.values[name] = word.mid(equals + 1);
            continue;
        }
        if (i + 1 >= words.size()) {
            *fault = QStringLiteral("%1 needs a value").arg(name);
            return std::nullopt;
        }
        w.values[name] = words[++i];
    }
    return w;
}
