#include "platform/win32/win32_load.h"

#include <winsock2.h>
#include <windows.h>
#include <ws2ipdef.h>
#include <iphlpapi.h>
#include <netioapi.h>

#include <cstdint>
#include <map>

#include "platform/win32/system_library.h"

namespace norvale {
namespace {

using GetIfTable2Fn = NETIO_STATUS(WINAPI*)(PMIB_IF_TABLE2*);
using FreeMibTableFn = VOID(WINAPI*)(PVOID);

uint64_t Ticks(const FILETIME& t) {
  return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

// The counters at one moment.
struct Counters {
  uint64_t at_ms = 0;
  uint64_t idle = 0;
  uint64_t all = 0;  // kernel time (idle time included) and user time
  std::map<uint64_t, uint64_t> octets;  // by interface, received and sent
};

}  // namespace

struct Win32LoadMonitor::Sources {
  HMODULE iphlpapi = LoadSystemLibrary(L"iphlpapi.dll");
  GetIfTable2Fn get_table = ProcOf<GetIfTable2Fn>(iphlpapi, "GetIfTable2");
  FreeMibTableFn free_table = ProcOf<FreeMibTableFn>(iphlpapi, "FreeMibTable");
  std::optional<Counters> previous;

  ~Sources() {
    if (iphlpapi) FreeLibrary(iphlpapi);
  }

  std::optional<Counters> Take() const {
    Counters c;
    c.at_ms = GetTickCount64();
    FILETIME idle{}, kernel{}, user{};
    if (!GetSystemTimes(&idle, &kernel, &user)) return std::nullopt;
    c.idle = Ticks(idle);
    c.all = Ticks(kernel) + Ticks(user);
    if (!get_table || !free_table) return std::nullopt;
    PMIB_IF_TABLE2 table = nullptr;
    if (get_table(&table) != NO_ERROR || !table) return std::nullopt;
    for (ULONG i = 0; i < table->NumEntries; ++i) {
      const MIB_IF_ROW2& row = table->Table[i];
      // Loopback traffic never leaves the computer; a filter interface counts
      // again what the adapter beneath it carries.
      if (row.Type == IF_TYPE_SOFTWARE_LOOPBACK || row.InterfaceAndOperStatusFlags.FilterInterface) {
        continue;
      }
      c.octets[row.InterfaceLuid.Value] = row.InOctets + row.OutOctets;
    }
    free_table(table);
    return c;
  }
};

Win32LoadMonitor::Win32LoadMonitor() : sources_(std::make_unique<Sources>()) {
  sources_->previous = sources_->Take();
}

Win32LoadMonitor::~Win32LoadMonitor() = default;

std::optional<LoadState> Win32LoadMonitor::Read() {
  const std::optional<Counters> now = sources_->Take();
  const std::optional<Counters> before = sources_->previous;
  sources_->previous = now;
  if (!now || !before) return std::nullopt;
  LoadState load;
  const uint64_t all = now->all - before->all;
  const uint64_t idle = now->idle - before->idle;
  if (all > 0 && idle <= all) load.cpu_percent = 100.0 * double(all - idle) / double(all);
  uint64_t octets = 0;
  for (const auto& [id, count] : now->octets) {
    // An interface that came or went, or whose counter was reset, tells nothing.
    const auto was = before->octets.find(id);
    if (was != before->octets.end() && count >= was->second) octets += count - was->second;
  }
  const uint64_t ms = now->at_ms - before->at_ms;
  if (ms > 0) load.kilobytes_per_second = double(octets) / 1024.0 / (double(ms) / 1000.0);
  return load;
}

}  // namespace norvale
