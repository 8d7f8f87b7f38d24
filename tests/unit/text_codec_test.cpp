#include <gtest/gtest.h>

#include "platform/text_codec.h"

namespace norvale {
namespace {

TEST(Cp1252Codec, RoundTripsWesternTextAsOneBytePerCharacter) {
  const Cp1252Codec codec;
  const std::string text =
      "Z\xC3\xBCrich \xE2\x82\xAC 5 \xC3\x91 \xE2\x80\x9Cq\xE2\x80\x9D";  // Zürich € 5 Ñ “q”
  const std::string ansi = codec.Utf8ToAnsi(text);
  EXPECT_EQ("Z\xFCrich \x80 5 \xD1 \x93q\x94", ansi);
  EXPECT_EQ(text, codec.AnsiToUtf8(ansi));
}

TEST(Cp1252Codec, CharactersOutsideTheCodePageBecomeQuestionMarks) {
  const Cp1252Codec codec;
  EXPECT_EQ("a?b", codec.Utf8ToAnsi("a\xE4\xB8\xAD"
                                    "b"));  // U+4E2D
  EXPECT_EQ("a?b", codec.Utf8ToAnsi("a\xF0\x9F\x98\x80"
                                    "b"));  // an emoji
  EXPECT_EQ("a?b", codec.Utf8ToAnsi("a\xFF"
                                    "b"));  // not UTF-8 at all
}

TEST(Cp1252Codec, UnassignedBytesSurviveARoundTrip) {
  const Cp1252Codec codec;
  const std::string ansi = "\x81\x8D\x8F\x90\x9D";
  EXPECT_EQ(ansi, codec.Utf8ToAnsi(codec.AnsiToUtf8(ansi)));
}

}  // namespace
}  // namespace norvale
