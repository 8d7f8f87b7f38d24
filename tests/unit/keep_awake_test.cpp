// Keep-awake hours: spans of local time that hold the computer awake, joined
// across schedules, through sleeps, midnight and daylight saving.
#include <gtest/gtest.h>

#include "apps/norvale/simulate.h"
#include "engine/awake_spans.h"
#include "schedule/run_history.h"
#include "schedule/schedule_file.h"
#include "schedule/schedule_list.h"
#include "tests/unit/app_fixture.h"

namespace norvale {
namespace {

using namespace std::chrono;
using fakes::FakeClock;
using Lines = std::vector<std::string>;

ScheduleRecord Span(const char* date, const char* start, const char* end, bool repeat = false,
                    int16_t mode = kRepeatDaily, const char* period = "", bool display = false) {
  ScheduleRecord r;
  r.ItemType = "Keep Awake";
  r.Enabled = true;
  r.StartDate = date;
  r.StartTime = start;
  r.EndTime = end;
  r.KeepDisplayOn = display;
  r.Repeat = repeat;
  r.SAccurancy = mode;
  r.Period = period;
  return r;
}

// What the program prints over `events`, in Berlin, with a minute's warning:
// a span taken for an occurrence would show as a line a minute after its start.
Lines Simulate(const ScheduleFiles& files, const char* from, const char* to,
               const std::string& events = "") {
  std::string error;
  auto plan = ParseSimulationArgs(
      {"--data", "d", "--from", from, "--to", to, "--warning", "60", "--events", "e"}, error);
  EXPECT_TRUE(plan) << error;
  if (!plan || !ParseSimulationEvents(events, *plan, error)) {
    ADD_FAILURE() << error;
    return {};
  }
  const fakes::CentralEuropeanZone berlin;
  Lines out;
  RunSimulation(*plan, files, &berlin, [&](const std::string& line) { out.push_back(line); });
  return out;
}

TEST(KeepAwakeHours, AWorkWeekHoldsNineToFiveThroughASleepAndTheSpringChange) {
  // Thursday 25 March 2027 to Wednesday 31 March; summer time begins on Sunday 28th.
  const ScheduleFiles files = {
      {"Office.sch", ScheduleText(Span("2027-03-01", "09:00:00", "17:00:00", true, kRepeatWeekly,
                                       "mon,tue,wed,thu,fri"))}};
  const Lines lines = Simulate(files, "2027-03-25T08:00", "2027-03-31T20:00",
                               // Asleep across Friday's end, and into Monday's span.
                               "2027-03-26T16:30\tsleep\t2027-03-26T18:00\n"
                               "2027-03-29T08:30\tsleep\t2027-03-29T10:15\n");
  EXPECT_EQ((Lines{
                "2027-03-25 09:00:00\tOffice\tKeep Awake",
                "2027-03-25 17:00:00\tOffice\tAllow Sleep",
                "2027-03-26 09:00:00\tOffice\tKeep Awake",
                "2027-03-26 18:00:00\tOffice\tAllow Sleep",
                "2027-03-29 10:15:00\tOffice\tKeep Awake",
                "2027-03-29 17:00:00\tOffice\tAllow Sleep",
                "2027-03-30 09:00:00\tOffice\tKeep Awake",
                "2027-03-30 17:00:00\tOffice\tAllow Sleep",
                "2027-03-31 09:00:00\tOffice\tKeep Awake",
                "2027-03-31 17:00:00\tOffice\tAllow Sleep",
            }),
            lines);
}

TEST(KeepAwakeHours, SpansCrossMidnightJoinAcrossSchedulesAndIgnorePrevent) {
  const ScheduleFiles night = {
      {"Night.sch", ScheduleText(Span("2027-01-01", "22:00:00", "02:00:00", true))},
      // Once, inside the first night: joins it, ends nothing.
      {"Backup.sch", ScheduleText(Span("2027-01-04", "23:30:00", "00:30:00"))}};
  EXPECT_EQ((Lines{
                "2027-01-04 22:00:00\tNight\tKeep Awake",
                "2027-01-04 23:30:00\tBackup\tKeep Awake",
                "2027-01-05 02:00:00\tNight\tAllow Sleep",
                "2027-01-05 22:00:00\tNight\tKeep Awake",
                "2027-01-06 02:00:00\tNight\tAllow Sleep",
            }),
            Simulate(night, "2027-01-04T20:00", "2027-01-06T03:00",
                     // Preventing schedules from running stops no span: it runs nothing.
                     "2027-01-04T21:00\tprevent\ton\n"));

  // One span ends where the next begins: the computer is never let sleep between.
  const ScheduleFiles relay = {
      {"A.sch", ScheduleText(Span("2027-01-04", "09:00:00", "12:00:00"))},
      {"B.sch", ScheduleText(Span("2027-01-04", "11:00:00", "15:00:00"))},
      {"C.sch", ScheduleText(Span("2027-01-04", "15:00:00", "16:00:00"))}};
  EXPECT_EQ((Lines{
                "2027-01-04 09:00:00\tA\tKeep Awake",
                "2027-01-04 11:00:00\tB\tKeep Awake",
                "2027-01-04 15:00:00\tC\tKeep Awake",
                "2027-01-04 16:00:00\tC\tAllow Sleep",
            }),
            Simulate(relay, "2027-01-04T08:00", "2027-01-04T18:00"));
}

TEST(KeepAwakeHours, TheSpanUnderWayIsFoundOnEveryRepeatForm) {
  const auto block = [](const ScheduleRecord& r) { return GetTag(ScheduleText(r), "SCHEDULER"); };
  const PatternLocale iso = PatternLocale::Iso();
  const auto at = [](unsigned mo, unsigned d, int h, int mi) {
    return FakeClock::At(2027, mo, d, h, mi);
  };
  const auto span = [&](const ScheduleRecord& r, LocalTime now) {
    return CurrentOrNextSpan(block(r), FixedClock{now}, iso);
  };
  // Monthly on the 15th, across midnight: at 00:30 on the 16th it is still on.
  const ScheduleRecord monthly = Span("2027-01-01", "23:00:00", "01:00:00", true, kRepeatMonthly, "15");
  auto s = span(monthly, at(2, 16, 0, 30));
  ASSERT_TRUE(s);
  EXPECT_EQ(at(2, 15, 23, 0), s->begin);
  EXPECT_EQ(at(2, 16, 1, 0), s->end);
  // At its end it is over: the next is a month on.
  s = span(monthly, at(2, 16, 1, 0));
  ASSERT_TRUE(s);
  EXPECT_EQ(at(3, 15, 23, 0), s->begin);
  // Once: under way, then none.
  const ScheduleRecord once = Span("2027-02-01", "10:00:00", "10:01:00");
  EXPECT_EQ(at(2, 1, 10, 0), span(once, at(2, 1, 10, 0))->begin);
  EXPECT_FALSE(span(once, at(2, 1, 10, 1)));
  // Weekly: Friday's span seen from Saturday is not under way; Monday's is next.
  const ScheduleRecord weekly = Span("2027-01-01", "09:00:00", "17:00:00", true, kRepeatWeekly, "mon,fri");
  EXPECT_EQ(at(2, 8, 9, 0), span(weekly, at(2, 6, 12, 0))->begin);
  // No end, or one equal to the start: no span at all.
  EXPECT_FALSE(span(Span("2027-01-01", "09:00:00", "", true), at(2, 1, 9, 30)));
  EXPECT_FALSE(span(Span("2027-01-01", "09:00:00", "09:00:00", true), at(2, 1, 9, 30)));
}

class KeepAwakeFile : public testing_app::AppTest {};

TEST_F(KeepAwakeFile, EndTimeAndDisplayAreStoredOnlyForKeepAwakeAndReadBack) {
  ScheduleRecord r = Span("2026-12-04", "09:00:00", "17:30:00", true, kRepeatWeekly, "mon,fri", true);
  r.Name = "Office";
  const std::string text = ScheduleText(r);
  EXPECT_EQ(
      "<SCHEDULER>\r\nStartDate=2026-12-04\r\nStartTime=09:00:00\r\nRepeat=-1\r\nSAccurancy=1\r\n"
      "Period=mon,fri\r\nRunOnStart=0\r\nRunOnEnd=0\r\nEndTime=17:30:00\r\nKeepDisplayOn=1\r\n"
      "</SCHEDULER>\r\n\r\n",
      text.substr(text.find("<SCHEDULER>")));
  fs.Put(data + "Office.sch", text);
  ScheduleRecord plain = r;
  plain.ItemType = "Shut Down";
  plain.EndTime.clear();
  EXPECT_EQ(std::string::npos, ScheduleText(plain).find("EndTime"));
  EXPECT_EQ(std::string::npos, ScheduleText(plain).find("KeepDisplayOn"));

  const ScheduleStore store{fs, codec, data};
  ScheduleRecord read;
  read.EndTime = "stale";
  ListItem row;
  row.Text = "Office";
  lstSchedules_ItemClick(row, store, read);
  EXPECT_EQ("17:30:00", read.EndTime);
  EXPECT_TRUE(read.KeepDisplayOn);
  // A file from before keep-awake hours: nothing read that it does not have.
  PutSchedule("Old", "Shut Down", "2026-12-04", "22:00:00");
  row.Text = "Old";
  lstSchedules_ItemClick(row, store, read);
  EXPECT_EQ("", read.EndTime);
  EXPECT_FALSE(read.KeepDisplayOn);
}

class KeepAwakeWindow : public testing_app::AppTest {
 protected:
  std::unique_ptr<frmMain> main;
  void Start() {
    NotFirstRun();
    main = std::make_unique<frmMain>(app);
    main->Show();
  }
};

TEST_F(KeepAwakeWindow, SpansAndThePreventStandByBoxSetOneExecutionState) {
  // Friday 4 December 2026, 10:00: a span of half an hour at 10:30, display on too.
  fs.Put(data + "Call.sch",
         ScheduleText(Span("2026-12-04", "10:30:00", "11:00:00", true, kRepeatDaily, "", true)));
  // A Keep Awake file without an end holds nothing and performs nothing.
  fs.Put(data + "Broken.sch", ScheduleText(Span("2026-12-04", "10:10:00", "")));
  Start();
  const auto next_shown = [&](const char* name) {
    for (const ListItem& item : main->lstSchedules->Items()) {
      if (item.Text == name) return item.SubItem(kColumnNextRun);
    }
    return std::string("<no row>");
  };
  EXPECT_EQ("Fri 10:30\u201311:00", next_shown("Call"));
  EXPECT_EQ(0, power.hold_calls);

  settings.WriteSetting("Norvale", "Settings", "chkLog", "1");
  main->chkLowPower->UserClick();
  EXPECT_TRUE(power.idle_sleep_held);
  EXPECT_FALSE(power.display_held);
  // A span is no occurrence: no warning before it, no history line of it.
  kit.Advance(29min + 30s);
  EXPECT_EQ(nullptr, main->Pending().Flow().Shown());
  kit.Advance(30s);
  EXPECT_TRUE(power.idle_sleep_held);
  EXPECT_TRUE(power.display_held);
  EXPECT_EQ("Norvale \u2013 kept awake until 11:00", kit.FakeTrayIcon().Tip());
  // The box let go while the span holds: the system still stays awake.
  main->chkLowPower->UserClick();
  EXPECT_TRUE(power.idle_sleep_held);
  EXPECT_TRUE(power.display_held);
  const int calls = power.hold_calls;
  main->loadData();  // a reload in the span changes nothing
  EXPECT_EQ(calls, power.hold_calls);
  // Its Last Run Time is when it began to hold.
  EXPECT_NE(std::string::npos, fs.Get(data + "Call.sch").value_or("").find("LastRunTime=2026-12-04 10:30:00"));

  kit.Advance(30min);
  EXPECT_FALSE(power.idle_sleep_held);
  EXPECT_FALSE(power.display_held);
  EXPECT_EQ("Norvale", kit.FakeTrayIcon().Tip());
  EXPECT_EQ("Sat 10:30\u201311:00", next_shown("Call"));
  EXPECT_TRUE(power.requests.empty());
  EXPECT_FALSE(fs.Get(data + kHistoryFileName));
  EXPECT_EQ(std::string::npos, fs.Get(data + "Broken.sch").value_or("").find("LastRunTime=2"));
}

TEST_F(KeepAwakeWindow, ATipTheTrayRefusesIsRetriedUntilTheIconIsBackThenNothingWakes) {
  fs.Put(data + "Call.sch",
         ScheduleText(Span("2026-12-04", "10:30:00", "11:00:00", true, kRepeatDaily, "", true)));
  Start();
  ASSERT_TRUE(kit.FakeTrayIcon().Shown());
  ASSERT_FALSE(main->tmrTrayIcon->Armed());
  // The notification area lost the icon without a word and takes none for now.
  kit.FakeTrayIcon().Delete();
  kit.FakeTrayIcon().FailAdds(true);
  kit.Advance(30min);  // the span begins: its tip does not reach the tray
  EXPECT_FALSE(kit.FakeTrayIcon().Shown());
  EXPECT_TRUE(main->tmrTrayIcon->Armed());
  EXPECT_EQ(5000, main->tmrTrayIcon->Interval());
  kit.Advance(10s);
  EXPECT_FALSE(kit.FakeTrayIcon().Shown());
  kit.FakeTrayIcon().FailAdds(false);
  kit.Advance(5s);
  EXPECT_TRUE(kit.FakeTrayIcon().Shown());
  EXPECT_EQ("Norvale \u2013 kept awake until 11:00", kit.FakeTrayIcon().Tip());
  EXPECT_FALSE(main->tmrTrayIcon->Armed());
}

TEST_F(KeepAwakeWindow, TheEditorShowsTheEndOnlyForKeepAwakeAndRefusesAnEmptySpan) {
  Start();
  main->cmdNewSchedule->UserClick();
  frmWizard& w = main->Wizard();
  const auto choose = [&](const std::string& shown) {
    for (int i = 0; i < w.cbShutdown->ListCount(); ++i) {
      if (w.cbShutdown->List(i) == shown) w.cbShutdown->UserSelect(i);
    }
    ASSERT_EQ(shown, w.cbShutdown->Text());
  };
  const auto span_shown = [&] {
    return w.lblUntil->Visible() + w.dtUntil->Visible() + w.chkKeepDisplay->Visible();
  };
  EXPECT_EQ(0, span_shown());
  choose("Keep Awake");
  EXPECT_EQ(3, span_shown());
  choose("Reboot");
  EXPECT_EQ(0, span_shown());
  choose("Keep Awake");

  w.txtName->UserType("Office");
  w.chkScheduler->UserClick();
  EXPECT_TRUE(w.dtUntil->Enabled());
  w.dtTime->UserPick(FakeClock::At(2026, 12, 4, 9, 0));
  w.dtUntil->UserPick(FakeClock::At(2026, 12, 4, 9, 0, 30));  // the same minute
  kit.Script().Expect("Error: The keep-awake hours must end at another time than they start",
                      MsgBoxResult::OK);
  w.cmdOK->UserClick();
  EXPECT_TRUE(kit.Script().AllAnswered());
  EXPECT_TRUE(w.Loaded());
  EXPECT_FALSE(fs.Get(data + "Office.sch"));

  w.dtUntil->UserPick(FakeClock::At(2026, 12, 4, 1, 30));  // earlier: the next day
  w.chkKeepDisplay->UserClick();
  w.cmdOK->UserClick();
  EXPECT_FALSE(w.Loaded());
  const std::string stored = fs.Get(data + "Office.sch").value_or("");
  EXPECT_EQ("Keep Awake", GetValue(stored, "ItemType"));
  EXPECT_EQ("01:30:00", GetValue(stored, "EndTime"));
  EXPECT_EQ("1", GetValue(stored, "KeepDisplayOn"));

  // Edited again: the end and the option come back, the controls shown.
  main->lstSchedules->UserClickItem(FindSchedule(main->lstSchedules->Items(), "Office") - 1);
  main->cmdEdit->UserClick();
  frmWizard& again = main->Wizard();
  EXPECT_TRUE(again.dtUntil->Visible());
  EXPECT_EQ(FakeClock::At(2026, 12, 4, 1, 30), again.dtUntil->Value());
  EXPECT_EQ(1, again.chkKeepDisplay->Value());
}

}  // namespace
}  // namespace norvale
