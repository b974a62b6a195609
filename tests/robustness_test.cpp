// Every exported function called with hostile arguments, one argument at a time: null
// pointers, negative and oversized counts, axes and maps out of range, NaN and infinite
// numbers, handles of no board, of an unloaded board and of a board of the other kind.
//
// Each call must return, under a watchdog that lets simulated time run out for moves that are
// merely long; write nothing beyond the buffers it was given; send no request to a handle that
// is no board; and, given a handle of no board (or a data-acquisition board for a motion
// function), return its neutral result and write nothing at all. The functions come from
// robustness_table.inc, generated from the public headers.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

#include "VarnDasQv.h"
#include "VarnDasQvSim.h"
#include "device/registry.h"
#include "device/trace.h"
#include "mapping_file_fixture.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUORVA_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define QUORVA_ASAN 1
#endif
#ifdef QUORVA_ASAN
#include <sanitizer/asan_interface.h>
#endif

namespace quorva {
namespace {

// -- The boards of one call ------------------------------------------------------------------

enum HandleKind { kNoHandle, kAllOnes, kNeverLoaded, kUnloaded, kOtherKind, kHandleKinds };
constexpr const char* kHandleNames[kHandleKinds] = {"NULL", "all ones", "never loaded", "unloaded",
                                                    "board of the other kind"};

struct Boards {
  QUORVA_HANDLE motion = nullptr;
  QUORVA_HANDLE daq = nullptr;
  QUORVA_HANDLE unloaded = nullptr;
  std::string path;  // a file the call may create
};

// -- Buffers whose overruns are seen ---------------------------------------------------------

constexpr unsigned char kCanary = 0xA5;
constexpr std::size_t kGuardBytes = 64;

// `size` bytes for the call, followed by a guard that must stay as it was (and that
// AddressSanitizer reports at the first write).
class GuardedBuffer {
 public:
  explicit GuardedBuffer(std::size_t size) : size_(size), bytes_(size + kGuardBytes, kCanary) {
#ifdef QUORVA_ASAN
    ASAN_POISON_MEMORY_REGION(bytes_.data() + size_, kGuardBytes);
#endif
  }
  ~GuardedBuffer() {
#ifdef QUORVA_ASAN
    ASAN_UNPOISON_MEMORY_REGION(bytes_.data() + size_, kGuardBytes);
#endif
  }
  GuardedBuffer(const GuardedBuffer&) = delete;
  GuardedBuffer& operator=(const GuardedBuffer&) = delete;

  unsigned char* Data() {
    return bytes_.data();
  }
  bool GuardIntact() const {
    return Untouched(size_, kGuardBytes);
  }
  // Getters without a board may deliver 0, as the register reads give; nothing else.
  bool DataUntouchedOrZero() const {
    return Untouched(0, size_) ||
           std::all_of(bytes_.begin(), bytes_.begin() + static_cast<std::ptrdiff_t>(size_),
                       [](unsigned char b) { return b == 0; });
  }

 private:
  bool Untouched(std::size_t from, std::size_t count) const {
#ifdef QUORVA_ASAN
    if (from >= size_) ASAN_UNPOISON_MEMORY_REGION(bytes_.data() + from, count);
#endif
    bool same = true;
    for (std::size_t i = from; i < from + count; ++i)
      same = same && bytes_[i] == kCanary;
#ifdef QUORVA_ASAN
    if (from >= size_) ASAN_POISON_MEMORY_REGION(bytes_.data() + from, count);
#endif
    return same;
  }

