#include "adapters/postgresql/postgres_location.h"

#include <QStringList>
#include <QUrl>

namespace {

const QString kSchemes[] = {QStringLiteral("postgresql://"), QStringLiteral("postgres://")};

QString decoded(const QString& part)
{
    return QUrl::fromPercentEncoding(part.toUtf8());
}

QString encoded(const QString& part, const QByteArray& keep = {})
{
    return QString::fromUtf8(QUrl::toPercentEncoding(part, keep));
}

// A value as libpq's connection strings take it: in single quotes, with quote and
// backslash escaped.
QString quotedOption(const QString& value)
{
    QString v = value;
    v.replace(u'\\', QStringLiteral("\\\\"));
    v.replace(u'\'', QStringLiteral("\\'"));
    return QStringLiteral("'%1'").arg(v);
}

bool readPort(const QString& text, int* port, QString* error)
{
    bool ok = false;
    const int p = text.toInt(&ok);
    if (!ok || p <= 0 || p > 65535) {
        *error = QStringLiteral("'%1' is not a port number").arg(text);
        return false;
    }
    *port = p;
    return true;
}

} // namespace

bool PostgresLocation::isUri(const QString& text)
{
    for (const QString& scheme : kSchemes)
        if (text.startsWith(scheme, Qt::CaseInsensitive))
            return true;
    return false;
}

std::optional<PostgresLocation> PostgresLocation::parse(const QString& uri, QString* error)
{
    QString rest;
    for (const QString& scheme : kSchemes)
        if (uri.startsWith(scheme, Qt::CaseInsensitive))
            rest = uri.mid(scheme.size());
    if (!isUri(uri)) {
        *error = QStringLiteral("'%1' is not a postgresql:// URI").arg(uri);
        return std::nullopt;
    }
    PostgresLocation where;
    const qsizetype question = rest.indexOf(u'?');
    const QString query = question < 0 ? QString() : rest.mid(question + 1);
    rest = rest.left(question < 0 ? rest.size() : question);
    const qsizetype slash = rest.indexOf(u'/');
    QString authority = rest.left(slash < 0 ? rest.size() : slash);
    where.database = slash < 0 ? QString() : decoded(rest.mid(slash + 1));
    if (const qsizetype at = authority.lastIndexOf(u'@'); at >= 0) {
        const QString userInfo = authority.left(at);
        authority = authority.mid(at + 1);
        const qsizetype colon = userInfo.indexOf(u':');
        where.user = decoded(userInfo.left(colon < 0 ? userInfo.size() : colon));
        if (colon >= 0)
            where.password = decoded(userInfo.mid(colon + 1));
    }
    QString portText;
    if (authority.startsWith(u'[')) { // an IPv6 address
        const qsizetype close = authority.indexOf(u']');
        where.host = authority.mid(1, close - 1);
        if (close >= 0 && authority.mid(close + 1).startsWith(u':'))
            portText = authority.mid(close + 2);
    } else {
        const qsizetype colon = authority.lastIndexOf(u':');
        where.host = decoded(authority.left(colon < 0 ? authority.size() : colon));
        if (colon >= 0)
            portText = authority.mid(colon + 1);
    }
    if (!portText.isEmpty() && !readPort(portText, &where.port, error))
        return std::nullopt;
    for (const QString& item : query.split(u'&', Qt::SkipEmptyParts)) {
        const qsizetype equals = item.indexOf(u'=');
        const QString key = decoded(item.left(equals < 0 ? item.size() : equals));
        const QString value = equals < 0 ? QString() : decoded(item.mid(equals + 1));
        if (key == u"host")
            where.host = value;
        else if (key == u"port" && !readPort(value, &where.port, error))
            return std::nullopt;
        else if (key == u"user")
            where.user = value;
        else if (key == u"password")
            where.password = value;
        else if (key == u"dbname")
            where.database = value;
        else if (key != u"port")
            where.options.emplace_back(key, value);
    }
    if (where.database.isEmpty()) {
        *error = QStringLiteral("the URI names no database: postgresql://[USER[:PASSWORD]@][HOST][:PORT]/DBNAME");
        return std::nullopt;
    }
    return where;
}

QString PostgresLocation::shown() const
{
    const bool socket = host.startsWith(u'/');
    QString uri = QStringLiteral("postgresql://");
    if (!user.isEmpty())
        uri += encoded(user) + u'@';
    if (!socket)
        uri += host.contains(u':') ? QStringLiteral("[%1]").arg(host) : encoded(host);
    if (port > 0)
        uri += QStringLiteral(":%1").arg(port);
    uri += u'/' + encoded(database);
    QStringList query;
    if (socket)
        query << QStringLiteral("host=") + encoded(host, "/");
    for (const auto& [key, value] : options)
        if (!isSecretOption(key))
            query << encoded(key) + u'=' + encoded(value);
    return query.isEmpty() ? uri : uri + u'?' + query.join(u'&');
}

bool PostgresLocation::isSecretOption(const QString& name)
{
    return name.contains(u"pass", Qt::CaseInsensitive) || name.contains(u"key", Qt::CaseInsensitive);
}

QString PostgresLocation::connectOptions() const
{
    QStringList pairs;
    for (const auto& [key, value] : options)
        pairs << key + u'=' + quotedOption(value);
    return pairs.join(u';');
}
