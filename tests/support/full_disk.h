#pragma once

#include <QList>
#include <QtGlobal>

#include <signal.h>
#include <sys/resource.h>

// A disk that fills while a file is written: the process may write files up to
// `room` bytes only. RLIMIT_FSIZE cuts a write short, then refuses the next one, as a
// full disk does (the signal it would send is ignored, so the writes just fail).

// Where the disk fills, for the rows of a test's table. A room below zero is counted
// from the whole file's size: roomIn() turns it into bytes.
constexpr qint64 kHalfTheFile = -2;
constexpr qint64 kAllButTheLastByte = -1;

struct FillLevel {
    const char* name;
    qint64 room;
};

// The same levels for every file the programs write. 1000 bytes lies inside the first
// buffered block, and 36864 inside a block written in one go past the buffer (a PDF's
// font): there a write takes part of its bytes without reporting an error, which is
// how a full tmpfs cut a sheet.
inline const QList<FillLevel> kFillLevels = {
    {"nothing fits", 0},
    {"1000 bytes", 1000},
    {"36864 bytes", 36864},
    {"half the file", kHalfTheFile},
    {"all but the last byte", kAllButTheLastByte},
};

inline qint64 roomIn(qint64 room, qint64 wholeSize)
{
    if (room == kHalfTheFile)
        return wholeSize / 2;
    if (room == kAllButTheLastByte)
        return wholeSize - 1;
    return room;
}

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