  std::size_t size_;
  std::vector<unsigned char> bytes_;
};

// -- Arguments -------------------------------------------------------------------------------

// What the checks of one call need to know about its arguments.
struct CallRecord {
  std::string_view function;
  std::vector<GuardedBuffer*> outputs;
  std::vector<GuardedBuffer*> inputs;
  bool noBoard = false;  // a handle argument names no board of the function's kind
  std::string text;      // the argument varied, for messages
};

// Motion functions that send their request on any handle, as documented, without looking for
// the board's motion state: a data-acquisition board answers them as its driver does.
bool ReachesTheDriverDirectly(std::string_view function) {
  static constexpr std::string_view kDirect[] = {
      "QUORVA_MC_WriteMainSpace",      "QUORVA_MC_ReadRegister",    "QUORVA_MC_WriteRegister",
      "QUORVA_MC_GetDeviceVer",        "QUORVA_MC_GetELL",          "QUORVA_MC_GetPE",
      "QUORVA_MC_CheckListMotionDone", "QUORVA_MC_LmCurSequence",   "QUORVA_MC_SetMioCfgCMP2",
      "QUORVA_MC_CmpTrgIx_SetMap",     "QUORVA_MC_CmpTrgIx_GetMap", "QUORVA_MC_CmpTrgIx_Stop",
      "QUORVA_MC_CmpTrgIx_GetState",   "QUORVA_MC_LtcQueSetCfg",    "QUORVA_MC_LtcQueGetCfg",
      "QUORVA_MC_LtcQueSetEnable",     "QUORVA_MC_LtcQueGetEnable", "QUORVA_MC_LtcQueGetItemCount",
      "QUORVA_MC_LtcQueResetItem",     "QUORVA_MC_LtcQueDeque",     "QUORVA_MC_LtcQuePeekAt"};
  return std::find(std::begin(kDirect), std::end(kDirect), function) != std::end(kDirect);
}

constexpr std::size_t kInputElements = 8192;
constexpr std::size_t kUntypedBytes = 1 << 16;

template <typename T>
std::vector<T> HostileNumbers() {
  if constexpr (std::is_floating_point_v<T>) {
    using L = std::numeric_limits<T>;
    return {L::quiet_NaN(), L::infinity(),   -L::infinity(), L::max(),
            L::lowest(),    L::denorm_min(), T(0),           T(-1)};
  } else if constexpr (std::is_signed_v<T>) {
    using L = std::numeric_limits<T>;
    return {L::min(), T(-1), T(0), T(8), T(11), T(33), T(4097), L::max()};
  } else {
    using L = std::numeric_limits<T>;
    return {T(0), T(8), T(L::max() / 2 + 1), L::max()};
  }
}

std::vector<std::string> HostileTexts() {
  return {"", std::string(70000, 'x'), "two\nlines\r", "\xff\xfe\x80 bytes"};
}

// One argument of type T in the role its parameter has: the ordinary value (variant -1) or
// one of its hostile values (0 .. Count − 1).
template <typename T, typename Enable = void>
class Argument;

// Numbers: 1, or one of the hostile numbers. A count that only the caller bounds (role N)
// stays within the arrays the test passes.
template <typename T>
class Argument<T, std::enable_if_t<std::is_arithmetic_v<T>>> {
 public:
  static int Count(char) { return static_cast<int>(HostileNumbers<T>().size()); }
  Argument(char role, int, int variant, const Boards&, CallRecord& record)
      : value_(variant < 0 ? T(1) : HostileNumbers<T>()[static_cast<std::size_t>(variant)]) {
    // Room for one element per axis of the largest board at each counted point.
    if (role == 'N' && value_ > T(kInputElements / 8)) value_ = T(kInputElements / 8);
    if (variant >= 0) record.text = std::to_string(value_);
  }
  T Get() { return value_; }

 private:
  T value_;
};

// Texts: a file path or a list of boards, or null, or a hostile text.
template <>
class Argument<const char*> {
 public:
  static int Count(char) { return 1 + static_cast<int>(HostileTexts().size()); }
  Argument(char role, int, int variant, const Boards& boards, CallRecord& record) {
    if (variant < 0) {
      text_ = role == 'L' ? "A508,A101" : boards.path;
    } else if (variant > 0) {
      text_ = HostileTexts()[static_cast<std::size_t>(variant - 1)];
    }
    null_ = variant == 0;
    if (variant >= 0) record.text = null_ ? "NULL" : "\"" + text_.substr(0, 20) + "\"";
  }
  const char* Get() { return null_ ? nullptr : text_.c_str(); }

