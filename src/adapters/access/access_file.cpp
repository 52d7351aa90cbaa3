#include "adapters/access/access_file.h"

#include <QFile>

namespace {

// The first page opens with these bytes, then the name of the engine that made it.
constexpr QByteArrayView kPageZero("\x00\x01\x00\x00", 4);
constexpr QByteArrayView kJetName("Standard Jet DB\0", 16);
constexpr QByteArrayView kAceName("Standard ACE DB\0", 16);
// Where the engine's version is: 0 for Jet 3, 1 for Jet 4, 2 and up for ACE.
constexpr qsizetype kVersionAt = 0x14;

} // namespace

AccessFormat accessFormatOf(const QByteArray& firstBytes)
{
    if (firstBytes.size() <= kVersionAt || !firstBytes.startsWith(kPageZero))
        return AccessFormat::NotAccess;
    const QByteArrayView name = QByteArrayView(firstBytes).sliced(kPageZero.size(), kJetName.size());
    if (name == kAceName)
        return AccessFormat::Ace;
    if (name != kJetName)
        return AccessFormat::NotAccess;
    switch (static_cast<unsigned char>(firstBytes[kVersionAt])) {
    case 0: return AccessFormat::Jet3;
    case 1: return AccessFormat::Jet4;
    default: return AccessFormat::Ace;
    }
}

AccessFormat accessFormatOfFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return AccessFormat::NotAccess;
    return accessFormatOf(file.read(kVersionAt + 1));
}

QString accessFormatProblem(AccessFormat format)
{
    switch (format) {
    case AccessFormat::NotAccess: return QStringLiteral("不是Access数据库文件");
    case AccessFormat::Jet3:
        return QStringLiteral("是Jet 3格式（Access 97）的数据库，只能导入Jet 4.0格式（Access 2000–2003）的数据库");
    case AccessFormat::Ace:
        return QStringLiteral("是ACE格式（Access 2007及以后，.accdb）的数据库，只能导入Jet 4.0格式（Access "
                              "2000–2003，.mdb）的数据库");
    case AccessFormat::Jet4: break;
    }
    return QString();
}
