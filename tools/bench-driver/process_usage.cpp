#include "tools/bench-driver/process_usage.h"

#include <psapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <vector>

namespace bench {

namespace {

double Milliseconds(const FILETIME& time) {
  return static_cast<double>((static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime) / 10000.0;
}

// Per thread: the system keeps no total for another process, but it does
// for each of its threads.
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
    if (GetThreadTimes(thread, &created, &exited, &kernel, &user)) total += Milliseconds(kernel) + Milliseconds(user);
    CloseHandle(thread);
  }
  CloseHandle(threads);
  return total;
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
  constexpr int kSystemHandleInformation = 16;
  constexpr LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004);
  const auto query = reinterpret_cast<QuerySystem>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
  if (query == nullptr) return 0;
  std::vector<BYTE> buffer(1 << 16);
  LONG status = kInfoLengthMismatch;
  for (int tries = 0; tries < 8 && status == kInfoLengthMismatch; ++tries) {
    ULONG needed = 0;
    status = query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
    if (status == kInfoLengthMismatch) buffer.resize(std::max<size_t>(needed + 4096, buffer.size() * 2));
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
  usage.cpuMs = ThreadsCpuMs(pid);
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
