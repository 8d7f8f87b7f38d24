#pragma once
// Doubles and helpers of the localization tests.
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "appearance/branding.h"
#include "localization/cls_languages.h"
#include "platform/forms/form.h"
#include "platform/http_client.h"
#include "platform/shell.h"
#include "platform/system_info.h"
#include "tests/fakes/fake_toolkit.h"

namespace norvale::loctest {

// Answers every GET with a script: the body in pieces, or a failure.
class ScriptedHttp final : public HttpClient {
 public:
  std::optional<std::string> body;  // nullopt: the transfer fails
  size_t piece = 256;
  bool throws = false;
  std::function<void()> on_piece;  // runs before each piece is delivered
  std::vector<std::string> urls;

  std::optional<std::string> Get(const std::string& url,
                                 const std::function<void()>& between_pieces) override {
    urls.push_back(url);
    if (throws) throw std::runtime_error("no connection");
    if (!body) return std::nullopt;
    std::string got;
    for (size_t at = 0; at < body->size(); at += piece) {
      if (on_piece) on_piece();
      got += body->substr(at, piece);
      between_pieces();
    }
    return got;
  }
};

class RecordingShell final : public Shell {
 public:
  std::vector<std::string> opened;
  bool OpenDocument(const std::string& path) override {
    opened.push_back(path);
    return true;
  }
  bool StartCommand(const std::string&) override { return true; }
  std::string BrowseForFolder(const std::string&) override { return {}; }
};

class FixedSystemInfo final : public SystemInfo {
 public:
  VersionInfo info;
  std::optional<OsVersion> Version() const override { return OsVersion{2, 10, 0}; }
  VersionInfo ProgramVersion() const override { return info; }
  std::string ExeName() const override { return "Norvale"; }
};

// Counts repaints of the control it is attached to.
class CountingPeer final : public ControlPeer {
 public:
  explicit CountingPeer(int& refreshes) : refreshes_(refreshes) {}
  void Changed(Prop) override {}
  void Refresh() override { ++refreshes_; }

 private:
  int& refreshes_;
};

// A window whose layout the test writes.
class LayoutForm : public Form {
 public:
  LayoutForm(Toolkit& kit, std::string name, std::function<void(LayoutForm&)> layout)
      : Form(kit, std::move(name)), layout_(std::move(layout)) {}

 protected:
  void BuildLayout() override { layout_(*this); }

 private:
  std::function<void(LayoutForm&)> layout_;
};

struct Group {
  std::string name;
  std::vector<std::string> items;  // "<KEY>text</KEY>"
};

// A localization file laid out as the generator lays it out.
inline std::string FileWith(const std::vector<Group>& groups) {
  std::string f = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<XML_DIZ_INFO>\r\n";
  for (const Group& g : groups) {
    f += "<LANGUAGE_GROUP xml:lang=\"xx\">\r\n\t<LANGUAGE_NAME>" + g.name +
         "</LANGUAGE_NAME>\r\n\t<TRANSLATION_ITEMS>\r\n";
    for (const std::string& item : g.items) f += "\t\t" + item + "\r\n";
    f += "\t</TRANSLATION_ITEMS>\r\n</LANGUAGE_GROUP>\r\n";
  }
  return f + "</XML_DIZ_INFO>\r\n";
}

// The program's branding and one catalogue over an in-memory program folder.
struct LanguageSetup {
  fakes::FakeClock clock{fakes::FakeClock::At(2026, 12, 4, 10, 0)};
  fakes::FakeToolkit kit{clock};
  fakes::MemoryFileSystem fs;
  Branding branding{"Norvale", "Norvale Labs", "www.norvale.example", 25, true};
  std::string current_language = "English";
  clsLanguages lang{fs, branding, current_language};

  void PutFile(const std::string& text) { fs.Put(lang.FilePath(), text); }
};

// The localization file shipped in the source tree, built into the tests.
std::string ShippedLocalizationFile();

}  // namespace norvale::loctest
