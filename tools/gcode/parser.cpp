#include "gcode/parser.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <sstream>
#include <string>

#include "gcode/geometry.h"
#include "gcode/words.h"

namespace quorva::gcode {
namespace {

// G and M numbers compared in tenths: G90.1 is 901.
int Code(double value) {
  return static_cast<int>(std::lround(value * 10));
}

std::string Name(const Word& word) {
  return std::string(1, word.letter) + std::string(word.text);
}

enum class Motion { kNone, kRapid, kLine, kClockwise, kCounterClockwise };

struct IgnoredCode {
  char letter;
  int code;  // tenths; -1 for every value of the letter
  const char* reason;
};

constexpr IgnoredCode kIgnored[] = {
    {'M', 0, "program stop"},  {'M', 10, "optional stop"}, {'M', 30, "spindle"},
    {'M', 40, "spindle"},      {'M', 50, "spindle"},       {'M', 60, "tool change"},
    {'M', 70, "coolant"},      {'M', 80, "coolant"},       {'M', 90, "coolant"},
    {'S', -1, "spindle"},      {'T', -1, "tool change"},   {'O', -1, "program number"},
    {'H', -1, "tool offset"},  {'D', -1, "cutter offset"}, {'G', 400, "cutter offset"},
    {'G', 430, "tool offset"}, {'G', 490, "tool offset"},  {'G', 540, "work offset"},
    {'G', 610, "path mode"},   {'G', 640, "path mode"},    {'G', 800, "cycles cancelled"},
    {'G', 940, "feed mode"},   {'G', 980, "cycle return"}, {'G', 990, "cycle return"},
};

const IgnoredCode* FindIgnored(const Word& word) {
  const auto it = std::find_if(std::begin(kIgnored), std::end(kIgnored), [&](const IgnoredCode& c) {
    return c.letter == word.letter && (c.code < 0 || c.code == Code(word.value));
  });
  return it == std::end(kIgnored) ? nullptr : it;
}

// Why a G code cannot run, for the codes shops use most; nothing for a code that runs.
std::string Unsupported(int code) {
  char name[16];
  std::snprintf(name, sizeof name, "G%g", code / 10.0);
  const std::string g = name;
  if (code == 180 || code == 190) return g + ": only the XY plane (G17) runs";
  if (code == 280 || code == 281 || code == 300) return g + " (return to reference) cannot run";
  if ((code >= 810 && code <= 890) || code == 730 || code == 740 || code == 760) {
    return g + " is a canned cycle, which cannot run";
  }
  if (code == 410 || code == 420) return g + " (cutter compensation) cannot run";
  if (code == 930 || code == 950) return g + ": only feeds in units per minute (G94) run";
  if (code == 550 || code == 560 || code == 570 || code == 580 || code == 590) {
    return g + ": no work offsets other than G54";
  }
  return g + " is not supported";
}

class Interpreter {
 public:
  explicit Interpreter(const ParseOptions& options) : options_(options), position_(options.start) {
    program_.start = options.start;
  }

  // False once the program has ended (M2, M30).
  bool Block(std::string_view text, int line) {
    line_ = line;
    words_ = SplitWords(text, line);
    if (words_.empty()) return true;
    CheckRepeats();
    bool ends = false;
    std::optional<Motion> motion;
    bool dwell = false;
    // Modes first, so that units given on the line apply to its numbers wherever they stand.
    for (const Word& w : words_) {
      if (const IgnoredCode* ignored = FindIgnored(w)) {
        Ignore(w, *ignored);
      } else if (w.letter == 'G') {
        const int code = Code(w.value);
        if (code == 40) {
          dwell = true;
        } else if (const auto m = MotionOf(code)) {
          if (motion) Fail("two motion codes on one line");
          motion = *m;
        } else {
          Mode(code);
        }
      } else if (w.letter == 'M') {
        const int code = Code(w.value);
        if (code != 20 && code != 300) Fail(Name(w) + " is not supported");
        ends = true;
      }
    }
    for (const Word& w : words_) {
      if (w.letter == 'F') {
        if (!(w.value > 0)) Fail("F must be above 0");
        feed_ = ToMillimetres(w.value) / 60.0;
      } else if (std::string_view("GMSTOHDFNXYZIJKRP").find(w.letter) == std::string_view::npos) {
        const bool axis = std::string_view("ABCUVW").find(w.letter) != std::string_view::npos;
        Fail(std::string("word ") + w.letter +
             (axis ? ": only X, Y and Z move" : " is not supported"));
      }
    }
    if (motion) motion_ = *motion;
    if (dwell) {
      Dwell();
    } else {
      Move();
    }
    return !ends;
  }

