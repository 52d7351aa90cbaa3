#pragma once

// The exit statuses of both programs, as their usage texts and the README list them.
enum ExitStatus : int {
    kExitOk = 0,         // done
    kExitLineFailed = 1, // done in part: a line, a point, a row or a file not carried out
    kExitUnusable = 2,   // not started: the command line, the store or the points file cannot be used
};
