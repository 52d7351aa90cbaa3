#pragma once

#include <string>
#include <vector>

// What a program cost, run as a process of its own to its end.
struct Usage {
    double cpuSeconds = 0; // user + system
    double peakRssMb = 0;  // peak resident memory
    int status = -1;       // the exit status; -1 when it did not run or end normally
};

// Runs `args` (the program's path first) with its output thrown away.
Usage runProcess(const std::vector<std::string>& args);
