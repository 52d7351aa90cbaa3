#include "apps/common/json_line.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <optional>

JsonLine::JsonLine(const QString& event)
    : m_text(QStringLiteral("{\"event\":") + quoted(event))
{
}

void JsonLine::key(const char* key)
{
    m_text += u',';
    m_text += quoted(QString::fromLatin1(key));
    m_text += u':';
}

JsonLine& JsonLine::add(const char* k, const QString& value)
{
    key(k);
    m_text += quoted(value);
    return *this;
}

JsonLine& JsonLine::add(const char* k, int value)
{
    key(k);
    m_text += QString::number(value);
    return *this;
}

JsonLine& JsonLine::addNumber(const char* k, const QString& number)
{
    key(k);
    m_text += number;
    return *this;
}

JsonLine& JsonLine::add(const char* k, bool value)
{
    key(k);
    m_text += value ? QStringLiteral("true") : QStringLiteral("false");
    return *this;
}

JsonLine& JsonLine::add(const char* k, const QStringList& values)
{
    key(k);
    m_text += u'[';
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (i > 0)
            m_text += u',';
        m_text += quoted(values[i]);
    }
    m_text += u']';
    return *this;
}

JsonLine& JsonLine::addNull(const char* k)
{
    key(k);
    m_text += QStringLiteral("null");
    return *this;
}

QString JsonLine::quoted(const QString& s)
{
    QString out;
    out.reserve(s.size() + 2);
    out += u'"';
    for (QChar c : s) {
        switch (c.unicode()) {
        case u'"': out += QStringLiteral("\\\""); break;
        case u'\\': out += QStringLiteral("\\\\"); break;
        case u'\n': out += QStringLiteral("\\n"); break;
        case u'\r': out += QStringLiteral("\\r"); break;
        case u'\t': out += QStringLiteral("\\t"); break;
        case u'\b': out += QStringLiteral("\\b"); break;
        case u'\f': out += QStringLiteral("\\f"); break;
        default:
            if (c.unicode() < 0x20 || c.unicode() == 0x2028 || c.unicode() == 0x2029)
                out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QChar(u'0'));
            else
                out += c;
        }
    }
    out += u'"';
    return out;
}

std::optional<QString> parseJsonString(const QString& literal)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson((u'[' + literal + u']').toUtf8(), &error);
    if (error.error != QJsonParseError::NoError || !doc.isArray())
        return std::nullopt;
    const QJsonArray array = doc.array();
    if (array.size() != 1 || !array.at(0).isString())
        return std::nullopt;
    return array.at(0).toString();
}
