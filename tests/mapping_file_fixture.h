// Fixture for tests that use the gantry-mapping file: the file lives in the test's own
// temporary directory, named through QUORVA_GANTRY_FILE.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "motion/core/motion_context.h"
#include "sim_test.h"

namespace quorva::test {

inline void SetEnvironment(const char* name, const std::string& value) {
#ifdef _WIN32
  _putenv_s(name, value.c_str());
#else
  setenv(name, value.c_str(), 1);
#endif
}

// A text file the library wrote in text mode, with Windows line ends turned into "\n".
inline std::string ReadText(const std::string& path) {
  std::string text = ReadFile(path);
  std::erase(text, '\r');
  return text;
}

class MappingFileTest : public SimTest {
 protected:
  void SetUp() override {
    SimTest::SetUp();
    path_ = TempPath("VarnGantryMapping.ini");
    std::filesystem::remove_all(path_);
    SetEnvironment("QUORVA_GANTRY_FILE", path_);
  }
  void TearDown() override {
    SetEnvironment("QUORVA_GANTRY_FILE", "");
    SimTest::TearDown();
  }

  const std::string& MappingPath() const { return path_; }
  void WriteMappingText(const std::string& text) const {
    std::ofstream(path_, std::ios::binary) << text;
  }

  // Writes and loads a grid through QUORVA_MC_2DMATRIX_Set; corrections in user units, point
  // (i, j) at i × countY + j.
  static void SetGrid(QUORVA_HANDLE board, int axisX, int axisY, double startX, double startY,
                      double pitchX, double pitchY, int countX, int countY,
                      const std::vector<double>& dx, const std::vector<double>& dy) {
    const double starts[2] = {startX, startY};
    const double pitches[2] = {pitchX, pitchY};
    const int counts[2] = {countX, countY};
    QUORVA_MC_2DMATRIX_Set(board, axisX, axisY, starts, pitches, counts, dx.data(), dy.data());
  }

 private:
  std::string path_;
};

}  // namespace quorva::test
