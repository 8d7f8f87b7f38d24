#include "settings/settings_store.h"

namespace norvale {

std::string Trim(const std::string& text) {
  const size_t b = text.find_first_not_of(' ');
  if (b == std::string::npos) return {};
  const size_t e = text.find_last_not_of(' ');
  return text.substr(b, e - b + 1);
}

std::string SettingsStore::MachineKeyPath(const std::string& program,
                                          const std::string& section) const {
  return "SOFTWARE\\" + Trim(company_) + "\\" + Trim(program) + "\\" + Trim(section);
}

std::string SettingsStore::PermissionDeniedText(const std::string& product) {
  return product +
         " requires read/write access to the system registry and hard drive in order to run "
         "properly.  This user account does not have the proper permissions set.  As a result "
         "some or all of your settings may not be properly saved.  Please contact your system "
         "administrator or change the permission settings for this account.\r\n\r\nIf you would "
         "like to prevent this error message from being displayed again, please press 'Ignore'.";
}

bool SettingsStore::AskAfterFailure() {
  if (StartHidden ||
      GetUserSetting(product_, "Settings", "IgnorePermissionDeniedError", "0") == "1") {
    return false;
  }
  switch (boxes_.MsgBox(PermissionDeniedText(product_), MsgBoxButtons::AbortRetryIgnore,
                        MsgBoxIcon::Exclamation, "Permission Denied")) {
    case MsgBoxResult::Retry:
      return true;
    case MsgBoxResult::Ignore:
      SaveUserSetting(product_, "Settings", "IgnorePermissionDeniedError", "1");
      return false;
    default:
      return false;
  }
}

void SettingsStore::WriteSetting(const std::string& program, const std::string& section,
                                 const std::string& key, const std::string& value) {
  const std::string path = MachineKeyPath(program, section);
  for (;;) {
    if (registry_.CreateKey(RegRoot::LocalMachine, path) == kRegOk &&
        registry_.SetString(RegRoot::LocalMachine, path, key, value) == kRegOk) {
      // A copy kept for this user while the key was closed would hide the new value.
      const std::string user = UserKeyPath(Trim(program), Trim(section));
      RegValue kept;
      if (registry_.QueryValue(RegRoot::CurrentUser, user, key, kept) == kRegOk) {
        registry_.DeleteValue(RegRoot::CurrentUser, user, key);
      }
      return;
    }
    // A standard user (or a portable copy) cannot write there: the preference
    // is kept for this user, where ReadSetting looks first.
    if (SaveUser(program, section, key, value)) return;
    if (!AskAfterFailure()) return;
  }
}

std::string SettingsStore::ReadSetting(const std::string& program, const std::string& section,
                                       const std::string& key,
                                       const std::string& default_value) const {
  if (Trim(program).empty()) throw SettingsError(kErrAppNameEmpty, "AppName may not be empty");
  if (Trim(section).empty()) throw SettingsError(kErrSectionEmpty, "Section may not be empty");
  if (Trim(key).empty()) throw SettingsError(kErrKeyEmpty, "Key may not be empty");
  RegValue kept;
  if (registry_.QueryValue(RegRoot::CurrentUser, UserKeyPath(Trim(program), Trim(section)), key,
                           kept) == kRegOk &&
      (kept.type == kRegSz || kept.type == kRegExpandSz)) {
    return kept.data;
  }
  const std::string path = MachineKeyPath(program, section);
  const long opened = registry_.OpenKey(RegRoot::LocalMachine, path);
  if (opened == kRegNotFound) return default_value;
  if (opened != kRegOk) {
    throw SettingsError(kErrRegistryBase + static_cast<int32_t>(opened),
                        "Could not open registry section");
  }
  RegValue value;
  if (registry_.QueryValue(RegRoot::LocalMachine, path, key, value) != kRegOk) return default_value;
  if (value.type != kRegSz) {
    throw SettingsError(kErrRegistryBase + static_cast<int32_t>(value.type),
                        "Registry data not a string");
  }
  return value.data;
}

std::string SettingsStore::UserKeyPath(const std::string& app, const std::string& section) {
  return std::string(kPerUserRoot) + "\\" + app + "\\" + section;
}

bool SettingsStore::SaveUser(const std::string& app, const std::string& section,
                             const std::string& key, const std::string& value) {
  const std::string path = UserKeyPath(app, section);
  return registry_.CreateKey(RegRoot::CurrentUser, path) == kRegOk &&
         registry_.SetString(RegRoot::CurrentUser, path, key, value) == kRegOk;
}

void SettingsStore::SaveUserSetting(const std::string& app, const std::string& section,
                                    const std::string& key, const std::string& value) {
  SaveUser(app, section, key, value);
}

std::string SettingsStore::GetUserSetting(const std::string& app, const std::string& section,
                                          const std::string& key,
                                          const std::string& default_value) const {
  const std::string path = UserKeyPath(app, section);
  RegValue value;
  if (registry_.QueryValue(RegRoot::CurrentUser, path, key, value) != kRegOk) return default_value;
  if (value.type != kRegSz && value.type != kRegExpandSz) return default_value;
  return value.data;
}

bool SettingsStore::WriteSecret(const std::string& key, const std::string& secret) {
  if (!secrets_) return false;
  const std::string path = UserKeyPath(product_, "Settings");
  bool kept = false;
  if (secret.empty()) {
    const long rc = registry_.DeleteValue(RegRoot::CurrentUser, path, key);
    kept = rc == kRegOk || rc == kRegNotFound;
  } else if (const auto bytes = secrets_->Protect(secret)) {
    kept = registry_.CreateKey(RegRoot::CurrentUser, path) == kRegOk &&
           registry_.SetBinary(RegRoot::CurrentUser, path, key, *bytes) == kRegOk;
  }
  // An older version's copy, readable by every user, must not outlive it.
  if (kept) registry_.DeleteValue(RegRoot::LocalMachine, MachineKeyPath(product_, "Settings"), key);
  return kept;
}

std::string SettingsStore::ReadSecret(const std::string& key, const TextCodec& codec) {
  if (!secrets_) return {};
  const std::string path = UserKeyPath(product_, "Settings");
  const std::string machine_path = MachineKeyPath(product_, "Settings");
  RegValue mine;
  const bool have_mine = registry_.QueryValue(RegRoot::CurrentUser, path, key, mine) == kRegOk;
  if (have_mine && mine.type == kRegBinary) {
    RegValue old;
    if (registry_.QueryValue(RegRoot::LocalMachine, machine_path, key, old) == kRegOk) {
      registry_.DeleteValue(RegRoot::LocalMachine, machine_path, key);
    }
    return secrets_->Unprotect(mine.data).value_or("");
  }
  // The per-user copy was written after the machine-wide key refused, so it is
  // the newer of the two.
  RegValue old;
  if (have_mine && mine.type == kRegSz) {
    old = mine;
  } else if (registry_.QueryValue(RegRoot::LocalMachine, machine_path, key, old) != kRegOk ||
             old.type != kRegSz) {
    return {};
  }
  const std::string secret = ScrambleText(old.data, codec);
  WriteSecret(key, secret);
  return secret;
}

std::string ScrambleText(std::string_view text, const TextCodec& codec) {
  std::string bytes = codec.Utf8ToAnsi(text);
  for (char& ch : bytes) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 128) {
      ch = static_cast<char>(c + 128);
    } else if (c > 128) {
      ch = static_cast<char>(c - 128);
    }
  }
  return codec.AnsiToUtf8(bytes);
}

}  // namespace norvale
