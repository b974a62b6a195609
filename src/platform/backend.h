// The driver behind the transport: one table of operations per backend.
//
// The portable core sees only ActiveBackend(); which backend that is (the operating system's
// driver or the simulated one) is decided here and in the backends themselves.
#pragma once

#include <cstdint>

#include "VarnDasQv.h"
#include "device/driver_packet.h"

namespace quorva {

struct DriverBackend {
  const char* name;
  // Opens the board with zero-based enumeration index `index`. Returns its handle, or
  // QUORVA_INVALID_HANDLE with the failure in `error` (running past the last board is how
  // enumeration ends). A handle is never null and never all-ones.
  QUORVA_HANDLE (*open)(int index, std::uint32_t* error);
  // Sends one request; returns the success flag (nonzero when the driver accepted it).
  int (*send)(QUORVA_HANDLE handle, const DriverPacket& packet);
  void (*close)(QUORVA_HANDLE handle);
  // Frees what the backend holds once the library has closed every board and leaves the
  // process (null when it holds nothing). The backend stays usable: a later open starts afresh.
  void (*release)();
  // Called on every pass of a wait in which the library itself is blocked until the driver
  // finishes a motion (never while an application polls): a backend whose time is its own may
  // let it pass up to its next event. Null when the backend has nothing to do there.
  void (*awaitProgress)();
  // The driver's time in nanoseconds from an origin of its own, by which the library's waits
  // that give up after a while are measured. Null: the host's steady clock. A backend whose time
  // is its own answers with it, so such a wait lasts the same driver time however slowly the
  // host runs the loop.
  std::int64_t (*clockNs)();
};

// The backend chosen at first use: QUORVA_BACKEND=sim selects the simulated driver, anything
// else (or nothing) the operating system's driver.
const DriverBackend& ActiveBackend();
// Switches every later request to `backend`.
void SelectBackend(const DriverBackend& backend);

// The two backends.
const DriverBackend& SystemDriverBackend();
const DriverBackend& SimulatedDriverBackend();

}  // namespace quorva
