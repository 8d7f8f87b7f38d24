#pragma once
// Starting other programs and documents.
#include <string>

namespace norvale {

class Shell {
 public:
  virtual ~Shell() = default;
  // Opens a document, folder or address with its associated program; false when
  // nothing could be started.
  virtual bool OpenDocument(const std::string& path_or_url) = 0;
  // Starts a command line ("explorer C:\\Program Files\\Norvale") in a normal,
  // focused window; false when it could not be started.
  virtual bool StartCommand(const std::string& command_line) = 0;
  // The system's folder picker owned by the active window; "" when cancelled.
  virtual std::string BrowseForFolder(const std::string& title) = 0;
};

}  // namespace norvale
