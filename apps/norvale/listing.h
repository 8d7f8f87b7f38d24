#pragma once
// A plain-text view of the schedule list and its next runs, in the language in
// effect and with the words the window shows.
#include <string>
#include <string_view>
#include <vector>

#include "apps/norvale/command_line.h"
#include "platform/clock.h"
#include "platform/list_items.h"
#include "platform/locale.h"
#include "schedule/schedule_file.h"

namespace norvale {

// How many columns a console gives UTF-8 text: one a character, two for the
// wide characters of East Asian scripts, none for combining marks.
size_t DisplayWidth(std::string_view utf8);

// A stored action ("Stand by") or Yes and No as the window shows it ("Stand By").
std::string ShownText(const CatalogueText& text, const std::string& stored);

std::string ScheduleListing(const ScheduleStore& store, const Clock& clock, const Locale& locale,
                            const CatalogueText& text = EnglishText);
// The same table of any rows (stored values, as the list holds them): the
// schedules of `folder` as listed at `now`, and the names of schedules that
// could not be read.
std::string FormatListing(const std::string& folder, const std::string& now, const ListItems& rows,
                          const std::vector<std::string>& skipped,
                          const CatalogueText& text = EnglishText);

// What the listing (`norvale [--data FOLDER] [--language NAME] [--localization
// FILE]`) is asked for; the caller fills in the defaults.
struct ListingArgs {
  std::string folder;  // with its trailing separator
  std::string language = "English";
  std::string localization;
};
// Reads the arguments into `args`: "" when they can be used, else why not, in
// one line.
std::string ParseListingArgs(const std::vector<std::string>& argv, const FileSystem& fs,
                             ListingArgs& args);

}  // namespace norvale
