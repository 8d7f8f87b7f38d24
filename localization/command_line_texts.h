#pragma once
// The keys and English texts Norvale.exe's command line speaks: registered in
// the catalogue with the windows' messages, and read by a copy that only hands
// a request on.
#include <vector>

namespace norvale {

struct CommandLineMessage {
  const char* key;
  const char* english;
};
const std::vector<CommandLineMessage>& CommandLineMessages();

}  // namespace norvale
