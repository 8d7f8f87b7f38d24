// The in-memory file system of headless runs: names as Windows compares them,
// listed in the order made, and found without a scan of every file.
#include "platform/headless/memory_file_system.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

namespace norvale {
namespace {

using headless::MemoryFileSystem;

TEST(MemoryFileSystemTest, NamesIgnoreCaseAndSeparatorsAndListInTheOrderMade) {
  MemoryFileSystem fs("/Norvale");
  fs.Put("/Norvale/data/Night.sch", "a");
  fs.Put("/Norvale/data/Day.sch", "b");
  fs.Put("/Norvale/other/Day.sch", "c");
  fs.ReplaceWhole("\\norvale\\DATA\\NIGHT.SCH", "a2");  // the first spelling stays
  EXPECT_EQ("a2", fs.ReadAll("/Norvale/data/night.sch"));
  EXPECT_TRUE(fs.FileExists("/norvale/data/DAY.sch"));
  EXPECT_EQ((std::vector<std::string>{"Night.sch", "Day.sch"}), fs.ListFiles("/Norvale/data/", "*.sch"));
  EXPECT_EQ(std::vector<std::string>{"Day.sch"}, fs.ListFiles("/NORVALE/Other", "*.sch"));
  const auto first = fs.Stamp("/Norvale/data/Day.sch");
  fs.ReplaceWhole("/Norvale/data/Day.sch", "bb");
  ASSERT_TRUE(first && fs.Stamp("/Norvale/data/Day.sch"));
  EXPECT_NE(first->written, fs.Stamp("/Norvale/data/Day.sch")->written);
  EXPECT_EQ(2u, *fs.FileSize("/Norvale/data/DAY.SCH"));

  // Removed and made again: listed last, found under its new spelling.
  fs.RemoveFile("/Norvale/DATA/night.sch");
  EXPECT_FALSE(fs.Get("/Norvale/data/Night.sch"));
  EXPECT_THROW(fs.RemoveFile("/Norvale/data/Night.sch"), FileError);
  EXPECT_THROW(fs.ReadAll("/Norvale/data/Night.sch"), FileError);
  fs.ReplaceWhole("/Norvale/data/NIGHT.sch", "n");
  EXPECT_EQ((std::vector<std::string>{"Day.sch", "NIGHT.sch"}), fs.ListFiles("/Norvale/data", "*"));
}

// Ten times the files take about ten times as long to make and read, where a
// scan of all of them for each took a hundred times.
TEST(MemoryFileSystemTest, ReadingEveryFileOfALargeFolderGrowsLinearly) {
  const auto took = [](int count) {
    auto best = std::chrono::steady_clock::duration::max();
    for (int round = 0; round < 3; ++round) {
      MemoryFileSystem fs("/Norvale");
      const auto start = std::chrono::steady_clock::now();
      for (int i = 0; i < count; ++i) fs.Put("/Norvale/data/S" + std::to_string(i) + ".sch", "x");
      size_t bytes = 0;
      for (const std::string& name : fs.ListFiles("/Norvale/data", "*.sch")) {
        bytes += fs.Stamp("/Norvale/data/" + name)->size + fs.ReadAll("/Norvale/data/" + name).size();
      }
      best = std::min(best, std::chrono::steady_clock::now() - start);
      EXPECT_EQ(2u * count, bytes);
    }
    return std::chrono::duration<double>(best).count();
  };
  const double small = took(1000), large = took(10000);
  EXPECT_LT(large, 30 * small) << small << " s for 1,000 files, " << large << " s for 10,000";
}

}  // namespace
}  // namespace norvale
