#pragma once

#include <QByteArrayView>
#include <QFile>
#include <QSaveFile>
#include <QString>

#include <memory>

// A file replaced only by the whole of its new content: written beside its place and
// renamed there by commit(). A write that fails — a full disk included, which often
// shows only when the last buffered block goes out, or as a write that takes part of
// its bytes without an error — makes commit() fail; then no file is left at the
// place, and one that was there stays as it was. The same holds when the object goes
// without commit(). A symbolic link is written through: its target is replaced.
//
// A place that is no regular file is never replaced by one: a character device or a
// FIFO (/dev/null, a named pipe, a terminal) is written in place as a stream, and
// /dev/stdout, /dev/stderr and /dev/fd/N are the descriptors the program was given;
// what a stream took cannot be taken back. Any other kind of place (a folder, a
// socket, a block device) is refused by open().
class AtomicFile {
public:
    explicit AtomicFile(const QString& path);
    ~AtomicFile();

    bool open();
    // Stops writing at the first failure, which commit() then reports.
    void write(QByteArrayView bytes);
    // For writers that write to a device on their own (QPdfWriter). Each write is
    // checked as write() checks it, so a writer that ignores what its writes return
    // cannot leave a cut-off file behind.
    QIODevice& device();
    bool commit();
    void cancel();

    // Why open() or commit() failed.
    QString errorString() const { return m_error; }

private:
    class CheckedDevice;

    QString m_path;
    QSaveFile m_file;
    QFile m_stream;
    bool m_streaming = false;
    std::unique_ptr<CheckedDevice> m_device;
    QString m_error;
};

// How a path is written: replaced whole (a regular file, or none yet), as a stream in
// place, or not at all (the reason in `why`).
enum class WriteTarget {
    WholeFile,
    Stream,
    Refused,
};
WriteTarget writeTargetOf(const QString& path, QString* why = nullptr);

// The file a path names once its links are followed: for one that is not there (a
// link that points nowhere yet included), the resolved folder it would be in and its
// name; so two spellings of one file, existing or to be made, give one text.
QString resolvedPath(const QString& path);

// `bytes` as the whole content of `path`, as AtomicFile writes it; why it could not
// be written, or nothing.
QString writeWholeFile(const QString& path, QByteArrayView bytes);
