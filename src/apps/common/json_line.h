#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// One JSON object on one line, members in the order they are added (the runner's
// output is read by people as well as programs). Strings are written in UTF-8
// without \u escapes for printable characters.
class JsonLine {
public:
    explicit JsonLine(const QString& event);

    JsonLine& add(const char* key, const QString& value);
    JsonLine& add(const char* key, int value);
    JsonLine& add(const char* key, bool value);
    JsonLine& add(const char* key, const QStringList& values);
    JsonLine& addNull(const char* key);
    // `number` is written as it stands: the caller's text of a JSON number ("93.8").
    JsonLine& addNumber(const char* key, const QString& number);

    QString text() const { return m_text + u'}'; }

    static QString quoted(const QString& s);

private:
    void key(const char* key);
    QString m_text;
};

// Reads a JSON string literal such as "\" -20 \"" as the script language allows;
// nothing when the text is not exactly one string literal.
std::optional<QString> parseJsonString(const QString& literal);
