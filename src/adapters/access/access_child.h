#pragma once

#include "adapters/access/access_table.h"

#include <QString>

#include <memory>
#include <optional>

// libmdb is not made for damaged files: what the page checks cannot see (a row whose
// offsets lie, a property list that runs on) can still make it read out of bounds.
// So the programs read an Access file in a child process, the program itself started
// again with the argument below; a reader that crashes is then a reason to tell, not
// the end of the program, and whatever libmdb prints stays with the child.

// The argument that starts a program as that child: `PROGRAM --read-access-table
// FILE TABLE`. Both programs answer it before anything else.
inline constexpr char kAccessChildArgument[] = "--read-access-table";

// When the command line is that of the child: reads the table, writes what it finds
// to standard output for the parent, and returns the exit status. Nothing for any
// other command line.
std::optional<int> runAccessChildIfAsked(int argc, char* argv[]);

// Reads the table as readAccessTable() does, in a child process; the child has
// counted and checked every row before this returns. Nothing, and the reason, when
// the file cannot be read or the child fails.
std::unique_ptr<AccessRows> readAccessTableInChild(const QString& path, const QString& table, QString* error);

// The program started as the child: the running program unless set (tests, whose
// own executables do not answer the argument, set one that does).
void setAccessChildProgram(const QString& program);
