// The acquisition side of a simulated board: analog inputs carrying deterministic signals, the
// two scan engines and their rings, digital and serial I/O, analog outputs with waveforms, and
// counters.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "VarnDasQvSim.h"
#include "sim/daq/ticker.h"

namespace quorva::sim {

inline constexpr int kMaxAnalogInputs = 32;
inline constexpr int kMaxAnalogOutputs = 2;
inline constexpr int kDigitalGroups = 2;
inline constexpr int kChannelsPerGroup = 32;
inline constexpr int kCounters = QUORVA_SIM_COUNTERS;
inline constexpr int kSerialModules = QUORVA_SIM_SERIAL_MODULES;
// The converters are 12-bit: digits 0-4095 over the channel's volt range.
inline constexpr std::int32_t kTopDigit = 4095;
// Scans per US2 transfer.
inline constexpr std::uint64_t kTransferScans = 4096;
// Output code of 0 V.
inline constexpr std::uint32_t kMidscaleCode = 2047;

struct AnalogSignal {
  int kind = QUORVA_SIM_SIGNAL_CONSTANT;
  double amplitude = 0;
  double frequency = 0;
  double offset = 0;
  double phase = 0;  // in periods
};

struct AnalogInput {
  AnalogSignal signal;
  std::int32_t vmin = -10;
  std::int32_t vmax = 10;
};

// What every scan engine shares: the channel list, the ring size and the scan clock.
struct ScanSetup {
  std::uint32_t channelCount = 0;
  std::array<std::uint32_t, 32> channels{};
  std::uint32_t arraySize = 0;  // scans each ring holds
  Ticker timer;                 // scans acquired
};

struct Us1Scan {
  ScanSetup setup;
  std::vector<std::uint16_t> ring;  // arraySize scans of channelCount digits
  // Rings of earlier scans that the library may still be reading: a ring stays valid until
  // the engine's release, even when a new scan replaced it.
  std::vector<std::vector<std::uint16_t>> retired;
  std::uint64_t limit = 0;   // scans after which the scan stops, 0 for none
  std::uint64_t stored = 0;  // scans written into the ring
};

struct Us2Scan {
  ScanSetup setup;
  std::vector<std::vector<std::uint16_t>> rings;  // one per channel index
  std::vector<std::vector<std::uint16_t>> retired;
  std::uint64_t maxScans = 0;  // 0 for none
  // Scans converted so far. Those of an unfinished transfer wait in the FIFO, scan after scan
  // (channelCount words each) from scan number `fifoFirst`; the rest are in the rings.
  std::uint64_t stored = 0;
  std::vector<std::uint16_t> fifo;
  std::uint64_t fifoFirst = 0;
  bool stopped = false;
};

struct Waveform {
  std::vector<std::uint32_t> codes;  // empty until started
  Ticker timer;                      // samples output
  std::uint32_t loops = 0;           // loops to output, 0 for endless
};

struct SerialModule {
  std::uint16_t inputs = 0;
  std::uint16_t outputs = 0;
  std::uint32_t usage = 0;
};

struct DaqState {
  DaqState();

  int inputType = 0;
  std::array<AnalogInput, kMaxAnalogInputs> inputs;
  Us1Scan us1;
  Us2Scan us2;

  std::array<std::uint32_t, kDigitalGroups> digitalInputs{};
  std::array<std::uint32_t, kDigitalGroups> digitalOutputs{};
  bool loopback = false;
  std::uint32_t dioUsage = 0;

  bool serialOpen = false;
  std::uint32_t serialPresent = 0x3;  // modules 0 and 1
  std::array<SerialModule, kSerialModules> serial{};

  std::array<std::uint32_t, kMaxAnalogOutputs> outputCodes{};
  std::array<Waveform, kMaxAnalogOutputs> waveforms;

  std::array<Ticker, kCounters> counters;
};

}  // namespace quorva::sim
