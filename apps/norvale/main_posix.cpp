// Native build: prints the schedule list of the program's data folder (or of
// the folder given with --data) with every next run, as Norvale.exe /list does,
// in English or the --language of the localization file beside the program (or
// --localization FILE), in UTF-8; or, with "simulate", runs the whole program
// over a virtual clock and prints what it would perform.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "apps/norvale/listing.h"
#include "apps/norvale/program.h"
#include "apps/norvale/simulate.h"
#include "localization/language_file.h"
#include "platform/path.h"
#include "platform/posix/posix_services.h"
#include "platform/posix/posix_time_zone.h"

namespace {

constexpr const char* kUsage =
    "usage: norvale [--data FOLDER] [--language NAME] [--localization FILE]\n"
    "       norvale simulate --data FOLDER --from T --to T [--tz ZONE] [--date-form iso|us|de]\n"
    "                        [--warning SECONDS] [--sleep T/T]... [--set-clock T/T]...\n"
    "                        [--events FILE]\n";

int Simulate(const std::vector<std::string>& args) {
  using namespace norvale;
  std::string error;
  auto plan = ParseSimulationArgs(args, error);
  if (!plan) {
    std::fprintf(stderr, "norvale simulate: %s\n", error.c_str());
    return 2;
  }
  std::unique_ptr<PosixTimeZone> zone;
  if (plan->zone != "UTC") {
    zone = PosixTimeZone::Open(plan->zone);
    if (!zone) {
      std::fprintf(stderr,
                   "norvale simulate: --tz %s: no such time zone in the system's zone data\n",
                   plan->zone.c_str());
      return 2;
    }
  }
  PosixFileSystem fs;
  if (!plan->events_file.empty()) {
    std::string text;
    try {
      text = fs.ReadAll(plan->events_file);
    } catch (const FileError& e) {
      std::fprintf(stderr, "norvale simulate: --events %s: %s\n", plan->events_file.c_str(),
                   e.what());
      return 2;
    }
    if (!ParseSimulationEvents(text, *plan, error)) {
      std::fprintf(stderr, "norvale simulate: %s\n", error.c_str());
      return 2;
    }
  }
  if (!fs.FolderExists(plan->data_folder)) {
    std::fprintf(stderr, "norvale simulate: --data %s: no such folder\n",
                 plan->data_folder.c_str());
    return 2;
  }
  ScheduleFiles files;
  try {
    for (const std::string& name : fs.ListFiles(plan->data_folder, "*.sch")) {
      try {
        files[name] = fs.ReadAll(JoinPath(plan->data_folder, name));
      } catch (const FileError&) {
        // Left out of the copy, it is listed as unreadable, as the program lists it.
        files[name];
      }
    }
  } catch (const FileError& e) {
    std::fprintf(stderr, "norvale simulate: %s\n", e.what());
    return 2;
  }
  RunSimulation(
      *plan, files, zone.get(), [](const std::string& line) { std::printf("%s\n", line.c_str()); },
      [](const std::string& note) { std::fprintf(stderr, "%s\n", note.c_str()); });
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace norvale;
  if (argc > 1 && std::strcmp(argv[1], "simulate") == 0) {
    return Simulate(std::vector<std::string>(argv + 2, argv + argc));
  }
  PosixFileSystem fs;
  PosixClock clock;
  Cp1252Codec codec;
  const PatternLocale locale = PatternLocale::Iso();
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  ListingArgs asked;
  asked.folder = DataFolder(fs.ProgramFolder());
  asked.localization = LocalizationPath(fs);
  if (const std::string why = ParseListingArgs(args, fs, asked); !why.empty()) {
    std::fprintf(stderr, "norvale: %s\n", why.c_str());
    return 2;
  }
  const std::string& folder = asked.folder;
  const std::string& language = asked.language;
  const std::string& localization = asked.localization;
  const auto file = ReadLocalizationText(fs, localization);
  if (!file && language != "English") {
    std::fprintf(stderr, "norvale: --localization %s: cannot be read\n", localization.c_str());
    return 2;
  }
  Branding branding;
  branding.ProductName = "Norvale";
  const CatalogueText text = CommandLineTexts(file, language, branding);
  const ScheduleStore store{fs, codec, folder};
  std::fputs(ScheduleListing(store, clock, locale, text).c_str(), stdout);
  return 0;
}
