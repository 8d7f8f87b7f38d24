#include <gtest/gtest.h>

#include <string>

#include "schedule/schedule_name.h"

namespace norvale {
namespace {

TEST(ScheduleName, OrdinaryNamesAreAccepted) {
  for (const char* name :
       {"Night", "a.b", "Shut down at 22.30", " leading blank", "Z\xC3\xBCrich", "CONFIG", "COM10",
        "LPT", "console.txt", "NULL", "..a", "x.y.z", "\xE4\xB8\xAD\xE6\x96\x87"}) {
    EXPECT_EQ(std::nullopt, CheckScheduleName(name)) << name;
  }
}

TEST(ScheduleName, PathCharactersAreRefused) {
  for (const char* name :
       {"..\\x", "a\\b", "a/b", "../x", "C:x", "a*", "a?", "a\"b", "a<b", "a>b", "a|b"}) {
    EXPECT_EQ(NameProblem::ReservedCharacter, CheckScheduleName(name)) << name;
  }
}

TEST(ScheduleName, DeviceNamesAreRefusedWithOrWithoutExtension) {
  for (const char* name : {"CON", "con", "PRN", "AUX", "NUL", "nul.txt", "COM1", "com9.sch", "LPT1",
                           "lpt0", "CON .txt", "COM\xC2\xB9", "CONIN$", "conout$.log"}) {
    EXPECT_EQ(NameProblem::ReservedDeviceName, CheckScheduleName(name)) << name;
  }
}

TEST(ScheduleName, TrailingDotsAndBlanksAreRefused) {
  for (const char* name : {"x.", "x ", ".", "..", "x. "}) {
    EXPECT_EQ(NameProblem::TrailingDotOrBlank, CheckScheduleName(name)) << name;
  }
}

TEST(ScheduleName, ControlCharactersAndBrokenTextAreRefused) {
  EXPECT_EQ(NameProblem::ControlCharacter, CheckScheduleName("a\tb"));
  EXPECT_EQ(NameProblem::ControlCharacter, CheckScheduleName(std::string("a\0b", 3)));
  EXPECT_EQ(NameProblem::ControlCharacter, CheckScheduleName("a\x7F"));
  EXPECT_EQ(NameProblem::NotText, CheckScheduleName("a\xFF"));
  EXPECT_EQ(NameProblem::NotText, CheckScheduleName("\xC0\xAF"));      // overlong "/"
  EXPECT_EQ(NameProblem::NotText, CheckScheduleName("\xED\xA0\x80"));  // a lone surrogate
  EXPECT_EQ(NameProblem::Empty, CheckScheduleName(""));
}

TEST(ScheduleName, LengthCountsUtf16UnitsUpToTheFileNameLimit) {
  EXPECT_EQ(std::nullopt, CheckScheduleName(std::string(251, 'a')));
  EXPECT_EQ(NameProblem::TooLong, CheckScheduleName(std::string(252, 'a')));
  std::string emoji;  // two UTF-16 units each
  for (int i = 0; i < 126; ++i) emoji += "\xF0\x9F\x98\x80";
  EXPECT_EQ(NameProblem::TooLong, CheckScheduleName(emoji));
  emoji.resize(125 * 4);
  EXPECT_EQ(std::nullopt, CheckScheduleName(emoji));
}

}  // namespace
}  // namespace norvale
