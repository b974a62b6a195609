#include "sim/sim_bus.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>

#include "device/immortal.h"
#include "sim/motion/interrupts.h"
#include "sim/next_event.h"
#include "sim/sim_events.h"
#include "sim/sim_handlers.h"

namespace quorva::sim {
namespace {

// Handle values: a tag, the bus generation (so handles of an earlier configuration are
// refused) and a serial number. Never null, never all-ones.
constexpr std::uintptr_t kHandleTag = 0x40000000;
constexpr int kSerialBits = 20;
constexpr std::uintptr_t kSerialMask = (std::uintptr_t{1} << kSerialBits) - 1;
constexpr std::uintptr_t kGenerationMask = 0xFF;

std::optional<std::uint16_t> ParseDeviceId(std::string item) {
  const auto notBlank = [](unsigned char c) { return !std::isspace(c); };
  const auto begin = std::find_if(item.begin(), item.end(), notBlank);
  const auto end = std::find_if(item.rbegin(), item.rend(), notBlank).base();
  if (begin >= end) return std::nullopt;
  const std::string text(begin, end);
  char* stop = nullptr;
  const unsigned long value = std::strtoul(text.c_str(), &stop, 16);
  if (*stop != '\0' || value == 0 || value > 0xFFFF || !std::isxdigit(text[0])) {
    return std::nullopt;
  }
  return static_cast<std::uint16_t>(value);
}

}  // namespace

std::optional<std::vector<std::uint16_t>> ParseBoardList(const char* list) {
  const std::string text = (list == nullptr || *list == '\0') ? kDefaultBoards : list;
  std::vector<std::uint16_t> ids;
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = text.find(',', start);
    const auto id = ParseDeviceId(text.substr(start, comma - start));
    if (!id) return std::nullopt;
    ids.push_back(*id);
    if (comma == std::string::npos) return ids;
    start = comma + 1;
  }
}

// The clock follows QUORVA_SIM_CLOCK ("virtual", "realtime", "realtime:FACTOR"); an
// application expects real time, so that is the default.
SimBus::SimBus() {
  const auto choice = ParseClockChoice(std::getenv("QUORVA_SIM_CLOCK"));
  if (choice && choice->mode == SimClock::Mode::kVirtual) clock_.UseVirtual();
  if (choice && choice->mode == SimClock::Mode::kRealTime) clock_.UseRealTime(choice->factor);
}

SimBus& SimBus::Instance() {
  static Immortal<SimBus> bus;
  return *bus;
}

int SimBus::Configure(const char* list) {
  const auto ids = ParseBoardList(list);
  if (!ids) return -1;
  std::lock_guard lock(mutex_);
  Reset(*ids);
  return static_cast<int>(boards_.size());
}

int SimBus::BoardCount() {
  std::lock_guard lock(mutex_);
  ConfigureOnFirstUse();
  return static_cast<int>(boards_.size());
}

void SimBus::Release() {
  scheduler_.Stop();
  std::lock_guard lock(mutex_);
  std::vector<SimBoard>().swap(boards_);
  std::vector<int>().swap(handleBoards_);
  log_.Release();
  configured_ = false;
}

void SimBus::ConfigureOnFirstUse() {
  if (configured_) return;
  auto ids = ParseBoardList(std::getenv("QUORVA_SIM_BOARDS"));
  if (!ids) ids = ParseBoardList(nullptr);
  Reset(*ids);
}

void SimBus::Reset(const std::vector<std::uint16_t>& deviceIds) {
  boards_.clear();
  for (std::uint16_t id : deviceIds)
    boards_.push_back(MakeBoard(id));
  handleBoards_.clear();
  log_.Clear();
  refusedCode_ = -1;
  clock_.Restart();
  ++generation_;
  configured_ = true;
}

