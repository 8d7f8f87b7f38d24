#pragma once
// The real Windows services. Only this folder includes <windows.h>; callers see
// the portable interfaces.
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/locale.h"
#include "platform/msgbox.h"
#include "platform/text_codec.h"

namespace norvale {

class Win32Clock final : public Clock {
 public:
  LocalTime Now() const override;  // GetLocalTime
  UtcTime UtcNow() const override;
  std::chrono::milliseconds Monotonic() const override;  // GetTickCount64: sleep included
  // The zone's rules for the year of `t` (dynamic daylight saving), as the
  // desktop's own clock applies them.
  std::chrono::seconds OffsetAt(UtcTime t) const override;
};

// W functions throughout; names compared as Windows compares them.
class Win32FileSystem final : public FileSystem {
 public:
  std::vector<std::string> ListFiles(const std::string& folder,
                                     std::string_view pattern) const override;
  std::string ReadAll(const std::string& path) const override;
  void ReplaceWhole(const std::string& path, std::string_view bytes) override;
  void RemoveFile(const std::string& path) override;
  bool FolderExists(const std::string& path) const override;
  void CreateFolder(const std::string& path) override;
  bool FileExists(const std::string& path) const override;
  std::optional<uint64_t> FileSize(const std::string& path) const override;
  std::optional<FileStamp> Stamp(const std::string& path) const override;
  std::string ProgramFolder() const override;
  std::string LocalAppDataFolder() const override;  // FOLDERID_LocalAppData
};

// The user's locale: GetDateFormatEx / GetTimeFormatEx to write, VarDateFromStr to
// read, as the desktop's own date conversions do.
class Win32Locale final : public Locale {
 public:
  // Empty: the user's locale, followed as it changes. A name ("de-DE") pins that
  // locale instead; an unknown name throws std::invalid_argument.
  explicit Win32Locale(std::string locale_name = {});

  std::string ShortDate(Date date) const override;
  std::string LongTime(std::chrono::seconds time_of_day) const override;
  std::optional<Date> ParseDate(std::string_view text) const override;

 private:
  std::string locale_name_;
  mutable void* oleaut_ = nullptr;  // OLE Automation (an HMODULE), once a date needs it
};

// The ANSI code page (CP_ACP) of the desktop.
class AnsiCodec final : public TextCodec {
 public:
  std::string AnsiToUtf8(std::string_view ansi) const override;
  std::string Utf8ToAnsi(std::string_view utf8) const override;
};

class Win32MessageBoxes final : public MessageBoxes {
 public:
  MsgBoxResult MsgBox(const std::string& text, MsgBoxButtons buttons, MsgBoxIcon icon,
                      const std::string& title) override;
};

}  // namespace norvale
