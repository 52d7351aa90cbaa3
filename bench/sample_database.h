#pragma once

#include <QString>

// A database file holding `rows` stored selections (each with its own number), made
// once per size for the benchmarks.
QString sampleDatabase(int rows);

// What /proc/self/status says of a field such as "VmRSS:" or "VmHWM:", in kB.
long processStatusKb(const char* field);