 private:
  std::string text_;
  bool null_ = false;
};

// Untyped pointers: a handle (roles M and D) or an output buffer (role B).
template <>
class Argument<void*> {
 public:
  static int Count(char role) { return role == 'B' ? 1 : kHandleKinds; }
  Argument(char role, int, int variant, const Boards& boards, CallRecord& record) {
    if (role == 'B') {
      if (variant < 0) {
        buffer_ = std::make_unique<GuardedBuffer>(kUntypedBytes);
        record.outputs.push_back(buffer_.get());
        value_ = buffer_->Data();
      } else {
        record.text = "NULL";
      }
      return;
    }
    const bool motion = role != 'D';
    value_ = motion ? boards.motion : boards.daq;
    if (variant < 0) return;
    const HandleKind kind = static_cast<HandleKind>(variant);
    constexpr auto kNever = static_cast<std::uintptr_t>(0x5A5A5A5Au);
    const QUORVA_HANDLE values[kHandleKinds] = {
        nullptr, QUORVA_INVALID_HANDLE, reinterpret_cast<QUORVA_HANDLE>(kNever), boards.unloaded,
        motion ? boards.daq : boards.motion};
    value_ = values[kind];
    // Only motion functions that look for the board's motion state must refuse the other
    // kind: board-level functions serve any board, data-acquisition ones the digital lines of
    // a motion board too.
    record.noBoard =
        kind != kOtherKind || (role == 'M' && !ReachesTheDriverDirectly(record.function));
    record.text = kHandleNames[kind];
  }
  void* Get() { return value_; }

 private:
  void* value_ = nullptr;
  std::unique_ptr<GuardedBuffer> buffer_;
};

// Typed pointers: input arrays of ordinary or hostile elements (role I), output arrays of the
// documented size (role O); either may be null.
template <typename P>
class Argument<P*, std::enable_if_t<!std::is_void_v<P> && !std::is_same_v<P*, const char*>>> {
  using T = std::remove_const_t<P>;

 public:
  static int Count(char role) { return role == 'I' ? 1 + HostileFills() : 1; }
  Argument(char role, int elements, int variant, const Boards&, CallRecord& record) {
    if (variant == 0 || role == 'R') {
      record.text = "NULL";
      return;
    }
    const std::size_t count = role == 'I' ? kInputElements : static_cast<std::size_t>(elements);
    buffer_ = std::make_unique<GuardedBuffer>(count * sizeof(T));
    if (role == 'I') {
      Fill(variant, count);
      record.inputs.push_back(buffer_.get());
      if (variant > 0) record.text = "array of hostile values " + std::to_string(variant);
    } else {
      record.outputs.push_back(buffer_.get());
    }
    value_ = reinterpret_cast<P*>(buffer_->Data());
  }
  P* Get() { return value_; }

 private:
  static int HostileFills() {
    if constexpr (std::is_arithmetic_v<T>) return static_cast<int>(HostileNumbers<T>().size());
    return 0;
  }
  // Ordinary elements count 0, 1, 2 ... (distinct axes and channels, small distances); hostile
  // ones are all the same hostile number.
  void Fill(int variant, std::size_t count) {
    if constexpr (std::is_arithmetic_v<T>) {
      T* elements = reinterpret_cast<T*>(buffer_->Data());
      for (std::size_t i = 0; i < count; ++i) {
        elements[i] = variant < 0 ? static_cast<T>(i % 8)
                                  : HostileNumbers<T>()[static_cast<std::size_t>(variant - 1)];
      }
    } else {
      (void)variant;
      std::memset(buffer_->Data(), 0, count * sizeof(T));
    }
  }

