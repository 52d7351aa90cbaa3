#include "apps/cli/store_choice.h"

#include "adapters/postgresql/postgres_database.h"
#include "adapters/sqlite/selection_database.h"

#include <QCoreApplication>
#include <QDir>
#include <QSettings>

QString chosenStoreLocation(const QString& dbOption)
{
    if (!dbOption.isEmpty())
        return dbOption;
    if (const QString fromEnvironment = qEnvironmentVariable("FLOWSEL_DB"); !fromEnvironment.isEmpty())
        return fromEnvironment;
    const QDir programFolder(QCoreApplication::applicationDirPath());
    const QSettings settings(programFolder.filePath(QStringLiteral("flowsel.conf")), QSettings::IniFormat);
    const QString configured = settings.value(QStringLiteral("database")).toString();
    if (!configured.isEmpty()) {
        // a file named in the settings is found beside them, wherever the program is started
        if (PostgresLocation::isUri(configured) || configured == SelectionDatabase::memoryPath())
            return configured;
        return programFolder.absoluteFilePath(configured);
    }
    return SelectionDatabase::defaultPath();
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
    if (!file || !file->isOpen())
        return QString();
    const QString name = file->connection().databaseName();
    return name == SelectionDatabase::memoryPath() ? QString() : name;
}

OpenedStore openStore(const QString& location)
{
    OpenedStore opened;
    if (PostgresLocation::isUri(location)) {
        auto store = std::make_unique<PostgresDatabase>();
        const std::optional<PostgresLocation> where = PostgresLocation::parse(location, &opened.error);
        if (where && store->open(*where, &opened.error))
            opened.state = OpenedStore::State::Yes;
        opened.store = std::move(store);
        return opened;
    }
    auto store = std::make_unique<SelectionDatabase>();
    switch (store->open(location, &opened.error)) {
    case SelectionDatabase::Opened::Yes:
        opened.state = OpenedStore::State::Yes;
        break;
    case SelectionDatabase::Opened::Missing:
        opened.state = OpenedStore::State::Missing;
        opened.error = SelectionDatabase::missingMessage();
        break;
    case SelectionDatabase::Opened::Failed:
        opened.state = OpenedStore::State::Failed;
        break;
    }
    opened.store = std::move(store);
    return opened;
}

bool prepareStore(const QString& location, QString* error)
{
    if (location == SelectionDatabase::memoryPath())
        return true; // a fresh in-memory database holds the table already
    if (!PostgresLocation::isUri(location))
        return SelectionDatabase::create(location, error);
    const std::optional<PostgresLocation> where = PostgresLocation::parse(location, error);
    return where && PostgresDatabase::create(*where, error);
}
