#pragma once

#include <QByteArrayView>
#include <QSaveFile>
#include <QString>

#include <memory>

// A file replaced only by the whole of its new content: written beside its place and
// renamed there by commit(). A write that fails — a full disk included, which often
// shows only when the last buffered block goes out, or as a write that takes part of
// its bytes without an error — makes commit() fail; then no file is left at the
// place, and one that was there stays as it was. The same holds when the object goes
// without commit().
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

    QSaveFile m_file;
    std::unique_ptr<CheckedDevice> m_device;
    QString m_error;
};

// `bytes` as the whole content of `path`, as AtomicFile writes it; why it could not
// be written, or nothing.
QString writeWholeFile(const QString& path, QByteArrayView bytes);