  P* value_ = nullptr;
  std::unique_ptr<GuardedBuffer> buffer_;
};

// Whether a role letter of the table suits a parameter of type T.
template <typename T>
bool RoleFits(char role) {
  const std::string_view roles = std::is_arithmetic_v<T>                     ? "VN"
                                 : std::is_same_v<T, const char*>            ? "SL"
                                 : std::is_same_v<T, void*>                  ? "MDAB"
                                 : std::is_const_v<std::remove_pointer_t<T>> ? "I"
                                                                             : "OR";
  return roles.find(role) != std::string_view::npos;
}

// -- Calls -----------------------------------------------------------------------------------

struct Entry;

// What a sweep found.
struct Report {
  int functions = 0;
  long calls = 0;
  std::vector<std::string> failures;
};

struct Entry {
  const char* name;
  void (*exercise)(const Entry&, Report&);
  const char* roles;
  std::vector<int> elements;  // per parameter, for output arrays (empty: all 1)

  int Elements(std::size_t parameter) const {
    return parameter < elements.size() && elements[parameter] > 0 ? elements[parameter] : 1;
  }
};

// Results documented for a call without a board where they are not 0.
const std::map<std::string_view, double>& NeutralResults() {
  static const auto* results = new std::map<std::string_view, double>{
      {"QUORVA_EnableDebugLog", -1},
      {"QUORVA_MC_GetUnitDistance", 1},
      {"QUORVA_MC_GetUnitSpeed", 1},
      {"QUORVA_MC_GetInOutRatio", 1},
      {"QUORVA_MC_Done", 1},
      {"QUORVA_MC_AllDone", 1},
      {"QUORVA_MC_InitFromFile", -1},
      {"QUORVA_MC_LtcQueDeque", -1630},
      {"QUORVA_MC_LtcQuePeekAt", -1630},
  };
  return *results;
}

template <typename R>
bool IsNeutral(const char* name, R result) {
  if constexpr (std::is_void_v<R>) {
    return true;
  } else if constexpr (std::is_pointer_v<R>) {
    return result == nullptr;
  } else {
    const auto documented = NeutralResults().find(name);
    const double expected = documented == NeutralResults().end() ? 0 : documented->second;
    return static_cast<double>(result) == expected;
  }
}

// Watches each call: once it has run for a while, simulated time runs far ahead so that a move
// that is merely long ends; a move that still runs, such as one that follows a hand wheel nobody
// turns, is stopped from here as an application would stop it; a call still running long after
// that hangs.
class Watchdog {
 public:
  Watchdog() : thread_([this] { Run(); }) {}
  ~Watchdog() {
    {
      std::lock_guard lock(mutex_);
      stop_ = true;
    }
    wake_.notify_all();
    thread_.join();
  }
  void Start(const std::string& call, QUORVA_HANDLE motion) {
    std::lock_guard lock(mutex_);
    call_ = call;
    motion_ = motion;
    started_ = Clock::now();
    running_ = true;
    steps_ = 0;
  }
  void Stop() {
    std::lock_guard lock(mutex_);
    running_ = false;
  }

 private:
  using Clock = std::chrono::steady_clock;
  static constexpr auto kLong = std::chrono::milliseconds(200);
  static constexpr auto kStopAfter = std::chrono::seconds(1);
  static constexpr auto kHang = std::chrono::seconds(30);
  // Simulated time is moved on in the largest steps the simulator takes, up to about 200
  // years: longer than the longest move at the lowest speed.
  static constexpr double kStepSeconds = 1e9;
  static constexpr int kMaxSteps = 6;

