// Waveform output: samples in volts become 12-bit codes in a library buffer that the driver
// reads through its address.
#include <array>
#include <mutex>

#include "daq/volt_codes.h"
#include "device/commands.h"
#include "device/immortal.h"

using namespace quorva;
using namespace quorva::daq;

namespace {

constexpr int kMaxSamples = 4096;

// The codes of the waveform being handed to the driver. One buffer for the process: the lock
// keeps two threads from filling it at once while one of them is sending it.
struct WaveformCodes {
  std::mutex lock;
  std::array<std::uint32_t, kMaxSamples> codes;
};

WaveformCodes& Codes() {
  static Immortal<WaveformCodes> codes;
  return *codes;
}

bool SampleCountValid(int count) {
  return count >= 2 && count <= kMaxSamples;
}

// Converts the samples into the buffer and sends `code` with its address while holding it.
template <typename... Rest>
int SendCodes(QUORVA_HANDLE handle, std::uint32_t code, int channel, const float* samples,
              int count, Rest... rest) {
  WaveformCodes& buffer = Codes();
  std::lock_guard lock(buffer.lock);
  for (int i = 0; i < count; ++i)
    buffer.codes[static_cast<std::size_t>(i)] = AnalogOutputCode(samples[i]);
  return DriverCall(handle, code, channel, buffer.codes.data(), count, rest...);
}

}  // namespace

extern "C" {

int QUORVA_WFM_Start(QUORVA_HANDLE handle, int channel, const float* samples, int count, int rate,
                     int loops) {
  if (samples == nullptr || !SampleCountValid(count) || rate == 0) return 0;
  std::uint32_t actualRate = 0;
  SendCodes(handle, cmd::kWfmStart, channel, samples, count, rate, loops, &actualRate);
  return static_cast<int>(actualRate);
}

int QUORVA_WFM_Reload(QUORVA_HANDLE handle, int channel, const float* samples, int count) {
  if (IsNoDevice(handle) || samples == nullptr || !SampleCountValid(count)) return 0;
  SendCodes(handle, cmd::kWfmReload, channel, samples, count);
  return 1;
}

int QUORVA_WFM_RateChange(QUORVA_HANDLE handle, int channel, int rate) {
  if (rate == 0) return 0;
  return static_cast<int>(DriverRead(handle, cmd::kWfmRateChange, channel, rate));
}

int QUORVA_WFM_GetCurPos(QUORVA_HANDLE handle, int channel) {
  return static_cast<int>(DriverRead(handle, cmd::kWfmPosition, channel));
}

int QUORVA_WFM_GetCurLoops(QUORVA_HANDLE handle, int channel) {
  return static_cast<int>(DriverRead(handle, cmd::kWfmLoops, channel));
}

int QUORVA_WFM_Stop(QUORVA_HANDLE handle, int channel) {
  return DriverCall(handle, cmd::kWfmStop, channel);
}

}  // extern "C"
