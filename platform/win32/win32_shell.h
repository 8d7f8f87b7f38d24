#pragma once
// Documents, command lines and the folder picker through the Windows shell.
#include <string>

#include "platform/shell.h"

namespace norvale {

class Win32Shell final : public Shell {
 public:
  Win32Shell() = default;

  // ShellExecuteW with the verb "open" and a normal window.
  bool OpenDocument(const std::string& path_or_url) override;
  // CreateProcessW; the program is found as the command line's first word.
  bool StartCommand(const std::string& command_line) override;
  // The folder dialog of IFileOpenDialog, or SHBrowseForFolderW where that is
  // not available; owned by the calling thread's active window.
  std::string BrowseForFolder(const std::string& title) override;
};

}  // namespace norvale
