#include "sim_test.h"

#include <cinttypes>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "device/registry.h"
#include "device/trace.h"
#include "sim/sim_bus.h"

namespace quorva::test {

void SimTest::SetUp() {
  ASSERT_EQ(QUORVA_SIM_SetClock(QUORVA_SIM_CLOCK_VIRTUAL, 1.0), 0);
  UseBoards("A508,A101");
}

void SimTest::TearDown() {
  UnloadAllDevices();
  g_traceLevel = 0;
  g_traceQuiet = 0;
  // The sanitizer stage for threads selects the tests that start one by this prefix.
  const std::string suite =
      ::testing::UnitTest::GetInstance()->current_test_info()->test_suite_name();
  EXPECT_TRUE(suite.rfind(kThreadedPrefix, 0) == 0 || !sim::SimBus::Instance().SchedulerRunning())
      << "a test that starts a thread belongs to a suite whose name begins with "
      << kThreadedPrefix;
  sim::SimBus::Instance().StopScheduler();
}

void SimTest::UseBoards(const char* boards) {
  UnloadAllDevices();
  ASSERT_GE(QUORVA_SIM_Configure(boards), 0) << boards;
}

QUORVA_HANDLE SimTest::Load(int deviceId, int instance) {
  QUORVA_HANDLE handle = QUORVA_LoadDevice(deviceId, instance);
  EXPECT_NE(handle, QUORVA_INVALID_HANDLE) << std::hex << deviceId << " instance " << instance;
  test::ClearLog();
  return handle;
}

void MotionBoardTest::SetUp() {
  SimTest::SetUp();
  board_ = Load(0xA508);
  context_ = ContextOf(board_);
  ASSERT_NE(context_, nullptr);
}

unsigned int MotionBoardTest::Reg(int axis, int reg) {
  unsigned int value = 0;
  QUORVA_SIM_GetAxisRegister(0, axis, reg, &value);
  return value;
}

QUORVA_SIM_AXIS_STATE MotionBoardTest::AxisState(int axis) {
  QUORVA_SIM_AXIS_STATE state{};
  QUORVA_SIM_GetAxisState(0, axis, &state);
  return state;
}

void MotionBoardTest::UseMillimetres(int axis, double accel) {
  QUORVA_MC_SetUnitDistance(board_, axis, 100);
  QUORVA_MC_SetUnitSpeed(board_, axis, 100);
  QUORVA_MC_SetSpeedRange(board_, axis, 500);
  QUORVA_MC_SetSpeed(board_, axis, 1, 100);
  QUORVA_MC_SetAccel(board_, axis, accel, accel);
  QUORVA_MC_SetSpeedMode(board_, axis, 1);
}

namespace {

struct Pattern {
  std::string code;
  std::vector<std::string> args;
};

std::string Trim(const std::string& s) {
  const auto begin = s.find_first_not_of(' ');
  const auto end = s.find_last_not_of(' ');
  return begin == std::string::npos ? "" : s.substr(begin, end - begin + 1);
}

Pattern Parse(const std::string& text) {
  Pattern p;
  const auto open = text.find('(');
  p.code = Trim(text.substr(0, open));
  if (open == std::string::npos) return p;
  std::stringstream inner(text.substr(open + 1, text.rfind(')') - open - 1));
  for (std::string arg; std::getline(inner, arg, ',');)
    p.args.push_back(Trim(arg));
  return p;
}

std::string FormatLike(const std::string& pattern, std::uint64_t value) {
  char buffer[40];
  if (pattern == "*") return value != 0 ? "*" : "0";
  if (pattern.rfind("0x", 0) == 0 || pattern.rfind("0X", 0) == 0) {
    std::snprintf(buffer, sizeof buffer, "0x%" PRIX64, value);
    return buffer;
  }
  // Negative decimal patterns compare against the 32-bit value in the slot's low half.
  if (!pattern.empty() && pattern[0] == '-') {
    std::snprintf(buffer, sizeof buffer, "%d", static_cast<std::int32_t>(value));
    return buffer;
  }
  std::snprintf(buffer, sizeof buffer, "%" PRIu64, value);
  return buffer;
}

}  // namespace

std::vector<std::string> LoggedAs(const std::vector<std::string>& expected) {
  std::vector<std::string> actual;
  const int count = QUORVA_SIM_RequestCount();
  for (int i = 0; i < count; ++i) {
    QUORVA_SIM_REQUEST request{};
    QUORVA_SIM_GetRequest(i, &request);
    const Pattern pattern = static_cast<std::size_t>(i) < expected.size()
                                ? Parse(expected[static_cast<std::size_t>(i)])
                                : Pattern{};
    std::string line = std::to_string(request.code) + "(";
    for (std::size_t k = 0; k < pattern.args.size() && k < 11; ++k) {
      // Values are 32-bit; only an address ("*") fills the whole slot.
      std::uint64_t slot = request.slots[k];
      if (pattern.args[k] != "*") slot &= 0xFFFFFFFFu;
      line += (k ? ", " : "") + FormatLike(pattern.args[k], slot);
    }
    actual.push_back(line + ")");
  }
  return actual;
}

namespace {

// Argument shapes of the commands the motion tests look at: 'v' a value, 'a' an address.
const char* ShapeOf(unsigned code) {
  switch (code) {
    case 0:
    case 8:
    case 11:
    case 767:
    case 770:
      return "a";
    case 330:
    case 690:
      return "v";
    case 610:
    case 620:
      return "vvv";
    case 630:
    case 640:
      return "vva";
    case 680:
      return "vaa";
    case 760:
      return "avv";
    case 700:
    case 765:
      return "";
    case 710:
      return "vaa";
    case 780:
      return "aa";
    default:
      return nullptr;
  }
}

}  // namespace

std::vector<std::string> RawLog() {
  std::vector<std::string> lines;
  for (int i = 0; i < QUORVA_SIM_RequestCount(); ++i) {
    QUORVA_SIM_REQUEST request{};
    QUORVA_SIM_GetRequest(i, &request);
    const char* shape = ShapeOf(request.code);
    std::string fallback;
    if (shape == nullptr) {
      int last = 10;
      while (last >= 0 && request.slots[last] == 0)
        --last;
      fallback.assign(static_cast<std::size_t>(last + 1), 'v');
      shape = fallback.c_str();
    }
    std::string line = std::to_string(request.code) + "(";
    for (int k = 0; shape[k] != '\0'; ++k) {
      const std::uint64_t slot = request.slots[k];
      const std::string arg = shape[k] == 'a'
                                  ? (slot != 0 ? "*" : "0")
                                  : std::to_string(static_cast<std::int32_t>(slot & 0xFFFFFFFFu));
      line += (k ? ", " : "") + arg;
    }
    lines.push_back(line + ")");
  }
  return lines;
}

int LoggedRequestCount() {
  return QUORVA_SIM_RequestCount();
}

void ClearLog() {
  QUORVA_SIM_ClearRequests();
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream content;
  content << in.rdbuf();
  return content.str();
}

std::string TempPath(const std::string& name) {
  namespace fs = std::filesystem;
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  fs::path dir = fs::temp_directory_path() /
                 ("quorva-" + std::string(info->test_suite_name()) + "-" + info->name());
  fs::create_directories(dir);
  return (dir / name).string();
}

}  // namespace quorva::test