  Program Finish() {
    program_.finalUnits = units_;
    return std::move(program_);
  }

 private:
  [[noreturn]] void Fail(const std::string& message) const { throw ProgramError(line_, message); }

  std::optional<double> Value(char letter) const {
    for (const Word& w : words_) {
      if (w.letter == letter) return w.value;
    }
    return std::nullopt;
  }
  bool Has(char letter) const { return Value(letter).has_value(); }
  bool HasAny(std::string_view letters) const {
    return std::any_of(letters.begin(), letters.end(), [&](char c) { return Has(c); });
  }

  void CheckRepeats() const {
    for (std::size_t i = 0; i < words_.size(); ++i) {
      if (words_[i].letter == 'G' || words_[i].letter == 'M') continue;
      for (std::size_t k = i + 1; k < words_.size(); ++k) {
        if (words_[k].letter == words_[i].letter) {
          Fail(std::string("two ") + words_[i].letter + " words on one line");
        }
      }
    }
  }

  static std::optional<Motion> MotionOf(int code) {
    switch (code) {
      case 0:
        return Motion::kRapid;
      case 10:
        return Motion::kLine;
      case 20:
        return Motion::kClockwise;
      case 30:
        return Motion::kCounterClockwise;
      default:
        return std::nullopt;
    }
  }

  void Mode(int code) {
    switch (code) {
      case 170:
        return;
      case 200:
        units_ = Units::kInches;
        return;
      case 210:
        units_ = Units::kMillimetres;
        return;
      case 900:
        absolute_ = true;
        return;
      case 910:
        absolute_ = false;
        return;
      case 901:
        absoluteCentres_ = true;
        return;
      case 911:
        absoluteCentres_ = false;
        return;
      default:
        Fail(Unsupported(code));
    }
  }

  void Ignore(const Word& word, const IgnoredCode& code) {
    const std::string name = code.code < 0 ? std::string(1, word.letter) : Name(word);
    const auto seen = std::find_if(program_.ignored.begin(), program_.ignored.end(),
                                   [&](const IgnoredWord& w) { return w.word == name; });
    if (seen == program_.ignored.end()) program_.ignored.push_back({name, code.reason, line_});
  }

  double ToMillimetres(double value) const {
    return units_ == Units::kInches ? value * kMillimetresPerInch : value;
  }

  // The coordinate of one axis after this block.
  double Target(char letter, double now) const {
    const auto value = Value(letter);
    if (!value) return now;
    return absolute_ ? ToMillimetres(*value) : now + ToMillimetres(*value);
  }

  void Dwell() {
    if (HasAny("XYZIJKR")) Fail("G4 takes P and no coordinates");
    const auto p = Value('P');
    if (!p || *p < 0) Fail("G4 needs P, 0 or more");
    Step step;
    step.kind = Step::Kind::kDwell;
    step.line = line_;
    step.to = position_;
    step.seconds = options_.dwellInMilliseconds ? *p / 1000 : *p;
    program_.steps.push_back(step);
  }

