#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <optional>

// The pages of a Jet 4.0 file as libmdb will follow them, checked beforehand.
// libmdb takes the page numbers and row offsets it finds for true: a number past the
// file's end or a chain of pages that runs in a circle sends it reading what is not
// there. So before it reads a table, the pages its definition, its usage maps and
// its rows lie on are checked to be in the file and of their kind; what is wrong is
// told in the words the user reads. The file is only read.
class JetPages {
public:
    // Opens the file read-only and checks what libmdb reads first: the header's
    // signature and version, a size of whole pages, and the system catalog's
    // definition and the pages of its rows. Why the file cannot be read, or empty.
    QString open(const QString& path);

    // The same for a table whose definition begins on `page`; `name` is how the
    // reasons name it.
    QString checkTable(quint32 page, const QString& name);

    quint32 pageCount() const { return m_pageCount; }

private:
    // A page as the engine sees it: decrypted where the file is encoded; none when
    // it is beyond the file or cannot be read.
    std::optional<QByteArray> page(quint32 number);
    // Where a pointer leads: a page of this file of the given kind, or the reason.
    QString pageProblem(quint32 number, unsigned char type, const QString& what);
    // The bytes of a definition spread over a chain of pages, or the reason.
    QString readDefinition(quint32 first, const QString& what, QByteArray* definition);
    // The row a data pointer (page << 8 | row) points at, or the reason.
    QString readPointedRow(quint32 pointer, const QString& what, QByteArray* row);
    // The pages a usage map lists, each within the file.
    QString checkUsageMap(const QByteArray& map, const QString& what);

    QFile m_file;
    quint32 m_pageCount = 0;
    quint32 m_key = 0; // the database key; 0: the pages are not encoded
};
