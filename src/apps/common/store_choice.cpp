#include "apps/common/store_choice.h"

#include "adapters/access/access_file.h"
#include "adapters/postgresql/postgres_database.h"
#include "adapters/sqlite/selection_database.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>
#include <QStringDecoder>

#include <algorithm>

namespace {

const QString kDatabaseKey = QStringLiteral("database");

// The scheme of a text that is a URI (`word://…`, with the letters RFC 3986 allows
// in a scheme); empty for a text that is none, as a path is.
QString schemeOf(const QString& text)
{
    static const QRegularExpression scheme(QStringLiteral("^([A-Za-z][A-Za-z0-9+.-]*)://"));
    return scheme.match(text).captured(1);
}

// Whether bytes are UTF-8 text without control characters besides tabs and line ends.
bool isPlainText(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(bytes);
    return !utf8.hasError() && std::none_of(text.begin(), text.end(), [](QChar c) {
        return c.category() == QChar::Other_Control && c != u'\t' && c != u'\n' && c != u'\r';
    });
}

// The value of `database` in the settings file at `path`, in `location`: empty when
// the file or the key is not there. The reason when the file is there but cannot be
// read, or its value is no text that could name a store.
QString configuredLocation(const QString& path, QString* location)
{
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return QString();
    const QString notIni = QStringLiteral("the file is not in the INI format (lines key=value)");
    // QSettings takes a file it cannot read for an empty one: read it first
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("the file cannot be read: %1").arg(file.errorString());
    // and much of a binary file for keys of its own
    if (!isPlainText(file.readAll()))
        return notIni;
    file.close();
    const QSettings settings(path, QSettings::IniFormat);
    switch (settings.status()) {
    case QSettings::NoError: break;
    case QSettings::AccessError: return QStringLiteral("the file cannot be read");
    case QSettings::FormatError: return notIni;
    }
    if (!settings.contains(kDatabaseKey))
        return QString();
    const QVariant value = settings.value(kDatabaseKey);
    if (value.typeId() == QMetaType::QStringList)
        return QStringLiteral("database= holds a list, not one store (a path with a comma is written in quotes)");
    if (value.typeId() != QMetaType::QString)
        return QStringLiteral("database= is not a text that names a store");
    *location = value.toString();
    if (location->trimmed().isEmpty())
        return QStringLiteral("database= is empty");
    return QString();
}

StoreChoice choice(StoreChoice::Origin origin, const QString& source, const QString& location, const QString& problem)
{
    return problem.isEmpty() ? StoreChoice {origin, location, source, QString()}
                             : StoreChoice {origin, QString(), source, problem};
}

// The store a file chosen stands for: the store of its imported selections when it
// is the old program's Access file and they are there, else itself.
QString imported(const QString& location)
{
    if (location == SelectionDatabase::memoryPath() || !schemeOf(location).isEmpty() || !holdsAccessFile(location))
        return location;
    const QString store = importedStorePath(location);
    return QFileInfo::exists(store) ? store : location;
}

StoreChoice given(StoreChoice::Origin origin, const QString& source, const QString& location)
{
    return choice(origin, source, imported(location), locationProblem(location));
}

// What is said of an Access file where a store is wanted.
QString accessFileAsStore(const QString& location)
{
    return QStringLiteral("这是旧版选型软件的数据库（Access），本程序不直接使用；导入请用：flowsel-cli --db %1 "
                          "import %2")
        .arg(importedStorePath(location), location);
}

} // namespace

QString StoreChoice::problemText() const
{
    return QStringLiteral("%1: %2").arg(source, problem);
}

StoreChoice chooseStore(const QString& dbOption)
{
    if (!dbOption.isEmpty())
        return given(StoreChoice::Origin::Option, QStringLiteral("--db"), dbOption);
    if (const QString fromEnvironment = qEnvironmentVariable("FLOWSEL_DB"); !fromEnvironment.isEmpty())
        return given(StoreChoice::Origin::Environment, QStringLiteral("FLOWSEL_DB"), fromEnvironment);
    const QDir programFolder(QCoreApplication::applicationDirPath());
    const QString settingsPath = programFolder.filePath(QStringLiteral("flowsel.conf"));
    QString configured;
    if (const QString problem = configuredLocation(settingsPath, &configured); !problem.isEmpty())
        return choice(StoreChoice::Origin::Settings, settingsPath, QString(), problem);
    if (!configured.isEmpty()) {
        // a file named in the settings is found beside them, wherever the program is started
        const bool file = schemeOf(configured).isEmpty() && configured != SelectionDatabase::memoryPath();
        return given(StoreChoice::Origin::Settings, settingsPath,
            file ? programFolder.absoluteFilePath(configured) : configured);
    }
    return choice(StoreChoice::Origin::Embedded, QString(), imported(SelectionDatabase::defaultPath()), QString());
}

