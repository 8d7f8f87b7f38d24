// The run list's own bookkeeping: unique names and the count of quick rows.
#include "engine/run_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

namespace norvale {
namespace {

RunRow Named(std::string name) {
  RunRow r;
  r.name = std::move(name);
  return r;
}

TEST(RunListTest, UniqueNamesCountOnPerBaseAndSkipWhatAnyRowHolds) {
  RunList list;
  list.ReplaceFileRows({Named("Night"), Named("Night (3)")});
  EXPECT_EQ("Evening", list.UniqueName("Evening"));
  EXPECT_EQ("Night (2)", list.UniqueName("Night"));
  EXPECT_EQ("Night (2)", list.UniqueName("Night"));  // asked, not taken: still free
  list.Add(Named(list.UniqueName("Night")));
  EXPECT_EQ("Night (4)", list.UniqueName("Night"));  // "(3)" is a file's
  const uint64_t four = list.Add(Named(list.UniqueName("Night")));
  EXPECT_EQ(2u, list.QuickCount());

  // Renamed and removed rows free their names; the file's own name stays taken.
  ASSERT_TRUE(list.Update(four, [](RunRow& r) { r.name = "Morning"; }));
  EXPECT_FALSE(list.Named("Night (4)"));
  EXPECT_EQ("Morning (2)", list.UniqueName("Morning"));
  list.ReplaceFileRows({Named("Day")});
  EXPECT_FALSE(list.Named("Night"));
  EXPECT_EQ("Night", list.UniqueName("Night"));
  EXPECT_TRUE(list.Named("Night (2)"));
  EXPECT_EQ(nullptr, list.FindNamed("Night (3)"));
  EXPECT_EQ(2u, list.QuickCount());
  for (uint64_t id : list.QuickRows()) list.Remove(id);
  EXPECT_EQ(0u, list.QuickCount());
  EXPECT_EQ(1u, list.Rows().size());
  EXPECT_TRUE(list.Remove(list.Rows()[0].id) && list.Rows().empty() && !list.Named("Day"));
}

// Naming costs each new row the same however many share its base: ten times the
// rows take about ten times as long, where a scan of the list per name took a
// hundred times.
TEST(RunListTest, NamingManyRowsOfOneBaseGrowsLinearly) {
  const auto took = [](int rows) {
    auto best = std::chrono::steady_clock::duration::max();
    for (int round = 0; round < 3; ++round) {
      RunList list;
      const auto start = std::chrono::steady_clock::now();
      for (int i = 0; i < rows; ++i) list.Add(Named(list.UniqueName("Quick Schedule")));
      best = std::min(best, std::chrono::steady_clock::now() - start);
      EXPECT_TRUE(list.Named("Quick Schedule (" + std::to_string(rows) + ")"));
    }
    return std::chrono::duration<double>(best).count();
  };
  const double small = took(500), large = took(5000);
  EXPECT_LT(large, 30 * small) << small << " s for 500 rows, " << large << " s for 5,000";
}

// A tick that moves many rows on is shown once, not once a row: ten thousand
// schedules of one minute made the list be drawn a hundred million rows a day.
TEST(RunListTest, ChangesWhileHeldAreToldOnceWhenTheLastHoldEnds) {
  RunList list;
  int told = 0;
  list.Changed = [&] { ++told; };
  list.ReplaceFileRows({Named("Night"), Named("Day")});
  EXPECT_EQ(1, told);
  list.Hold();
  list.Hold();
  for (const RunRow& r : std::vector<RunRow>(list.Rows())) {
    list.Update(r.id, [](RunRow& row) { row.next_text = "later"; });
  }
  const uint64_t quick = list.Add(Named("Quick"));
  list.Release();
  EXPECT_EQ(1, told);
  const uint64_t revision = list.Revision();
  list.Release();
  EXPECT_EQ(2, told);
  EXPECT_EQ(revision, list.Revision());
  list.Release();  // one too many: nothing to tell, and the next change is told at once
  list.Hold();
  list.Release();
  EXPECT_EQ(2, told);
  EXPECT_TRUE(list.Remove(quick));
  EXPECT_EQ(3, told);
  EXPECT_EQ(nullptr, list.Find(quick));
  ASSERT_NE(nullptr, list.Find(list.Rows()[1].id));
  EXPECT_EQ("Day", list.Find(list.Rows()[1].id)->name);
}

}  // namespace
}  // namespace norvale
