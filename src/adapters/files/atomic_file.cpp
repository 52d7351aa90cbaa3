#include "adapters/files/atomic_file.h"

#include <cerrno>

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

} // namespace

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
    : m_file(path)
    , m_device(std::make_unique<CheckedDevice>(m_file))
{
}

AtomicFile::~AtomicFile() = default;

bool AtomicFile::open()
{
    if (m_file.open(QIODevice::WriteOnly) && m_device->open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return true;
    m_error = m_file.errorString();
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
    // commit() alone does not see a failure of the last buffered block: flush, and
    // look at the file's error, first.
    QString failure = m_device->failure();
    errno = 0;
    if (failure.isEmpty() && (!m_file.flush() || m_file.error() != QFileDevice::NoError))
        failure = writeFailure(errno, m_file);
    if (!failure.isEmpty()) {
        m_error = incompleteWrite(failure);
        cancel();
        return false;
    }
    if (m_file.commit())
        return true;
    m_error = m_file.errorString();
    return false;
}

void AtomicFile::cancel()
{
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
