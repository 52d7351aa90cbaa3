#include "adapters/files/atomic_file.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString incompleteWrite(const QString& why)
{
    return QStringLiteral("写入不完整，磁盘可能已满（%1）").arg(why);
}

// The system's reason for a failed write. A write cut short leaves it in errno only:
// the file's own errorString() then says "Unknown error".
QString writeFailure(int systemError, const QFileDevice& file)
{
    return systemError != 0 ? qt_error_string(systemError) : file.errorString();
}

// The descriptor a path stands for: /dev/stdout, /dev/stderr, /dev/fd/N and
// /proc/self/fd/N are the program's own open files, whatever they are (a terminal,
// a pipe, or a file the shell opened with ">"); -1 for any other path.
int descriptorNamed(const QString& path)
{
    if (path == u"/dev/stdout")
        return STDOUT_FILENO;
    if (path == u"/dev/stderr")
        return STDERR_FILENO;
    static const QRegularExpression numbered(QStringLiteral("^/(?:dev|proc/self)/fd/([0-9]{1,9})$"));
    const QRegularExpressionMatch m = numbered.match(path);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

} // namespace

WriteTarget writeTargetOf(const QString& path, QString* why)
{
    const auto refused = [why](const QString& reason) {
        if (why)
            *why = reason;
        return WriteTarget::Refused;
    };
    if (path.isEmpty())
        return refused(QStringLiteral("没有文件名"));
    if (descriptorNamed(path) >= 0)
        return WriteTarget::Stream;
    struct stat st { };
    // stat follows links: what counts is what the link points at
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return WriteTarget::WholeFile; // not there (yet): made whole, or refused by the folder
    if (S_ISREG(st.st_mode))
        return WriteTarget::WholeFile;
    if (S_ISCHR(st.st_mode) || S_ISFIFO(st.st_mode))
        return WriteTarget::Stream;
    if (S_ISDIR(st.st_mode))
        return refused(QStringLiteral("这是一个文件夹，不是文件"));
    return refused(QStringLiteral("这不是普通文件（套接字或块设备），不能写入"));
}

QString resolvedPath(const QString& path)
{
    const QFileInfo info(path);
    if (info.exists()) {
        const QString canonical = info.canonicalFilePath();
        return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
    }
    // a link that points nowhere yet is written through: where it points counts
    QString target = info.absoluteFilePath();
    for (int hops = 0; hops < 40 && QFileInfo(target).isSymLink(); ++hops)
        target = QFileInfo(target).symLinkTarget();
    const QFileInfo named(target);
    if (named.exists())
        return named.canonicalFilePath();
    const QString folder = QFileInfo(named.absolutePath()).canonicalFilePath();
    return folder.isEmpty() ? named.absoluteFilePath() : QDir(folder).filePath(named.fileName());
}

// Hands every write on to the file and compares what the file took with what it was
// asked to take. When the disk fills inside a write larger than its buffer, the file
// takes part of the bytes and reports no error; QPdfWriter's stream then stops
// writing, so neither flush() nor error() would ever see the loss.
class AtomicFile::CheckedDevice final : public QIODevice {
public:
    explicit CheckedDevice(QFileDevice& file)
        : m_file(file)
    {
    }

    // Why a write fell short, or nothing.
    QString failure() const { return m_failure; }

    // The writer sees a file it may count its position in, a stream included: it
    // only ever writes on (the PDF writer counts its own offsets).
    bool isSequential() const override { return false; }
    qint64 size() const override { return m_file.size(); }
    bool seek(qint64 pos) override { return QIODevice::seek(pos) && m_file.seek(pos); }

protected:
    qint64 readData(char*, qint64) override { return -1; }

    qint64 writeData(const char* data, qint64 len) override
    {
        if (!m_failure.isEmpty())
            return -1;
        errno = 0;
        const qint64 written = m_file.write(data, len);
        if (written == len)
            return written;
        const QString why = writeFailure(errno, m_file);
        m_failure
            = written < 0 ? why : QStringLiteral("只写入了 %1 字节（应写 %2 字节）：%3").arg(written).arg(len).arg(why);
        return -1;
    }

private:
    QFileDevice& m_file;
    QString m_failure;
};

AtomicFile::AtomicFile(const QString& path)
    : m_path(path)
    , m_file(path)
    , m_device(std::make_unique<CheckedDevice>(m_file))
{
}

AtomicFile::~AtomicFile() = default;

bool AtomicFile::open()
{
    QString refusal;
    switch (writeTargetOf(m_path, &refusal)) {
    case WriteTarget::Refused: m_error = refusal; return false;
    case WriteTarget::WholeFile:
        if (m_file.open(QIODevice::WriteOnly) && m_device->open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return true;
        m_error = m_file.errorString();
        return false;
    case WriteTarget::Stream: break;
    }
    // A device or a pipe is opened as it is, never made or truncated: a FIFO waits
    // here for its reader, as any writer of it does.
    m_streaming = true;
    const int own = descriptorNamed(m_path);
    const int fd = own >= 0 ? ::fcntl(own, F_DUPFD_CLOEXEC, 0)
                            : ::open(QFile::encodeName(m_path).constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) {
        m_error = qt_error_string(errno);
        return false;
    }
    if (!m_stream.open(fd, QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        m_error = m_stream.errorString();
        return false;
    }
    m_device = std::make_unique<CheckedDevice>(m_stream);
    if (m_device->open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return true;
    m_error = m_device->errorString();
    return false;
}

void AtomicFile::write(QByteArrayView bytes)
{
    m_device->write(bytes.data(), bytes.size());
}

QIODevice& AtomicFile::device()
{
    return *m_device;
}

bool AtomicFile::commit()
{
    QFileDevice& target = m_streaming ? static_cast<QFileDevice&>(m_stream) : m_file;
    // commit() alone does not see a failure of the last buffered block: flush, and
    // look at the file's error, first.
    QString failure = m_device->failure();
    errno = 0;
    if (failure.isEmpty() && (!target.flush() || target.error() != QFileDevice::NoError))
        failure = writeFailure(errno, target);
    if (!failure.isEmpty()) {
        m_error = incompleteWrite(failure);
        cancel();
        return false;
    }
    if (m_streaming) {
        m_stream.close();
        return true;
    }
    if (m_file.commit())
        return true;
    m_error = m_file.errorString();
    return false;
}

void AtomicFile::cancel()
{
    if (m_streaming) {
        m_stream.close(); // what went out is out
        return;
    }
    m_file.cancelWriting();
    m_file.commit(); // only drops the temporary file
}

QString writeWholeFile(const QString& path, QByteArrayView bytes)
{
    AtomicFile file(path);
    if (!file.open())
        return file.errorString();
    file.write(bytes);
    return file.commit() ? QString() : file.errorString();
}
