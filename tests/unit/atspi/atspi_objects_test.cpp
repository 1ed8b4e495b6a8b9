// The AT-SPI service's pure parts: text D-Bus would refuse (libdbus ends
// the program on bad UTF-8), object paths from callers, state sets.
#include <gtest/gtest.h>

#include <string>

#include "access/atspi/atspi_objects.h"
#include "access/atspi/atspi_text.h"

namespace portico {
namespace {

struct Utf8Case {
  const char* Name;
  std::string In;
  std::string Out;
};
class ValidUtf8Test : public ::testing::TestWithParam<Utf8Case> {};

TEST_P(ValidUtf8Test, KeepsWellFormedTextAndReplacesTheRest) { EXPECT_EQ(ValidUtf8(GetParam().In), GetParam().Out); }

const std::string Replacement = "\xEF\xBF\xBD";
INSTANTIATE_TEST_SUITE_P(
    Cases, ValidUtf8Test,
    ::testing::Values(Utf8Case{"Ascii", "Install", "Install"},
                      Utf8Case{"MultiByte", "t\xC3\xA9st \xE2\x82\xAC \xF0\x9F\x98\x80", "t\xC3\xA9st \xE2\x82\xAC \xF0\x9F\x98\x80"},
                      Utf8Case{"Latin1", "t\xE9st", "t" + Replacement + "st"},
                      Utf8Case{"CutShort", "ab\xE2\x82", "ab" + Replacement + Replacement},
                      Utf8Case{"Overlong", "\xC0\xAF", Replacement + Replacement},
                      Utf8Case{"Surrogate", "\xED\xA0\x80", Replacement + Replacement + Replacement},
                      Utf8Case{"PastU10FFFF", "\xF4\x90\x80\x80x", Replacement + Replacement + Replacement + Replacement + "x"},
                      Utf8Case{"Nul", std::string("a\0b", 3), "ab"}),
    [](const ::testing::TestParamInfo<Utf8Case>& info) { return std::string(info.param.Name); });

TEST(Utf8SliceTest, CountsCharactersNotBytes) {
  const std::string text = "1.\xC3\xA9 x";
  EXPECT_EQ(Utf8Length(text), 5u);
  EXPECT_EQ(Utf8Slice(text, 0, -1), text);
  EXPECT_EQ(Utf8Slice(text, 2, 3), "\xC3\xA9");
  EXPECT_EQ(Utf8Slice(text, 3, 99), " x");
  EXPECT_EQ(Utf8Slice(text, 4, 2), "");
  EXPECT_EQ(Utf8Slice(text, -5, 1), "1");
}

TEST(AtspiObjectAtTest, EveryObjectHasOnePathAndMadeUpPathsNameNothing) {
  for (const AtspiObject& object : {AtspiObject{AtspiObject::Application, 0}, AtspiObject{AtspiObject::Frame, 0},
                                    AtspiObject{AtspiObject::Control, 0}, AtspiObject{AtspiObject::Control, 11}})
    EXPECT_EQ(AtspiObjectAt(AtspiPath(object), 12), object) << AtspiPath(object);
  for (const char* path : {"/org/a11y/atspi/accessible/control12", "/org/a11y/atspi/accessible/control01",
                           "/org/a11y/atspi/accessible/control", "/org/a11y/atspi/accessible/control-1",
                           "/org/a11y/atspi/accessible/control1x", "/org/a11y/atspi/accessible/control99999999999999999999",
                           "/org/a11y/atspi/accessible", "/org/a11y/atspi/accessible/rootx", "/org/a11y/atspi/null", ""})
    EXPECT_FALSE(AtspiObjectAt(path, 12)) << path;
}

TEST(AtspiStatesTest, ControlsAndFrame) {
  TAccessibleControl button;
  AtspiStateSet states = ControlStates(button, true);
  for (AtspiState s : {AtspiStateEnabled, AtspiStateSensitive, AtspiStateFocusable, AtspiStateFocused,
                       AtspiStateShowing, AtspiStateVisible})
    EXPECT_TRUE(HasState(states, s)) << s;
  EXPECT_FALSE(HasState(states, AtspiStateActive));

  TAccessibleControl label;
  label.Enabled = false;
  label.Focusable = false;
  states = ControlStates(label, false);
  for (AtspiState s : {AtspiStateEnabled, AtspiStateSensitive, AtspiStateFocusable, AtspiStateFocused})
    EXPECT_FALSE(HasState(states, s)) << s;
  EXPECT_TRUE(HasState(states, AtspiStateShowing));

  EXPECT_TRUE(HasState(FrameStates(true), AtspiStateActive));
  EXPECT_FALSE(HasState(FrameStates(false), AtspiStateActive));
  // AT-SPI's numbering: focused is bit 12 of the first word.
  EXPECT_EQ(ControlStates(label, true)[0] & (1u << 12), 1u << 12);
}

}  // namespace
}  // namespace portico
