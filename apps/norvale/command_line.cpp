#include "apps/norvale/command_line.h"

#include "platform/path.h"

namespace norvale {

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
  CommandLine cl;
  for (const std::string& a : args) {
    if (EqualsIgnoringCase(a, "/dryrun") || EqualsIgnoringCase(a, "-dryrun") ||
        EqualsIgnoringCase(a, "--dry-run")) {
      cl.dry_run = true;
    } else if (EqualsIgnoringCase(a, "/writelocalization") ||
               EqualsIgnoringCase(a, "-writelocalization") ||
               EqualsIgnoringCase(a, "--write-localization")) {
      cl.write_localization = true;
    } else if (a.size() > 6 && EqualsIgnoringCase(std::string_view(a).substr(0, 6), "/show:")) {
      cl.show_window = a.substr(6);
    } else if (!a.empty()) {
      cl.unknown.push_back(a);
    }
  }
  return cl;
}

std::vector<std::string> SplitCommandLine(const std::string& line) {
  std::vector<std::string> out;
  std::string current;
  bool quoted = false, any = false;
  for (char c : line) {
    if (c == '"') {
      quoted = !quoted;
      any = true;
    } else if ((c == ' ' || c == '\t') && !quoted) {
      if (any) out.push_back(current);
      current.clear();
      any = false;
    } else {
      current += c;
      any = true;
    }
  }
  if (any) out.push_back(current);
  return out;
}

}  // namespace norvale
