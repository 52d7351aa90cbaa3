#pragma once

#include <QByteArrayView>
#include <QSaveFile>
#include <QString>

// A file replaced only by the whole of its new content: written beside its place and
// renamed there by commit(). A write that fails — a full disk included, which often
// shows only when the last buffered block goes out — makes commit() fail; then no
// file is left at the place, and one that was there stays as it was. The same holds
// when the object goes without commit().
class AtomicFile {
public:
    explicit AtomicFile(const QString& path);

    bool open();
    // Stops writing at the first failure, which commit() then reports.
    void write(QByteArrayView bytes);
    // For writers that write to a device on their own (QPdfWriter).
    QIODevice& device() { return m_file; }
    bool commit();
    void cancel();

    // Why open() or commit() failed.
    QString errorString() const { return m_error; }

private:
    QSaveFile m_file;
    QString m_error;
    bool m_failed = false;
};

// `bytes` as the whole content of `path`, as AtomicFile writes it; why it could not
// be written, or nothing.
QString writeWholeFile(const QString& path, QByteArrayView bytes);
