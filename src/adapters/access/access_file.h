#pragma once

#include <QByteArray>
#include <QString>

// What kind of database a file is, by the signature and version on its first page.
// Jet 4.0 (Access 2000 to 2003) is what the old selection program kept its
// selections in, and the only kind the import reads.
enum class AccessFormat {
    NotAccess,
    Jet3, // Access 97: pages of 2048 bytes, text in the system's code page
    Jet4,
    Ace, // Access 2007 and later (.accdb), or a .mdb saved by them
};

// The kind of the file whose first bytes these are.
AccessFormat accessFormatOf(const QByteArray& firstBytes);
// The kind of the file at `path`; NotAccess when it cannot be read.
AccessFormat accessFormatOfFile(const QString& path);

// Why a file of this kind cannot be imported, in the words the user reads; empty
// for Jet 4.0.
QString accessFormatProblem(AccessFormat format);
