#include "adapters/access/access_child.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QProcess>

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace {

// What the child writes, a tag and its content in QDataStream's form, one after the
// other: the head (the columns, whether each is text, the number of rows), then a
// row each, then the end, or at any point the reason it cannot go on.
enum Tag : quint8 {
    kHead = 'H',
    kRow = 'R',
    kEnd = 'Z',
    kFault = 'E',
};
constexpr QDataStream::Version kStreamVersion = QDataStream::Qt_6_4;

// How long the parent waits for the child to say anything: reading and counting a
// table takes seconds, so a silence this long is a reader that hangs.
constexpr int kSilenceMs = 5 * 60 * 1000;

QString g_program;

// Writes whole buffers to a file descriptor, a stretch at a time.
class PipeWriter {
public:
    explicit PipeWriter(int fd)
        : m_fd(fd)
    {
        m_stream.setVersion(kStreamVersion);
    }

    QDataStream& stream() { return m_stream; }

    // Sends what is buffered once it is this much, so that the parent starts on the
    // rows while the next ones are read.
    bool flushIfFull() { return m_buffer.size() < 256 * 1024 || flush(); }

    bool flush()
    {
        const char* data = m_buffer.constData();
        qsizetype left = m_buffer.size();
        while (left > 0) {
            const ssize_t written = ::write(m_fd, data, size_t(left));
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0)
                return false; // the parent has gone
            data += written;
            left -= written;
        }
        m_buffer.clear();
        m_stream.device()->seek(0);
        return true;
    }

private:
    int m_fd;
    QByteArray m_buffer;
    QDataStream m_stream {&m_buffer, QIODevice::WriteOnly};
};

int runAccessChild(const QString& path, const QString& table)
{
    PipeWriter out(STDOUT_FILENO);
    QString error;
    const std::unique_ptr<AccessRows> rows = readAccessTable(path, table, &error);
    if (!rows) {
        out.stream() << quint8(kFault) << error;
        return out.flush() ? 0 : 1;
    }
    QStringList names;
    QList<bool> text;
    for (const AccessColumn& c : rows->columns()) {
        names << c.name;
        text << c.text;
    }
    out.stream() << quint8(kHead) << names << text << rows->rowCount();
    QStringList values;
    for (;;) {
        switch (rows->next(values)) {
        case AccessRows::Next::Row:
            out.stream() << quint8(kRow) << values;
            if (!out.flushIfFull())
                return 1;
            continue;
        case AccessRows::Next::End: out.stream() << quint8(kEnd); break;
        case AccessRows::Next::Fault: out.stream() << quint8(kFault) << rows->fault(); break;
        }
        return out.flush() ? 0 : 1;
    }
}

// The rows the child reads, as it sends them.
class ChildTable final : public AccessRows {
public:
    ~ChildTable() override
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }

    QString start(const QString& path, const QString& table);

    const std::vector<AccessColumn>& columns() const override { return m_columns; }
    qint64 rowCount() const override { return m_rows; }
    Next next(QStringList& values) override;
    QString fault() const override { return m_fault; }

private:
    // The tag of what the child sent next, its content read into the members;
    // none when the child ended or went silent without sending one whole.
    std::optional<Tag> read(QStringList& values);
    // Why the child ended without a word of its own.
    QString ended();

    QProcess m_process;
    QDataStream m_in;
    std::vector<AccessColumn> m_columns;
    qint64 m_rows = 0;
    QString m_fault;
};

QString ChildTable::start(const QString& path, const QString& table)
{
    m_process.setProgram(g_program.isEmpty() ? QCoreApplication::applicationFilePath() : g_program);
    m_process.setArguments({QString::fromLatin1(kAccessChildArgument), path, table});
    m_process.start(QIODevice::ReadOnly);
    if (!m_process.waitForStarted())
        return QStringLiteral("无法启动读取程序 %1：%2").arg(m_process.program(), m_process.errorString());
    m_in.setDevice(&m_process);
    m_in.setVersion(kStreamVersion);
    QStringList values;
    const std::optional<Tag> tag = read(values);
    if (tag == kHead)
        return QString();
    return tag == kFault ? m_fault : ended();
}

std::optional<Tag> ChildTable::read(QStringList& values)
{
    for (;;) {
        m_in.startTransaction();
        quint8 tag = 0;
        m_in >> tag;
        switch (tag) {
        case kHead: {
            QStringList names;
            QList<bool> text;
            m_in >> names >> text >> m_rows;
            m_columns.clear();
            for (qsizetype i = 0; i < names.size(); ++i)
                m_columns.push_back({names[i], text.value(i)});
            break;
        }
        case kRow: m_in >> values; break;
        case kFault: m_in >> m_fault; break;
        default: break;
        }
        if (m_in.commitTransaction()) {
            if (tag == kHead || tag == kRow || tag == kEnd || tag == kFault)
                return Tag(tag);
            m_fault = QStringLiteral("读取程序送来了无法识别的内容");
            return std::nullopt;
        }
        if (m_process.state() == QProcess::NotRunning && m_process.bytesAvailable() == 0)
            return std::nullopt;
        if (!m_process.waitForReadyRead(kSilenceMs) && m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished();
            m_fault = QStringLiteral("读取程序五分钟没有回应，已终止");
            return std::nullopt;
        }
    }
}

QString ChildTable::ended()
{
    if (!m_fault.isEmpty())
        return m_fault;
    m_process.waitForFinished();
    const QString said = QString::fromLocal8Bit(m_process.readAllStandardError()).trimmed().section(u'\n', -1);
    const QString how = m_process.exitStatus() == QProcess::CrashExit
        ? QStringLiteral("读取程序在读取时崩溃，文件可能已损坏")
        : QStringLiteral("读取程序意外结束（退出码%1）").arg(m_process.exitCode());
    return said.isEmpty() ? how : QStringLiteral("%1：%2").arg(how, said);
}

AccessRows::Next ChildTable::next(QStringList& values)
{
    switch (read(values).value_or(kFault)) {
    case kRow: return Next::Row;
    case kEnd: return Next::End;
    default: m_fault = ended(); return Next::Fault;
    }
}

} // namespace

std::optional<int> runAccessChildIfAsked(int argc, char* argv[])
{
    if (argc != 4 || std::strcmp(argv[1], kAccessChildArgument) != 0)
        return std::nullopt;
    return runAccessChild(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
}

std::unique_ptr<AccessRows> readAccessTableInChild(const QString& path, const QString& table, QString* error)
{
    auto rows = std::make_unique<ChildTable>();
    *error = rows->start(path, table);
    if (!error->isEmpty())
        return nullptr;
    return rows;
}

void setAccessChildProgram(const QString& program)
{
    g_program = program;
}
