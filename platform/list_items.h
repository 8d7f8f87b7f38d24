#pragma once
// The rows of a report-style list: what the list control shows and what the
// program's logic reads and writes. The control only renders these.
#include <string>
#include <vector>

namespace norvale {

struct ListItem {
  std::string Text;
  std::vector<std::string> SubItems;  // SubItems[0] is column 1

  // 1-based column access, as the columns are numbered; missing columns read empty.
  const std::string& SubItem(size_t column) const {
    static const std::string kEmpty;
    return column >= 1 && column <= SubItems.size() ? SubItems[column - 1] : kEmpty;
  }
  void SetSubItem(size_t column, std::string value) {
    if (column == 0) return;
    if (SubItems.size() < column) SubItems.resize(column);
    SubItems[column - 1] = std::move(value);
  }
};

using ListItems = std::vector<ListItem>;

}  // namespace norvale