  void Move() {
    const bool arcWords = HasAny("IJR");
    if (Has('K')) Fail("K belongs to another plane than XY");
    if (Has('P') && !HasPathMode()) Fail("P without G4");
    if (!HasAny("XYZ") && !arcWords) return;
    if (motion_ == Motion::kNone) Fail("coordinates without a motion mode (G0, G1, G2 or G3)");
    const bool arc = motion_ == Motion::kClockwise || motion_ == Motion::kCounterClockwise;
    if (arcWords && !arc) Fail("I, J or R without G2 or G3");
    if (motion_ != Motion::kRapid && feed_ <= 0) Fail("no feed rate: give F before G1, G2, G3");
    Step step;
    step.kind = motion_ == Motion::kRapid ? Step::Kind::kRapid : Step::Kind::kLine;
    step.line = line_;
    step.to = {Target('X', position_.x), Target('Y', position_.y), Target('Z', position_.z)};
    step.feed = feed_;
    if (arc) ResolveArc(step);
    program_.steps.push_back(step);
    position_ = step.to;
  }

  bool HasPathMode() const {
    return std::any_of(words_.begin(), words_.end(),
                       [](const Word& w) { return w.letter == 'G' && Code(w.value) == 640; });
  }

  void ResolveArc(Step& step) const {
    step.kind = Step::Kind::kArc;
    step.clockwise = motion_ == Motion::kClockwise;
    // Points closer than this meet; it allows for the rounding of programs in inches.
    constexpr double kTolerance = 0.002;
    if (const auto r = Value('R')) {
      if (Has('I') || Has('J')) Fail("an arc takes R or I and J, not both");
      const auto centre =
          CentreFromRadius(position_, step.to, ToMillimetres(*r), step.clockwise, kTolerance);
      if (!centre) {
        Fail(PlaneDistance(position_, step.to) == 0
                 ? "an R arc needs an end point away from its start"
                 : "the end point lies further away than the diameter");
      }
      step.centre = *centre;
      return;
    }
    if (!Has('I') && !Has('J')) Fail("an arc needs I and J, or R");
    const double i = ToMillimetres(Value('I').value_or(0));
    const double j = ToMillimetres(Value('J').value_or(0));
    step.centre = absoluteCentres_ ? Vec3{i, j, 0} : Vec3{position_.x + i, position_.y + j, 0};
    const double r1 = PlaneDistance(step.centre, position_);
    const double r2 = PlaneDistance(step.centre, step.to);
    if (r1 == 0) Fail("the arc's centre is its start point");
    if (std::abs(r1 - r2) > std::max(kTolerance, r1 * 1e-4)) {
      char text[120];
      std::snprintf(text, sizeof text,
                    "the end point is not on the circle (radius %.4f at the start, %.4f at the "
                    "end)",
                    r1, r2);
      Fail(text);
    }
  }

  ParseOptions options_;
  Program program_;
  std::vector<Word> words_;
  int line_ = 0;
  Vec3 position_;
  Motion motion_ = Motion::kNone;
  Units units_ = Units::kMillimetres;
  bool absolute_ = true;
  bool absoluteCentres_ = false;
  double feed_ = 0;  // mm per second
};

}  // namespace

Program ParseProgram(std::string_view text, const ParseOptions& options) {
  Interpreter interpreter(options);
  std::istringstream lines{std::string(text)};
  int number = 0;
  for (std::string line; std::getline(lines, line);) {
    if (!interpreter.Block(line, ++number)) break;
  }
  return interpreter.Finish();
}

double Program::NominalSeconds(double rapidSpeed) const {
  double seconds = 0;
  Vec3 at = start;
  for (const Step& step : steps) {
    switch (step.kind) {
      case Step::Kind::kDwell:
        seconds += step.seconds;
        break;
      case Step::Kind::kRapid:
        seconds += Distance(at, step.to) / rapidSpeed;
        break;
      case Step::Kind::kLine:
        seconds += Distance(at, step.to) / step.feed;
        break;
      case Step::Kind::kArc:
        // Along the helix when Z moves with the arc.
        seconds += std::hypot(PlaneDistance(step.centre, at) *
                                  Sweep(at, step.to, step.centre, step.clockwise),
                              step.to.z - at.z) /
                   step.feed;
        break;
    }
    at = step.to;
  }
  return seconds;
}

}  // namespace quorva::gcode
