// What another process of this Wine session costs: its CPU time, its memory
// and its handle count.
#pragma once

#include <windows.h>

namespace bench {

struct ProcessUsage {
    double cpuMs = 0;           // kernel and user time
    double workingSetKb = 0;    // resident memory
    double privateKb = 0;       // committed private memory (pagefile usage)
    unsigned long handles = 0;  // open handles
};

ProcessUsage UsageOf(DWORD pid);

// CPU time spent between two samples as a share of one core over wallMs, in per cent.
double CpuShare(const ProcessUsage& before, const ProcessUsage& after, double wallMs);

}  // namespace bench
