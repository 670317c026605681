#include "tools/bench-driver/process_usage.h"

#include <psapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace bench {

namespace {

double Milliseconds(const FILETIME& time) {
    return static_cast<double>((static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime) / 10000.0;
}

// Per thread: the system keeps no total for another process, but it does
// for each of its threads. Threads that have ended are missed.
double ThreadsCpuMs(DWORD pid) {
    double total = 0;
    HANDLE threads = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (threads == INVALID_HANDLE_VALUE) return 0;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(threads, &entry); more; more = Thread32Next(threads, &entry)) {
        if (entry.th32OwnerProcessID != pid) continue;
        HANDLE thread = OpenThread(THREAD_QUERY_INFORMATION, FALSE, entry.th32ThreadID);
        if (thread == nullptr) continue;
        FILETIME created, exited, kernel, user;
        if (GetThreadTimes(thread, &created, &exited, &kernel, &user))
            total += Milliseconds(kernel) + Milliseconds(user);
        CloseHandle(thread);
    }
    CloseHandle(threads);
    return total;
}

std::string ReadLinuxFile(const std::string& path) {
    std::ifstream in("Z:" + path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Under Wine, the Linux process that runs the Windows process pid: the most
// recently started one whose first argument is the program's path; 0 on
// Windows or when none is found.
int LinuxPidOf(DWORD pid) {
    static std::map<DWORD, int> known;
    const auto found = known.find(pid);
    if (found != known.end()) return found->second;
    char image[MAX_PATH] = "";
    DWORD size = sizeof image;
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (process == nullptr) return 0;
    const bool named = QueryFullProcessImageNameA(process, 0, image, &size) != FALSE;
    CloseHandle(process);
    int newest = 0;
    unsigned long long newestStart = 0;
    WIN32_FIND_DATAA entry;
    HANDLE search = named ? FindFirstFileA("Z:\\proc\\*", &entry) : INVALID_HANDLE_VALUE;
    if (search == INVALID_HANDLE_VALUE) return known[pid] = 0;
    do {
        const int candidate = std::atoi(entry.cFileName);
        if (candidate <= 0) continue;
        const std::string dir = "/proc/" + std::to_string(candidate);
        const std::string arguments = ReadLinuxFile(dir + "/cmdline");
        if (lstrcmpiA(arguments.c_str(), image) != 0) continue;
        // Field 22 of stat, after the parenthesised name: the start time.
        const std::string stat = ReadLinuxFile(dir + "/stat");
        std::istringstream fields(stat.substr(stat.rfind(')') + 1));
        std::string field;
        unsigned long long start = 0;
        for (int i = 3; i <= 22 && fields >> field; ++i) {
            if (i == 22) start = std::strtoull(field.c_str(), nullptr, 10);
        }
        if (newest == 0 || start > newestStart) {
            newest = candidate;
            newestStart = start;
        }
    } while (FindNextFileA(search, &entry));
    FindClose(search);
    return known[pid] = newest;
}

// utime and stime of a Linux process, in milliseconds (clock ticks of 10 ms):
// everything the program costs, its short-lived threads included.
double LinuxCpuMs(int unixPid) {
    const std::string stat = ReadLinuxFile("/proc/" + std::to_string(unixPid) + "/stat");
    std::istringstream fields(stat.substr(stat.rfind(')') + 1));
    std::string field;
    double ms = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i) {
        if (i >= 14) ms += std::strtod(field.c_str(), nullptr) * 10.0;
    }
    return ms;
}

// The system's handle table (SystemHandleInformation), counted for one
// process: Wine answers GetProcessHandleCount only for the calling process.
struct SystemHandleEntry {
    ULONG ownerPid;
    BYTE objectType;
    BYTE flags;
    USHORT handle;
    PVOID object;
    ACCESS_MASK access;
};

unsigned long HandlesOf(DWORD pid) {
    using QuerySystem = LONG(WINAPI*)(int, PVOID, ULONG, PULONG);
    constexpr int SYSTEM_HANDLE_INFORMATION = 16;
    constexpr LONG INFO_LENGTH_MISMATCH = static_cast<LONG>(0xC0000004);
    const auto query = reinterpret_cast<QuerySystem>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    if (query == nullptr) return 0;
    std::vector<BYTE> buffer(1 << 16);
    LONG status = INFO_LENGTH_MISMATCH;
    for (int tries = 0; tries < 8 && status == INFO_LENGTH_MISMATCH; ++tries) {
        ULONG needed = 0;
        status = query(SYSTEM_HANDLE_INFORMATION, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
        if (status == INFO_LENGTH_MISMATCH) buffer.resize(std::max<size_t>(needed + 4096, buffer.size() * 2));
    }
    if (status != 0) return 0;
    const ULONG count = *reinterpret_cast<const ULONG*>(buffer.data());
    const auto* entries = reinterpret_cast<const SystemHandleEntry*>(buffer.data() + sizeof(ULONG_PTR));
    unsigned long owned = 0;
    for (ULONG i = 0; i < count; ++i) owned += entries[i].ownerPid == pid ? 1 : 0;
    return owned;
}

}  // namespace

ProcessUsage UsageOf(DWORD pid) {
    ProcessUsage usage;
    const int unixPid = LinuxPidOf(pid);
    usage.cpuMs = unixPid > 0 ? LinuxCpuMs(unixPid) : ThreadsCpuMs(pid);
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    if (process == nullptr) return usage;
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory)) {
        usage.workingSetKb = static_cast<double>(memory.WorkingSetSize) / 1024.0;
        usage.privateKb = static_cast<double>(memory.PagefileUsage) / 1024.0;
    }
    CloseHandle(process);
    usage.handles = HandlesOf(pid);
    return usage;
}

double CpuShare(const ProcessUsage& before, const ProcessUsage& after, double wallMs) {
    return wallMs > 0 ? 100.0 * (after.cpuMs - before.cpuMs) / wallMs : 0;
}

}  // namespace bench
