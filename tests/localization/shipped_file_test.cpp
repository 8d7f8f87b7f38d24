// The Localization.txt shipped with the program: its English group is what the
// generator writes from the program's windows, and every other language
// translates every one of those items.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>

#include "apps/norvale/program.h"
#include "localization/frm_language.h"
#include "localization/lang_text.h"
#include "localization/language_file.h"
#include "localization/mod_languages.h"
#include "platform/case_fold.h"
#include "platform/path.h"
#include "tests/fakes/fake_toolkit.h"
#include "tests/fakes/memory_registry.h"
#include "tests/localization/loc_fakes.h"

namespace norvale {
namespace {

using loctest::ShippedLocalizationFile;

// Placeholders: the branding ones ignoring case, every "{name}" exactly; and
// access-key markers ("&&" shows a plain "&").
std::map<std::string, int> Markers(std::string_view text) {
  std::map<std::string, int> found;
  for (const char* p : {"[ProgramName]", "[CompanyName]", "[Website]"}) {
    for (auto at = FindIgnoringCase(text, p); at; at = FindIgnoringCase(text, p, at->end)) {
      ++found[p];
    }
  }
  for (size_t at = text.find('{'); at != std::string_view::npos; at = text.find('{', at + 1)) {
    const size_t end = text.find('}', at);
    ++found[std::string(text.substr(at, end == std::string_view::npos ? 1 : end - at + 1))];
  }
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '&') continue;
    if (i + 1 < text.size() && text[i + 1] == '&') {
      ++i;
    } else {
      ++found["&"];
    }
  }
  return found;
}

// The keys of an item block in order, from lines "<KEY>text</KEY>".
std::vector<std::string> Keys(std::string_view block) {
  std::vector<std::string> keys;
  for (std::string_view line : ItemLines(block)) {
    const size_t lt = line.find('<');
    const size_t gt = line.find('>');
    if (lt == std::string_view::npos || gt == std::string_view::npos || gt < lt) continue;
    keys.emplace_back(line.substr(lt + 1, gt - lt - 1));
  }
  return keys;
}

// The whole program over doubles, so every window it has is generated exactly
// as the maintenance switch writes them.
struct ProgramWindows {
  fakes::FakeClock clock{fakes::FakeClock::At(2026, 12, 4, 10, 0)};
  fakes::FakeToolkit kit{clock};
  fakes::MemoryFileSystem fs{"C:\\Program Files\\Norvale"};
  Cp1252Codec codec;
  PatternLocale locale = PatternLocale::Iso();
  fakes::MemoryRegistry registry;
  fakes::RecordingPowerControl power;
  fakes::FakeShell shell;
  fakes::FakeSystemInfo system;
  loctest::ScriptedHttp http;
  NorvaleProgram program{
      {kit, fs, codec, locale, registry, power, shell, system, http, [] { return false; }}, {}};

  std::string Generate() {
    kit.OnModal("frmLanguage", [](Form& f) { f.Unload(); });
    if (!program.Languages().makeLocalizationFile(program.LoadAllWindows())) return {};
    return fs.Get(program.Languages().FilePath()).value_or("");
  }
};

TEST(ShippedFileTest, IsWellFormedUtf8WithCrLfLinesAndUniqueLanguages) {
  const std::string file = ShippedLocalizationFile();
  ASSERT_FALSE(file.empty());
  EXPECT_EQ(file, DecodeUtf8(file));
  for (size_t i = file.find('\n'); i != std::string::npos; i = file.find('\n', i + 1)) {
    ASSERT_TRUE(i > 0 && file[i - 1] == '\r') << "bare line feed at byte " << i;
  }
  EXPECT_TRUE(LooksLikeLocalizationFile(file));
  const std::vector<std::string> names = ListLanguageNames(file);
  ASSERT_GE(names.size(), 3u);
  EXPECT_EQ("English", names[0]);
  bool non_latin = false;
  for (size_t i = 0; i < names.size(); ++i) {
    for (size_t j = 0; j < i; ++j) EXPECT_FALSE(EqualsIgnoringCase(names[i], names[j])) << names[i];
    // Scripts from Greek on (U+0370 and up) begin with a lead byte of 0xCD or more.
    non_latin = non_latin || static_cast<unsigned char>(names[i][0]) >= 0xCD;
  }
  EXPECT_TRUE(non_latin);
}

TEST(ShippedFileTest, TheEnglishGroupIsWhatTheGeneratorWritesFromTheWindows) {
  ProgramWindows program;
  std::string generated = program.Generate();
  // For a developer after a window changed: NORVALE_WRITE_ENGLISH_GROUP=<file> writes
  // the generated file there, to merge into localization/Localization.txt.
  if (const char* out = std::getenv("NORVALE_WRITE_ENGLISH_GROUP")) {
    std::FILE* f = std::fopen(out, "wb");
    if (f) {
      std::fwrite(generated.data(), 1, generated.size(), f);
      std::fclose(f);
    }
  }
  const std::string root_end = "</XML_DIZ_INFO>\r\n";
  ASSERT_TRUE(generated.ends_with(root_end));
  generated.resize(generated.size() - root_end.size());

  const std::string file = ShippedLocalizationFile();
  EXPECT_EQ(generated, file.substr(0, generated.size()))
      << "regenerate the English group of localization/Localization.txt";
  EXPECT_TRUE(file.ends_with(root_end));
}

TEST(ShippedFileTest, EveryLanguageTranslatesEveryEnglishItemKeepingItsMarkers) {
  const std::string file = ShippedLocalizationFile();
  const std::string english = FindTranslationItems(file, "English").value();
  const std::vector<std::string> keys = Keys(english);
  ASSERT_GT(keys.size(), 18u);
  for (const std::string& name : ListLanguageNames(file)) {
    const auto block = FindTranslationItems(file, name);
    ASSERT_TRUE(block) << name;
    EXPECT_EQ(keys, Keys(*block)) << name << ": same items in the same order";
    for (const std::string& key : keys) {
      const std::string source = FindItem(english, key);
      const std::string text = FindItem(*block, key);
      // Hidden template labels have no text in any language.
      EXPECT_EQ(source.empty(), text.empty()) << name << " " << key;
      EXPECT_EQ(Markers(source), Markers(text)) << name << " " << key << ": " << text;
    }
  }
}

// "Logging is off" names the check box that turns it on, as that language shows it.
TEST(ShippedFileTest, TheHistoryQuotesTheLoggingCheckBoxCaptionOfItsLanguage) {
  const std::string file = ShippedLocalizationFile();
  for (const std::string& name : ListLanguageNames(file)) {
    const std::string block = FindTranslationItems(file, name).value();
    std::string caption = FindItem(block, "FRMOPTIONS_CHKLOG");
    if (const size_t key = caption.find("(&"); key != std::string::npos) {
      caption.erase(key, caption.find(')', key) + 1 - key);  // "(&L)" after Japanese text
    }
    std::erase(caption, '&');
    ASSERT_FALSE(caption.empty()) << name;
    EXPECT_NE(std::string::npos, FindItem(block, "MSG_HISTORYOFF").find(caption))
        << name << ": " << caption;
  }
}

}  // namespace
}  // namespace norvale
