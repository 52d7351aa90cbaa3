#include "adapters/files/atomic_file.h"

namespace {

// A write cut short often leaves no system message ("Unknown error").
QString incompleteWrite(const QString& systemReason)
{
    return QStringLiteral("写入不完整，磁盘可能已满（%1）").arg(systemReason);
}

} // namespace

AtomicFile::AtomicFile(const QString& path)
    : m_file(path)
{
}

bool AtomicFile::open()
{
    if (m_file.open(QIODevice::WriteOnly))
        return true;
    m_error = m_file.errorString();
    return false;
}

void AtomicFile::write(QByteArrayView bytes)
{
    if (!m_failed && m_file.write(bytes.data(), bytes.size()) != bytes.size())
        m_failed = true;
}

bool AtomicFile::commit()
{
    // commit() alone does not see a failure of the last buffered block, and writers
    // such as QPdfWriter do not look at what their writes return: flush, and look at
    // the file's error, first.
    if (m_failed || !m_file.flush() || m_file.error() != QFileDevice::NoError) {
        m_error = incompleteWrite(m_file.errorString());
        m_file.cancelWriting();
        m_file.commit(); // only drops the temporary file
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
    m_file.commit();
}

QString writeWholeFile(const QString& path, QByteArrayView bytes)
{
    AtomicFile file(path);
    if (!file.open())
        return file.errorString();
    file.write(bytes);
    return file.commit() ? QString() : file.errorString();
}
