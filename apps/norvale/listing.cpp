#include "apps/norvale/listing.h"

#include <algorithm>
#include <array>

#include "platform/path.h"
#include "platform/text_codec.h"
#include "schedule/schedule_list.h"
#include "ui/main/frm_countdown.h"
#include "ui/shown_names.h"

namespace norvale {
namespace {

// The characters a console shows two columns wide: the East Asian wide and
// full-width blocks, and the emoji blocks.
bool Wide(char32_t c) {
  return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0x303E) ||
         (c >= 0x3041 && c <= 0x33FF) || (c >= 0x3400 && c <= 0x4DBF) ||
         (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xA000 && c <= 0xA4CF) ||
         (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
         (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
         (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x1F300 && c <= 0x1F64F) ||
         (c >= 0x1F900 && c <= 0x1F9FF) || (c >= 0x20000 && c <= 0x3FFFD);
}

bool Combining(char32_t c) {
  return (c >= 0x0300 && c <= 0x036F) || (c >= 0x1AB0 && c <= 0x1AFF) ||
         (c >= 0x1DC0 && c <= 0x1DFF) || (c >= 0x20D0 && c <= 0x20FF) ||
         (c >= 0xFE20 && c <= 0xFE2F) || c == 0x200B || c == 0x200D;
}

// The column headers are the main window's own, so /list and the window agree.
constexpr std::pair<const char*, const char*> kHeaders[] = {
    {"FRMMAIN_LSTSCHEDULES_COL1", "Schedule Name"}, {"FRMMAIN_LSTSCHEDULES_COL2", "Type"},
    {"FRMMAIN_LSTSCHEDULES_COL3", "Last Run Time"}, {"FRMMAIN_LSTSCHEDULES_COL4", "Next Run Time"},
    {"FRMMAIN_LSTSCHEDULES_COL5", "Enabled"}};

}  // namespace

std::string ShownText(const CatalogueText& text, const std::string& stored) {
  for (const ShownName& n : ShownNames()) {
    if (n.stored == stored) return text(n.key, n.text);
  }
  return stored;
}

size_t DisplayWidth(std::string_view utf8) {
  size_t width = 0;
  for (size_t i = 0; i < utf8.size();) {
    const char32_t c = NextCodePoint(utf8, i);
    width += Combining(c) ? 0 : Wide(c) ? 2 : 1;
  }
  return width;
}

std::string ScheduleListing(const ScheduleStore& store, const Clock& clock, const Locale& locale,
                            const CatalogueText& text) {
  ListItems rows;
  const std::vector<std::string> skipped =
      loadData(rows, store, clock, locale, {}, text("MSG_UNREADABLE", "Cannot be read"));
  return FormatListing(store.data_folder, locale.GeneralDate(clock.Now()), rows, skipped, text);
}

std::string FormatListing(const std::string& folder, const std::string& now, const ListItems& rows,
                          const std::vector<std::string>& skipped, const CatalogueText& text) {
  constexpr size_t kColumns = std::size(kHeaders);
  std::vector<std::array<std::string, kColumns>> lines;
  std::array<std::string, kColumns> header;
  for (size_t c = 0; c < kColumns; ++c) header[c] = text(kHeaders[c].first, kHeaders[c].second);
  lines.push_back(header);
  for (const ListItem& row : rows) {
    lines.push_back({row.Text, ShownText(text, row.SubItem(kColumnType)),
                     row.SubItem(kColumnLastRun), row.SubItem(kColumnNextRun),
                     ShownText(text, row.SubItem(kColumnEnabled))});
  }
  size_t width[kColumns] = {};
  for (const auto& cells : lines) {
    for (size_t c = 0; c < kColumns; ++c) width[c] = std::max(width[c], DisplayWidth(cells[c]));
  }
  std::string out = FillIn(Say(text, "MSG_CLLISTHEAD"), {{"folder", folder}, {"now", now}}) + "\n";
  for (const auto& cells : lines) {
    for (size_t c = 0; c < kColumns; ++c) {
      out += cells[c];
      if (c + 1 < kColumns) out.append(width[c] - DisplayWidth(cells[c]) + 2, ' ');
    }
    out += '\n';
  }
  if (rows.empty()) out += Say(text, "MSG_CLNOSCHEDULES") + "\n";
  for (const std::string& name : skipped) {
    out += FillIn(Say(text, "MSG_CLUNREADABLE"), {{"name", name}}) + "\n";
  }
  return out;
}

std::string ParseListingArgs(const std::vector<std::string>& argv, const FileSystem& fs,
                             ListingArgs& args) {
  for (size_t i = 0; i < argv.size(); ++i) {
    const std::string& a = argv[i];
    if (a.empty()) return "an empty argument";
    if (a != "--data" && a != "--language" && a != "--localization") {
      return "unknown argument " + a + " (norvale --help shows the usage)";
    }
    if (i + 1 >= argv.size() || argv[i + 1].empty()) return a + " needs a value";
    const std::string& v = argv[++i];
    if (a == "--data") {
      if (!fs.FolderExists(v)) return "--data " + v + ": no such folder";
      args.folder = v;
      if (args.folder.back() != '/' && args.folder.back() != kPathSeparator) {
        args.folder += kPathSeparator;
      }
    } else if (a == "--language") {
      args.language = v;
    } else {
      args.localization = v;
    }
  }
  return {};
}

}  // namespace norvale
