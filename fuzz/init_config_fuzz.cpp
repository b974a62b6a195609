// The board configuration loader on a simulated 8-axis board. Input: the file's bytes. The
// result must follow from the file's length and header word alone, a refused file must send
// no request, and the decoded record must encode back to the very bytes it came from.
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>

#include "VarnDasQv.h"
#include "VarnDasQvSim.h"
#include "config/init_config_file.h"

namespace {

namespace ic = quorva::init_config;

// The board, and the file in memory that each input is written to (a file on disk would spend
// most of the time in the file system).
struct Board {
  Board() {
    QUORVA_SIM_SetClock(QUORVA_SIM_CLOCK_VIRTUAL, 1.0);
    QUORVA_SIM_Configure("A508");
    handle = QUORVA_LoadDevice(0xA508, 0);
    file = memfd_create("board.cfg", 0);
    if (handle == nullptr || handle == QUORVA_INVALID_HANDLE || file < 0) std::abort();
    path = "/proc/self/fd/" + std::to_string(file);
  }
  void Write(const std::uint8_t* data, std::size_t size) const {
    if (ftruncate(file, 0) != 0 || pwrite(file, data, size, 0) != static_cast<ssize_t>(size))
      std::abort();
  }
  QUORVA_HANDLE handle = nullptr;
  int file = -1;
  std::string path;
};

int ExpectedResult(std::span<const std::uint8_t> file) {
  if (file.size() >= ic::kHeaderBytes && ic::DecodeVersion(file) != ic::kVersion)
    return QUORVA_ERR_CONFIG_VERSION;
  return file.size() < ic::kFileBytes ? QUORVA_ERR_CONFIG_SHORT : 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Board* board = new Board;
  const std::span<const std::uint8_t> file(data, size);
  board->Write(data, size);

  QUORVA_SIM_ClearRequests();
  const int result = QUORVA_MC_InitFromFile(board->handle, board->path.c_str());
  if (result != ExpectedResult(file)) std::abort();
  if (result != 0 && QUORVA_SIM_RequestCount() != 0) std::abort();
  if (result == 0) {
    const auto encoded = ic::Encode(ic::Decode(file));
    if (!std::equal(encoded.begin(), encoded.end(), file.begin())) std::abort();
  }
  return 0;
}
