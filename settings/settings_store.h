#pragma once
// Preferences as text values in the registry: machine-wide under
// HKLM\SOFTWARE\<company>\<program>\<section>, per user where programs of this
// kind have always kept theirs, HKCU\Software\VB and VBA Program Settings.
#include <stdexcept>
#include <string>

#include "platform/msgbox.h"
#include "platform/registry.h"
#include "platform/secret_protector.h"
#include "platform/text_codec.h"

namespace norvale {

// A ReadSetting failure: the number and description users of such programs know.
class SettingsError : public std::runtime_error {
 public:
  SettingsError(int32_t number, const std::string& description)
      : std::runtime_error(description), number_(number) {}
  int32_t number() const { return number_; }
  std::string description() const { return what(); }

 private:
  int32_t number_;
};

inline constexpr int32_t kErrAppNameEmpty = static_cast<int32_t>(0x800403E8);
inline constexpr int32_t kErrSectionEmpty = static_cast<int32_t>(0x800403E9);
inline constexpr int32_t kErrKeyEmpty = static_cast<int32_t>(0x800403EA);
inline constexpr int32_t kErrRegistryBase = static_cast<int32_t>(0x800407D0);

inline constexpr const char* kPerUserRoot = "Software\\VB and VBA Program Settings";

class SettingsStore {
 public:
  // Without `secrets`, no password is kept at all.
  SettingsStore(Registry& registry, MessageBoxes& boxes, std::string company_name,
                std::string product_name, const SecretProtector* secrets = nullptr)
      : registry_(registry),
        boxes_(boxes),
        company_(std::move(company_name)),
        product_(std::move(product_name)),
        secrets_(secrets) {}

  // Never reports failure. Where the machine-wide key refuses the write, the
  // value is kept in the per-user store; only when that fails too does the
  // "Permission Denied" dialog come, unless silenced or the program started hidden.
  void WriteSetting(const std::string& program, const std::string& section, const std::string& key,
                    const std::string& value);
  // A value kept for this user wins over the machine-wide one. Throws SettingsError.
  std::string ReadSetting(const std::string& program, const std::string& section,
                          const std::string& key, const std::string& default_value) const;
  void SaveUserSetting(const std::string& app, const std::string& section, const std::string& key,
                       const std::string& value);
  std::string GetUserSetting(const std::string& app, const std::string& section,
                             const std::string& key, const std::string& default_value) const;

  // The passwords of the preferences, never machine-wide: each user's own, in
  // the per-user key as protected bytes only that user can read. Writing the
  // empty text removes it. False when nothing could be kept.
  bool WriteSecret(const std::string& key, const std::string& secret);
  // The password, or empty. A scrambled value of an older version (machine-wide,
  // or kept for this user where that key refused) is moved in on the first read
  // and the machine-wide one removed; `codec` is the code page it was kept in.
  std::string ReadSecret(const std::string& key, const TextCodec& codec);

  // Set while the main window starts hidden: the store stays silent.
  bool StartHidden = false;

  std::string MachineKeyPath(const std::string& program, const std::string& section) const;
  static std::string PermissionDeniedText(const std::string& product_name);
  const std::string& ProductName() const { return product_; }
  const std::string& CompanyName() const { return company_; }

 private:
  static std::string UserKeyPath(const std::string& app, const std::string& section);
  bool SaveUser(const std::string& app, const std::string& section, const std::string& key,
                const std::string& value);
  // True when the user asked to retry.
  bool AskAfterFailure();

  Registry& registry_;
  MessageBoxes& boxes_;
  std::string company_;
  std::string product_;
  const SecretProtector* secrets_;
};

std::string Trim(const std::string& text);

// The form older versions kept passwords in: codes below 128 move up by 128,
// codes above 128 down by 128 (128 itself stays), in the ANSI code page. Its
// own inverse, and no protection at all.
std::string ScrambleText(std::string_view text, const TextCodec& codec);

}  // namespace norvale
