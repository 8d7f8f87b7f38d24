#pragma once
// How busy the computer is: the processor's use and the network's traffic,
// each over the time since the previous reading. Behind an interface so that
// tests can play a render that ends or a download that stalls.
#include <optional>

namespace norvale {

struct LoadState {
  double cpu_percent = 0;           // all processors together, 0 to 100
  double kilobytes_per_second = 0;  // every interface but loopback, received and sent
};

class LoadMonitor {
 public:
  virtual ~LoadMonitor() = default;
  // The load since the previous reading (the first: since the monitor was made);
  // nullopt when a source cannot be read.
  virtual std::optional<LoadState> Read() = 0;
};

// Nothing busy: where no real source is given.
LoadMonitor& NoLoad();

}  // namespace norvale