QString locationProblem(const QString& location)
{
    if (location == SelectionDatabase::memoryPath() || PostgresLocation::isUri(location))
        return QString();
    if (const QString scheme = schemeOf(location); !scheme.isEmpty())
        return QStringLiteral("%1:// names no store the program can use: a store is a file, :memory: or a "
                              "postgresql:// URI")
            .arg(scheme);
    return SelectionDatabase::missingFolder(location);
}

bool holdsAccessFile(const QString& location)
{
    return accessFormatOfFile(location) != AccessFormat::NotAccess;
}

QString importedStorePath(const QString& path)
{
    const QFileInfo file(path);
    const QString name = file.suffix().isEmpty() ? file.fileName() : file.completeBaseName();
    const QString store = file.dir().filePath(name + QStringLiteral(".db"));
    return store == path ? path + QStringLiteral(".db") : store;
}

QString shownStoreLocation(const QString& location)
{
    if (!PostgresLocation::isUri(location))
        return location;
    QString error;
    const std::optional<PostgresLocation> where = PostgresLocation::parse(location, &error);
    return where ? where->shown() : QStringLiteral("postgresql://…");
}

QString storeFile(const SelectionStore& store)
{
    const auto* file = dynamic_cast<const SelectionDatabase*>(&store);
    return file ? file->fileName() : QString();
}

QString missingStoreAdvice(const QString& location)
{
    return QStringLiteral("数据库文件 %1 不存在；新建请用：flowsel-cli --db %1 init-db").arg(location);
}

OpenedStore openStore(const QString& location)
{
    OpenedStore opened;
    if (PostgresLocation::isUri(location)) {
        bool connected = false;
        opened.store = openPostgresDatabase(location, &connected, &opened.error);
        if (connected)
            opened.state = OpenedStore::State::Yes;
        return opened;
    }
    if (location != SelectionDatabase::memoryPath() && holdsAccessFile(location)) {
        opened.store = std::make_unique<SelectionDatabase>();
        opened.error = accessFileAsStore(location);
        return opened;
    }
    SelectionDatabase::Opened state = SelectionDatabase::Opened::Failed;
    opened.store = openSelectionDatabase(location, &state, &opened.error);
    switch (state) {
    case SelectionDatabase::Opened::Yes:
        opened.state = OpenedStore::State::Yes;
        opened.notice = static_cast<SelectionDatabase*>(opened.store.get())->searchIndexNotice();
        break;
    case SelectionDatabase::Opened::Missing:
        opened.state = OpenedStore::State::Missing;
        opened.error = SelectionDatabase::missingMessage();
        break;
    case SelectionDatabase::Opened::Failed: opened.state = OpenedStore::State::Failed; break;
    }
    return opened;
}

std::vector<StoreFinding> checkStore(SelectionStore& store)
{
    auto* sql = dynamic_cast<SqlStore*>(&store);
    return sql ? sql->checkAndRepair() : std::vector<StoreFinding> {};
}

bool prepareStore(const QString& location, QString* error, QString* notice)
{
    if (location == SelectionDatabase::memoryPath())
        return true; // a fresh in-memory database holds the table already
    // the program's own folder for its file is the program's to make; any other
    // folder is the user's, and a missing one is more likely a mistyped path
    if (location == SelectionDatabase::defaultPath()) {
        if (const QString folder = QFileInfo(location).absolutePath(); !QDir().mkpath(folder)) {
            *error = QStringLiteral("cannot create the folder %1").arg(folder);
            return false;
        }
    }
    if (!PostgresLocation::isUri(location)) {
        if (holdsAccessFile(location)) {
            *error = accessFileAsStore(location);
            return false;
        }
        return SelectionDatabase::create(location, error, notice);
    }
    const std::optional<PostgresLocation> where = PostgresLocation::parse(location, error);
    return where && PostgresDatabase::create(*where, error);
}
