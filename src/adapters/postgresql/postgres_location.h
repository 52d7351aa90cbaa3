#pragma once

#include <QString>

#include <optional>
#include <utility>
#include <vector>

// Where a PostgreSQL store is, from a libpq-style URI:
//   postgresql://[USER[:PASSWORD]@][HOST][:PORT]/DBNAME[?host=SOCKETDIR&KEY=VALUE...]
// A host (in the authority or in `host=`) that starts with "/" is the folder of a
// local server's Unix socket; other query parameters are libpq connection options.
struct PostgresLocation {
    QString user;
    QString password;
    QString host; // a host name, an address, or a socket folder; empty: libpq's default
    int port = -1;
    QString database;
    std::vector<std::pair<QString, QString>> options; // libpq's keywords and values

    // The connection options of the location as Qt's driver passes them on to libpq.
    QString connectOptions() const;

    // Whether a text names a PostgreSQL store rather than a file.
    static bool isUri(const QString& text);
    // The location a URI names; none, with the reason, when it cannot be used.
    static std::optional<PostgresLocation> parse(const QString& uri, QString* error);

    // The URI without its secrets: what the program shows of the store. The password
    // and every option that names a secret are left out.
    QString shown() const;
    // Whether a connection option holds a secret (a password, a key or a file of
    // them: password, sslpassword, sslkey, passfile...): its name, in any case,
    // contains "pass" or "key".
    static bool isSecretOption(const QString& name);
};
