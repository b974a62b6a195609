// quorva config: board configuration files written from text, laid out byte by byte as the
// library reads them, and shown as the same text again.
#include <cstdint>
#include <cstring>
#include <fstream>

#include "tool_run.h"

namespace quorva {
namespace {

using test::Contains;
using test::RunQuorva;
using test::TempPath;

// Every setting of two axes, with packed codes, negative values and reals that need every digit.
constexpr const char* kText =
    "[axis 1]\n"
    "output_mode = 4\ninput_mode = 6\nmax_speed = 655350\nunit_distance = 1000.004\n"
    "unit_speed = 0.1\nin_out_ratio = -2.5\nalm = 3\nsoft_limits = 1\nsoft_limit1 = -100\n"
    "soft_limit2 = 1e-07\nel = -3\nfilter_logic = 255\ndr = 1\nsd1 = 2\nsd2 = 1\nsta = 1\n"
    "stp = 2\nclr1 = 15\nclr2 = 3\ncmp_width = 100.9\ncmp_logic = 1\ninp = 2\nltc = 2\n"
    "[axis 7]  ; the last axis\n"
    "max_speed = 1e+20\nsta = -2147483648\n";

std::string WriteText(const std::string& name, const std::string& text) {
  const std::string path = TempPath(name);
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

template <typename T>
T At(const std::string& bytes, std::size_t offset) {
  T value;
  std::memcpy(&value, bytes.data() + offset, sizeof value);
  return value;
}

class ToolConfig : public test::SimTest {};

TEST_F(ToolConfig, TextBecomesTheFileLayoutAndComesBackUnchanged) {
  const std::string file = TempPath("board.cfg");
  ASSERT_EQ(RunQuorva({"config", "write", WriteText("board.txt", kText), file}).status, 0);
  const std::string bytes = test::ReadFile(file);
  ASSERT_EQ(bytes.size(), 1428u);
  EXPECT_EQ(bytes.substr(0, 4), "\xAC\xC9\x31\x01");
  // Axis 1 in each table: integers from byte 4 (80 per axis), reals from 644 (80 per axis),
  // flags from 1284 (10 per axis), maximum speeds from 1364 (8 per axis). A little-endian host
  // reads them back with memcpy.
  EXPECT_EQ(At<std::int32_t>(bytes, 4 + 80 + 4 * 1), 6) << "input mode code";
  EXPECT_EQ(At<std::int32_t>(bytes, 4 + 80 + 4 * 4), -3) << "EL code";
  EXPECT_EQ(At<std::int32_t>(bytes, 4 + 80 + 4 * 14), 2) << "LTC code";
  EXPECT_EQ(At<std::int32_t>(bytes, 4 + 80 + 4 * 2), 0) << "a word without a setting";
  EXPECT_EQ(At<double>(bytes, 644 + 80 + 8 * 0), 1000.004);
  EXPECT_EQ(At<double>(bytes, 644 + 80 + 8 * 5), 100.9) << "compare width";
  EXPECT_EQ(static_cast<unsigned char>(bytes[1284 + 10 + 0]), 255u) << "filter logic";
  EXPECT_EQ(bytes[1284 + 10 + 1], 1) << "soft limits on";
  EXPECT_EQ(At<double>(bytes, 1364 + 8), 655350.0);
  EXPECT_EQ(At<double>(bytes, 1364 + 8 * 7), 1e20);
  EXPECT_EQ(At<std::int32_t>(bytes, 4 + 80 * 7 + 4 * 8), INT32_MIN) << "STA code of axis 7";

  const test::ToolRun shown = RunQuorva({"config", "show", file});
  ASSERT_EQ(shown.status, 0) << shown.err;
  EXPECT_TRUE(Contains(shown.out,
                       "[axis 1]\noutput_mode = 4\ninput_mode = 6          "
                       "; mode 2, reverse 1\nmax_speed = 655350      ;"))
      << shown.out;
  EXPECT_TRUE(Contains(shown.out,
                       "sta = -2147483648       ; mode -2147483648, input type "
                       "2147483647\n"));
  EXPECT_EQ(shown.out.rfind("[axis 0]\noutput_mode = 0\n", 0), 0u) << "every axis is shown";
  const std::string again = TempPath("again.cfg");
  ASSERT_EQ(RunQuorva({"config", "write", WriteText("shown.txt", shown.out), again}).status, 0);
  EXPECT_EQ(test::ReadFile(again), bytes);
  EXPECT_EQ(RunQuorva({"config", "show", again}).out, shown.out) << "text, file, text";
}

TEST_F(ToolConfig, WrongTextAndFilesAreRefusedWithTheirPlace) {
  const struct {
    std::string text;
    const char* message;
  } texts[] = {
      {"[axis 8]\nstp = 1\n", "board.txt:2: 'stp' is not in a section [axis 0] to [axis 7]"},
      {"stp = 1\n", "is not in a section"},
      {"[axis 0]\nspeed = 1\n", "board.txt:2: no setting is called 'speed'"},
      {"[axis 0]\nstp = 1\nstp = 2\n", "board.txt:3: 'stp' is given twice for axis 0"},
      {"[axis 0]\nstp = 2147483648\n", "'stp' takes an integer, not '2147483648'"},
      {"[axis 0]\nfilter_logic = 256\n", "'filter_logic' takes a flag of 0-255"},
      {"[axis 0]\nunit_speed = fast\n", "'unit_speed' takes a number, not 'fast'"},
  };
  for (const auto& t : texts) {
    const test::ToolRun run =
        RunQuorva({"config", "write", WriteText("board.txt", t.text), TempPath("out.cfg")});
    EXPECT_EQ(run.status, 1) << t.message;
    EXPECT_TRUE(Contains(run.err, t.message)) << run.err;
  }
  std::string file(1428, '\0');
  file.replace(0, 4, "\xAC\xC9\x31\x02");
  EXPECT_TRUE(Contains(RunQuorva({"config", "show", WriteText("bad.cfg", file)}).err,
                       "not a board configuration file"));
  file[3] = 0x01;
  file.resize(1427);
  const test::ToolRun shortFile = RunQuorva({"config", "show", WriteText("short.cfg", file)});
  EXPECT_EQ(shortFile.status, 1);
  EXPECT_TRUE(Contains(shortFile.err, "1427 bytes, shorter than a configuration file"));
  EXPECT_EQ(RunQuorva({"config", "read", "x"}).status, 2);
}

}  // namespace
}  // namespace quorva
