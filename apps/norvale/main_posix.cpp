// Native build: prints the schedule list of the program's data folder (or of
// the folder given with --data) with every next run.
#include <cstdio>
#include <cstring>
#include <string>

#include "apps/norvale/listing.h"
#include "platform/posix/posix_services.h"

int main(int argc, char** argv) {
  using namespace norvale;
  PosixFileSystem fs;
  PosixClock clock;
  Cp1252Codec codec;
  const PatternLocale locale = PatternLocale::Iso();
  std::string folder = DataFolder(fs.ProgramFolder());
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--data") == 0 && i + 1 < argc) {
      folder = argv[++i];
      if (folder.back() != '/') folder += '/';
    } else {
      std::fprintf(stderr, "usage: %s [--data FOLDER]\n", argv[0]);
      return 2;
    }
  }
  const ScheduleStore store{fs, codec, folder};
  std::fputs(ScheduleListing(store, clock, locale).c_str(), stdout);
  return 0;
}
