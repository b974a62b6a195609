#include <gtest/gtest.h>

#include <string>

#include "config/profile_file.h"

namespace quorva {
namespace {

TEST(ProfileFile, NamesIgnoreCaseAndBlanksAndTheFirstOccurrenceWins) {
  const ProfileFile file = ProfileFile::Parse(
      "before = ignored\n"
      "[ Main ]\n"
      "  Key\t=  some value \t\n"
      "key = second\n"
      "; Comment = no\n"
      "no equals sign\n"
      "Empty =\n"
      "[main]\n"
      "Other = from a repeated section\n"
      "[Next]\r\n"
      "Key=crlf\r\n"
      "[broken\n"
      "Last=no newline");
  EXPECT_EQ(file.Value("MAIN", "KEY"), "some value");
  EXPECT_EQ(file.Value("main", "empty"), "");
  EXPECT_FALSE(file.Value("Main", "; Comment"));
  EXPECT_FALSE(file.Value("Main", "no equals sign"));
  EXPECT_FALSE(file.Value("Main", "Other")) << "a repeated section is ignored";
  EXPECT_FALSE(file.Value("", "before"));
  EXPECT_EQ(file.Value("next", "key"), "crlf");
  EXPECT_EQ(file.Value("Next", "Last"), "no newline") << "an unclosed header opens nothing";
  EXPECT_FALSE(file.Value("Missing", "Key"));
}

TEST(ProfileFile, IntegersReadLeadingDigitsWithASign) {
  const ProfileFile file = ProfileFile::Parse(
      "[S]\nA = 12abc\nB = -7\nC = +3\nD = abc\nE =\nF = 99999999999\nG = -99999999999\n");
  EXPECT_EQ(file.Integer("S", "A", 5), 12);
  EXPECT_EQ(file.Integer("S", "B", 5), -7);
  EXPECT_EQ(file.Integer("S", "C", 5), 3);
  EXPECT_EQ(file.Integer("S", "D", 5), 0);
  EXPECT_EQ(file.Integer("S", "E", 5), 5) << "an empty value gives the default";
  EXPECT_EQ(file.Integer("S", "Missing", 255), 255);
  EXPECT_EQ(file.Integer("S", "F", 0), 2147483647);
  EXPECT_EQ(file.Integer("S", "G", 0), -2147483647 - 1);
  EXPECT_EQ(ProfileFile().Integer("S", "A", 9), 9);
}

TEST(ProfileFile, ManyKeysAndLongLinesAreIndexed) {
  std::string text = "[Points]\n";
  for (int i = 0; i < 5000; ++i)
    text += "P" + std::to_string(i) + "=" + std::to_string(i * 3) + "\n";
  text += "Long=" + std::string(1 << 20, 'x') + "\n[" + std::string(1 << 16, 's') + "]\nK=1\n";
  const ProfileFile file = ProfileFile::Parse(text);
  for (int i = 0; i < 5000; i += 499)
    EXPECT_EQ(file.Integer("points", "p" + std::to_string(i), -1), i * 3) << i;
  EXPECT_EQ(file.Value("Points", "Long")->size(), 1u << 20);
  EXPECT_EQ(file.Integer(std::string(1 << 16, 'S'), "k", 0), 1);
}

TEST(ProfileFile, MissingFileDoesNotLoad) {
  EXPECT_FALSE(ProfileFile::Load("/nonexistent/dir/file.ini"));
}

TEST(ParseDecimal, AcceptsWholeFiniteNumbersOnly) {
  EXPECT_EQ(ParseDecimal("1.5"), 1.5);
  EXPECT_EQ(ParseDecimal("-2"), -2.0);
  EXPECT_EQ(ParseDecimal("+3.25"), 3.25);
  EXPECT_EQ(ParseDecimal("1e3"), 1000.0);
  EXPECT_EQ(ParseDecimal(".5"), 0.5);
  for (const char* bad : {"", "abc", "1.5x", " 1", "inf", "nan", "+-1", "1e999", "+", "-"})
    EXPECT_FALSE(ParseDecimal(bad)) << bad;
}

}  // namespace
}  // namespace quorva