  void Run() {
    std::unique_lock lock(mutex_);
    while (!stop_) {
      wake_.wait_for(lock, std::chrono::milliseconds(20));
      if (!running_) continue;
      const auto elapsed = Clock::now() - started_;
      if (elapsed > kHang) {
        std::fprintf(stderr, "hangs: %s\n", call_.c_str());
        std::abort();
      }
      if (elapsed > kLong && steps_ < kMaxSteps) {
        ++steps_;
        QUORVA_SIM_AdvanceTime(kStepSeconds);
      } else if (elapsed > kStopAfter && steps_ == kMaxSteps) {
        ++steps_;
        for (int axis = 0; axis < 8; ++axis)
          QUORVA_MC_EmgStop(motion_, axis);
      }
    }
  }

  std::mutex mutex_;
  std::condition_variable wake_;
  std::string call_;
  QUORVA_HANDLE motion_ = nullptr;
  Clock::time_point started_;
  bool running_ = false;
  int steps_ = 0;
  bool stop_ = false;
  std::thread thread_;
};

class Sweep {
 public:
  Sweep(std::string path, std::string mappingPath)
      : path_(std::move(path)), mappingPath_(std::move(mappingPath)) {}

  // A fresh bus with a motion board, a data-acquisition board and the handle of a board that
  // was unloaded; no mapping file, tracing off.
  Boards FreshBoards() const {
    UnloadAllDevices();
    QUORVA_SIM_SetClock(QUORVA_SIM_CLOCK_VIRTUAL, 1.0);
    QUORVA_SIM_RefuseCommand(-1);
    QUORVA_SIM_Configure("A508,A101");
    g_traceLevel = 0;
    g_traceQuiet = 0;
    std::error_code error;
    std::filesystem::remove(mappingPath_, error);
    Boards boards;
    boards.motion = QUORVA_LoadDevice(0xA508, 0);
    boards.daq = QUORVA_LoadDevice(0xA101, 0);
    boards.unloaded = QUORVA_LoadDevice(0xA101, 0);
    QUORVA_UnloadDevice(boards.unloaded);
    boards.path = path_;
    QUORVA_SIM_ClearRequests();
    return boards;
  }

  Watchdog& Dog() { return watchdog_; }

 private:
  std::string path_;
  std::string mappingPath_;
  Watchdog watchdog_;
};

Sweep* g_sweep = nullptr;

bool SentToNoBoard() {
  QUORVA_SIM_REQUEST request{};
  const int count = QUORVA_SIM_RequestCount();
  for (int i = 0; i < count; ++i) {
    if (QUORVA_SIM_GetRequest(i, &request) == 0 && request.board < 0) return true;
  }
  return false;
}

template <typename F>
struct Signature;

template <typename R, typename... A>
struct Signature<R (*)(A...)> {
  static constexpr std::size_t kArity = sizeof...(A);

  template <R (*F)(A...)>
  static void Exercise(const Entry& entry, Report& report) {
    if (!RolesFit(entry.roles, std::index_sequence_for<A...>{})) {
      report.failures.push_back(std::string(entry.name) +
                                ": the table's roles do not fit the parameters; run "
                                "python3 tests/generate_robustness_table.py");
      return;
    }
    ++report.functions;
    CallOnce<F>(entry, report, -1, -1, std::index_sequence_for<A...>{});
    ForEachParameter<F>(entry, report, std::index_sequence_for<A...>{});
  }

 private:
  template <std::size_t... I>
  static bool RolesFit(std::string_view roles, std::index_sequence<I...>) {
    return roles.size() == kArity && (RoleFits<A>(roles[I]) && ...);
  }

  template <R (*F)(A...), std::size_t... I>
  static void ForEachParameter(const Entry& entry, Report& report, std::index_sequence<I...>) {
    (VaryParameter<F, I>(entry, report), ...);
  }

  template <R (*F)(A...), std::size_t P>
  static void VaryParameter(const Entry& entry, Report& report) {
    using T = std::tuple_element_t<P, std::tuple<A...>>;
    const int count = Argument<T>::Count(entry.roles[P]);
    for (int variant = 0; variant < count; ++variant)
      CallOnce<F>(entry, report, static_cast<int>(P), variant, std::index_sequence_for<A...>{});
  }

