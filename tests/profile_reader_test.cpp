#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "config/profile_reader.h"
#include "sim_test.h"

namespace quorva {
namespace {

// Every line the reader returns for `text`: "[name]", "<unnamed>" or "key=value". The text
// goes through a file of the test's own (a temporary file of the C library may land in a shared
// place, such as the drive's root on Windows, where tests running at once collide).
std::string Lines(const std::string& text) {
  std::FILE* file = std::fopen(test::TempPath("profile.ini").c_str(), "w+b");
  if (file == nullptr) {
    ADD_FAILURE() << "no file for the text";
    return {};
  }
  std::fwrite(text.data(), 1, text.size(), file);
  std::rewind(file);
  ProfileReader reader(file);
  ProfileLine line;
  std::string out;
  while (reader.Next(line)) {
    if (line.kind == ProfileLine::kSection) out += "[" + std::string(line.name) + "]";
    if (line.kind == ProfileLine::kUnnamedSection) out += "<unnamed>";
    if (line.kind == ProfileLine::kKey)
      out += std::string(line.name) + "=" + std::string(line.value);
    out += "|";
  }
  EXPECT_FALSE(reader.Failed());
  std::fclose(file);
  return out;
}

TEST(ProfileReader, ReadsHeadersAndKeysLineByLine) {
  const std::string longest(kMaxProfileLine - 2, 'v');
  const std::string tooLong(kMaxProfileLine + 1, 'v');
  const struct {
    std::string text;
    std::string lines;
  } cases[] = {
      {"[ Main ] trailing\n  Key\t=  some value \t\nEmpty =\n", "[Main]|Key=some value|Empty=|"},
      {"; Comment = no\nno equals sign\n\n \t\n[broken\n=v\n", "=v|"},
      {"a=b=c\r\n[Next]\r\nKey=crlf\r\nLast=no line end",
       "a=b=c|[Next]|Key=crlf|Last=no line end|"},
      {"[a]\nLast=longer than the lines before it", "[a]|Last=longer than the lines before it|"},
      {"k=" + longest + "\nafter=1\n", "k=" + longest + "|after=1|"},
      {"k=" + tooLong + "\nafter=1\n", "after=1|"},
      {"  [" + tooLong + "]\nk=1\n", "<unnamed>|k=1|"},
      {std::string(kMaxProfileLine + 5, ' ') + "[x]\n", "<unnamed>|"},
      {"k=" + std::string(300000, 'x') + "\n[" + std::string(300000, 's') + "]\nk=2",
       "<unnamed>|k=2|"},
      {std::string("nul\0byte=1\n", 11), std::string("nul\0byte=1|", 11)},
      {"", ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Lines(c.text), c.lines) << c.text.substr(0, 60);
}

TEST(ProfileReader, LinesAcrossTheReadBufferArriveWhole) {
  std::string text;
  std::string expected;
  for (int i = 0; i < 20000; ++i) {
    const std::string line = "Key" + std::to_string(i) + "=" + std::string(i % 50, 'v');
    text += line + "\n";
    expected += line + "|";
  }
  EXPECT_EQ(Lines(text), expected);
}

TEST(ProfileValues, IntegersAndDecimals) {
  const struct {
    const char* text;
    int integer;
  } integers[] = {{"12abc", 12},
                  {"-7", -7},
                  {"+3", 3},
                  {"abc", 0},
                  {"", 5},
                  {"99999999999", 2147483647},
                  {"-99999999999", -2147483647 - 1}};
  for (const auto& c : integers)
    EXPECT_EQ(ProfileInteger(c.text, 5), c.integer) << c.text;
  EXPECT_EQ(ParseDecimal("1.5"), 1.5);
  EXPECT_EQ(ParseDecimal("-2"), -2.0);
  EXPECT_EQ(ParseDecimal("+3.25"), 3.25);
  EXPECT_EQ(ParseDecimal("1e3"), 1000.0);
  EXPECT_EQ(ParseDecimal(".5"), 0.5);
  for (const char* bad : {"", "abc", "1.5x", " 1", "inf", "nan", "+-1", "1e999", "+", "-"})
    EXPECT_FALSE(ParseDecimal(bad)) << bad;
  EXPECT_TRUE(SameName("MappingPoint", "mAPPINGpOINT"));
  EXPECT_FALSE(SameName("Axis", "Axes"));
}

}  // namespace
}  // namespace quorva
