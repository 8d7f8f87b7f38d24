#pragma once
// The program's runs put together: the run list, the scheduler that takes its
// rows and the flow that warns, performs and records, over the program's
// files, preferences and history. The main window shows them and hands them
// the user's commands; the command line talks to them directly.
#include <functional>
#include <memory>
#include <string>

#include "engine/run_flow.h"
#include "engine/run_list.h"
#include "engine/scheduler.h"
#include "platform/list_items.h"
#include "platform/power_control.h"
#include "schedule/run_history.h"
#include "schedule/schedule_list.h"
#include "ui/app_context.h"

namespace norvale {

// A refusal as the history keeps it: "code: the system's words".
std::string FailureDetail(const PowerOutcome& outcome);
// What the user is told of a refused action, in the language in effect.
std::string RefusedText(AppContext& app, const std::string& action, const PowerOutcome& outcome);

class Runs {
 public:
  // `timer` is the scheduler's; `prevented` tells whether "Prevent any schedules
  // from running" is ticked; `act` performs a power action.
  Runs(AppContext& app, const ScheduleStore& store, Timer& timer, std::function<bool()> prevented,
       std::function<PowerOutcome(const std::string& action)> act);

  RunList& List() { return list_; }
  const RunList& List() const { return list_; }
  RunFlow& Flow() { return *flow_; }
  SchedulerEngine& Engine() { return *engine_; }

  // The file rows read again; what is pending stays pending. The first load
  // counts the minute under way as passed, as a start should.
  void Load();
  // Every row as the list shows it, in the list's order.
  ListItems Items() const;
  ListItem Item(const RunRow& row) const;

  // The tray tip while keep-awake hours hold ("Norvale – kept awake until
  // 17:00"); "" while none do.
  std::string AwakeTip() const;
  // The short name of t's weekday, in the language in effect.
  std::string ShortDayName(LocalTime t) const;

  // Requests beyond this many rows without a file are refused: any program of
  // the desktop may send them.
  static constexpr size_t kMostQuickRows = 100;
  bool QuickRowsFull() const { return list_.QuickCount() >= kMostQuickRows; }
  // A new quick row's name: "Quick Schedule" and the moment, made unique.
  std::string QuickName() const;
  // Adds a quick row; its name.
  std::string AddQuick(RunRow row);
  // Removes every row without a file, with what is warned of or waits from it; how many.
  int CancelQuickRows();
  // Removes a quick row and ends what came from it; false for a file row.
  bool RemoveQuick(uint64_t row);

  // The warning's lead time and whether programs are closed by force, from the preferences.
  int WarnSeconds() const;
  bool ForceClose() const;
  // "Shut down fully (no fast startup)": ticked unless cleared.
  bool FullShutdown() const;

  // Told the name and action of every occurrence about to be performed.
  std::function<void(const std::string& name, const std::string& action)> Performing;
  // The rows changed.
  std::function<void()> Changed;
  // The warning to show changed.
  std::function<void()> ShownChanged;
  // Keep-awake hours began or ended.
  std::function<void(const AwakeChange&)> AwakeChanged;
  // Woken for a schedule's run: the computer is held awake until it is done with.
  std::function<void(bool hold)> HoldAwakeChanged;
  // A history line was written.
  std::function<void()> Recorded;

 private:
  std::string Machine(const std::string& key, const std::string& def) const;
  void Record(const std::string& name, const std::string& action, const char* outcome,
              LocalTime when);
  void RecordFailed(const std::string& name, const std::string& action, const std::string& error,
                    LocalTime when);
  void RecordLastRun(const std::string& name, LocalTime when);
  // A write of the history or of a Last Run Time failed: told by a balloon
  // and, when it can be written, in the history.
  void NotStored(const char* what, const std::string& name, const std::string& action,
                 LocalTime when, const FileError& error);

  AppContext& app_;
  const ScheduleStore& store_;
  std::function<PowerOutcome(const std::string&)> act_;
  RunList list_;
  std::unique_ptr<RunFlow> flow_;
  std::unique_ptr<SchedulerEngine> engine_;
  TakenOccurrences taken_;
  ScheduleCache cache_;
  bool loaded_ = false;
  std::vector<HistoryEntry> not_stored_;  // for the next history write
  bool write_failure_told_ = false;
};

}  // namespace norvale