  template <R (*F)(A...), std::size_t... I>
  static void CallOnce(const Entry& entry, Report& report, int varied, int variant,
                       std::index_sequence<I...>) {
    const Boards boards = g_sweep->FreshBoards();
    CallRecord record;
    record.function = entry.name;
    std::tuple<Argument<A>...> arguments{Argument<A>(entry.roles[I], entry.Elements(I),
                                                     static_cast<int>(I) == varied ? variant : -1,
                                                     boards, record)...};
    const std::string call =
        std::string(entry.name) +
        (varied < 0 ? " with ordinary arguments"
                    : " with argument " + std::to_string(varied + 1) + " = " + record.text);
    ++report.calls;
    g_sweep->Dog().Start(call, boards.motion);
    if constexpr (std::is_void_v<R>) {
      F(std::get<I>(arguments).Get()...);
      g_sweep->Dog().Stop();
      Check<void>(entry, report, record, call, 0);
    } else {
      const R result = F(std::get<I>(arguments).Get()...);
      g_sweep->Dog().Stop();
      Check<R>(entry, report, record, call, result);
      if constexpr (std::is_same_v<R, double*>) QUORVA_MC_DeleteSpline(result);
    }
  }

  template <typename Result, typename Value>
  static void Check(const Entry& entry, Report& report, const CallRecord& record,
                    const std::string& call, Value result) {
    for (const GuardedBuffer* buffer : record.outputs) {
      if (!buffer->GuardIntact()) report.failures.push_back(call + ": wrote past an output");
      if (record.noBoard && !buffer->DataUntouchedOrZero())
        report.failures.push_back(call + ": wrote an output without a board");
    }
    for (const GuardedBuffer* buffer : record.inputs) {
      if (!buffer->GuardIntact()) report.failures.push_back(call + ": wrote past an input");
    }
    if (SentToNoBoard()) report.failures.push_back(call + ": sent a request to no board");
    if constexpr (!std::is_void_v<Result>) {
      if (record.noBoard && !IsNeutral<Result>(entry.name, result))
        report.failures.push_back(
            call +
            ": result is not the neutral one (a documented result other than 0 "
            "without a board belongs in NeutralResults())");
    }
  }
};

#define QUORVA_ROBUSTNESS_ENTRY(name, roles, ...)                       \
  {#name, &Signature<decltype(&name)>::template Exercise<&name>, roles, \
   std::vector<int> __VA_ARGS__},

const std::vector<Entry>& Table() {
  static const auto* table = new std::vector<Entry>{
#include "robustness_table.inc"
  };
  return *table;
}

class Robustness : public test::MappingFileTest {};

TEST_F(Robustness, EveryExportedFunctionSurvivesHostileArguments) {
  Sweep sweep(test::TempPath("robustness-file.txt"), MappingPath());
  // Hostile texts taken as relative file names create their files in a scratch directory.
  const std::filesystem::path workingDirectory = std::filesystem::current_path();
  std::filesystem::current_path(std::filesystem::path(test::TempPath("files")).parent_path());
  g_sweep = &sweep;
  Report report;
  for (const Entry& entry : Table())
    entry.exercise(entry, report);
  g_sweep = nullptr;
  std::filesystem::current_path(workingDirectory);
  UnloadAllDevices();
  std::printf("robustness: %d functions, %ld calls\n", report.functions, report.calls);
  RecordProperty("functions", report.functions);
  RecordProperty("calls", static_cast<int>(report.calls));
  std::string failures;
  for (const std::string& failure : report.failures)
    failures += failure + "\n";
  EXPECT_TRUE(report.failures.empty()) << report.failures.size() << " failures:\n" << failures;
}

}  // namespace
}  // namespace quorva
