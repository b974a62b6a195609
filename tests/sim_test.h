// Test fixture: a fresh simulated bus on the virtual clock, no loaded boards, tracing off; and
// assertions on the requests the simulated driver received.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "VarnDasQv.h"
#include "VarnDasQvSim.h"
#include "motion/core/motion_context.h"

namespace quorva::test {

// Test suites whose tests start a thread (the simulated driver's event scheduler, or their
// own) have names beginning with this; the ThreadSanitizer stage of CI runs them.
inline constexpr const char* kThreadedPrefix = "Threaded";

// Fails a test outside those suites that leaves the scheduler running, and stops it.
class SimTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Configures the simulated boards (resets the bus, the log and the clock, which stays
  // virtual).
  void UseBoards(const char* boards);
  // Loads a board; fails the test when it does not load. The log is cleared afterwards.
  QUORVA_HANDLE Load(int deviceId, int instance = 0);
};

// A fresh bus with an 8-axis motion board loaded as board 0.
class MotionBoardTest : public SimTest {
 protected:
  void SetUp() override;
  // A register of the simulated board 0 as the controller holds it now.
  static unsigned int Reg(int axis, int reg);
  // The simulated controller's view of an axis of board 0.
  static QUORVA_SIM_AXIS_STATE AxisState(int axis);
  // The axis in millimetres of 100 pulses: 1 to 100 mm/s, trapezoidal ramps of `accel` mm/s².
  void UseMillimetres(int axis, double accel);

  QUORVA_HANDLE board_ = nullptr;
  MotionContext* context_ = nullptr;
};

// The logged requests as text, each shaped like its pattern in `expected` so that the two
// lists compare line by line. A pattern is "code(arg, arg, ...)": an argument is a number
// (decimal, or hexadecimal with 0x, compared in that base) or "*", any nonzero value (an
// address). Example: {"630(0, 29, *)", "610(0, 29, 0x8151)"}.
std::vector<std::string> LoggedAs(const std::vector<std::string>& expected);

inline std::vector<std::string> Lines(const std::vector<std::string>& lines) {
  return lines;
}

// Request lists joined in order, for a log expected piece by piece.
inline std::vector<std::string> Concat(std::initializer_list<std::vector<std::string>> parts) {
  std::vector<std::string> all;
  for (const std::vector<std::string>& part : parts)
    all.insert(all.end(), part.begin(), part.end());
  return all;
}

#define EXPECT_REQUESTS(...) \
  EXPECT_EQ(::quorva::test::LoggedAs(__VA_ARGS__), ::quorva::test::Lines(__VA_ARGS__))

// The whole log as "code(arg, ...)" in decimal, result addresses as "*". Knows the arity of the
// board and motion commands; other codes show every slot up to the last nonzero one.
std::vector<std::string> RawLog();

int LoggedRequestCount();
void ClearLog();

// Reads a whole file; empty when it does not exist.
std::string ReadFile(const std::string& path);
// A path in a fresh temporary directory.
std::string TempPath(const std::string& name);

}  // namespace quorva::test
