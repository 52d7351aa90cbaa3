#pragma once

#include <QtGlobal>

#include <signal.h>
#include <sys/resource.h>

// A disk that fills while a file is written: the process may write files up to
// `room` bytes only. RLIMIT_FSIZE cuts a write short, then refuses the next one, as a
// full disk does (the signal it would send is ignored, so the writes just fail).

// For QProcess::setChildProcessModifier: the program run on such a disk.
inline void limitFileSize(qint64 room)
{
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit {static_cast<rlim_t>(room), static_cast<rlim_t>(room)};
    ::setrlimit(RLIMIT_FSIZE, &limit);
}

// Runs `write` in this process on such a disk, then gives the room back.
template <typename Write>
auto onAFullDisk(qint64 room, Write write)
{
    const auto oldHandler = ::signal(SIGXFSZ, SIG_IGN);
    rlimit old {};
    ::getrlimit(RLIMIT_FSIZE, &old);
    rlimit limited = old;
    limited.rlim_cur = static_cast<rlim_t>(room);
    ::setrlimit(RLIMIT_FSIZE, &limited);
    const auto result = write();
    ::setrlimit(RLIMIT_FSIZE, &old);
    ::signal(SIGXFSZ, oldHandler);
    return result;
}
