#include "apps/common/common_options.h"

#include <QDate>

CommonOptions::CommonOptions()
    : today(QDate::currentDate().toString(QStringLiteral("yyyyMMdd")))
{
}

bool CommonOptions::names(const QString& name)
{
    return name == u"--db" || name == u"--today";
}

bool CommonOptions::take(const QString& name, const QString& value, QString* error)
{
    if (name == u"--db") {
        if (value.isEmpty()) {
            *error = QStringLiteral("--db takes a path, not an empty text");
            return false;
        }
        db = value;
        return true;
    }
    const QDate date = QDate::fromString(value, QStringLiteral("yyyyMMdd"));
    if (value.size() != 8 || !date.isValid()) {
        *error = QStringLiteral("--today takes a date as YYYYMMDD, not '%1'").arg(value);
        return false;
    }
    today = value;
    return true;
}