int SimBus::BoardOfHandle(QUORVA_HANDLE handle) const {
  const auto value = reinterpret_cast<std::uintptr_t>(handle);
  if ((value & ~(kSerialMask | kGenerationMask << kSerialBits)) != kHandleTag) return -1;
  if ((value >> kSerialBits & kGenerationMask) != (generation_ & kGenerationMask)) return -1;
  const std::size_t serial = value & kSerialMask;
  return serial < handleBoards_.size() ? handleBoards_[serial] : -1;
}

QUORVA_HANDLE SimBus::Open(int index, std::uint32_t* error) {
  std::lock_guard lock(mutex_);
  ConfigureOnFirstUse();
  if (index < 0 || static_cast<std::size_t>(index) >= boards_.size() ||
      handleBoards_.size() > kSerialMask) {
    *error = kNoMoreItems;
    return QUORVA_INVALID_HANDLE;
  }
  *error = 0;
  ++boards_[static_cast<std::size_t>(index)].openHandles;
  const std::uintptr_t value =
      kHandleTag | (generation_ & kGenerationMask) << kSerialBits | handleBoards_.size();
  handleBoards_.push_back(index);
  return reinterpret_cast<QUORVA_HANDLE>(value);
}

int SimBus::Send(QUORVA_HANDLE handle, const DriverPacket& packet) {
  std::lock_guard lock(mutex_);
  ConfigureOnFirstUse();
  const int board = BoardOfHandle(handle);
  log_.Append(board, packet);
  if (board < 0 || static_cast<int>(packet.Code()) == refusedCode_) return 0;
  const Handler handler = Handlers().Find(packet.Code());
  if (handler == nullptr) return 0;
  clock_.OnRequest();
  const Settling settling(*this);
  return handler(boards_[static_cast<std::size_t>(board)],
                 SimRequest(packet, clock_.Now(), boards_));
}

void SimBus::Close(QUORVA_HANDLE handle) {
  std::lock_guard lock(mutex_);
  const int board = BoardOfHandle(handle);
  if (board < 0) return;
  SimBoard& closed = boards_[static_cast<std::size_t>(board)];
  // As a kernel driver drops what a file registered when its last handle closes.
  if (--closed.openHandles == 0) closed.notification.reset();
  handleBoards_[reinterpret_cast<std::uintptr_t>(handle) & kSerialMask] = -1;
}

void SimBus::CatchUp() {
  RunUntil(boards_, clock_.Now());
}

std::optional<EventScheduler::Clock::time_point> SimBus::Conclude() {
  const std::int64_t now = clock_.Now();
  RunUntil(boards_, now);
  DeliverInterrupts(boards_);
  return NextWake(now);
}

std::optional<EventScheduler::Clock::time_point> SimBus::NextWake(std::int64_t nowNs) const {
  if (clock_.CurrentMode() != SimClock::Mode::kRealTime || !AnyEventRegistered(boards_)) {
    return std::nullopt;
  }
  const std::optional<std::int64_t> next = NextEventNs(boards_, nowNs);
  if (!next) return std::nullopt;
  return clock_.RealTimeOf(*next);
}

void SimBus::StopScheduler() {
  scheduler_.Stop();
}

bool SimBus::SchedulerRunning() {
  std::lock_guard lock(mutex_);
  return scheduler_.Running();
}

std::int64_t SimBus::ClockNs() {
  std::lock_guard lock(mutex_);
  return clock_.Now();
}

void SimBus::RefuseCommand(int code) {
  std::lock_guard lock(mutex_);
  refusedCode_ = code;
}

const HandlerTable& Handlers() {
  static const HandlerTable table = [] {
    HandlerTable t;
    AddProtocolDefaults(t);
    AddBoardHandlers(t);
    AddAxisHandlers(t);
    AddListHandlers(t);
    AddCompareHandlers(t);
    AddInterruptHandlers(t);
    AddLatchHandlers(t);
    AddSpeedCheckHandlers(t);
    AddDaqHandlers(t);
    return t;
  }();
  return table;
}

}  // namespace quorva::sim
