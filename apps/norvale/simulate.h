#pragma once
// `norvale simulate`: the whole program (main window, engine, timers, tray,
// schedule list) on the in-memory toolkit over a virtual clock, as fast as it
// can, performing nothing and printing every power request it would make:
//
//   YYYY-MM-DD HH:MM:SS <TAB> schedule name <TAB> action
//
// one line per request, local time, nothing else on stdout. Keep-awake hours
// print "Keep Awake" under a schedule when its span begins to hold and "Allow
// Sleep" under the one that ended last when none holds any more.
#include <functional>
#include <string_view>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/headless/virtual_clock.h"

namespace norvale {

struct SimulationEvent {
  enum Kind {
    kSleep,          // the computer sleeps until `until`
    kSetClock,       // the user sets the clock to `until`
    kGo,             // the window's lists set to `action` and `text` (a delay), Go pressed
    kIn,             // /quick:action /in:number
    kAt,             // /quick:action /at:text
    kWhenIdle,       // /quick:action /when-idle:number
    kWhenEnds,       // /quick:action /when-ends:text
    kWhenQuiet,      // /quick:action /when-quiet:text
    kLoad,           // the processor's use and the network's traffic from now on
    kStart,          // a process named `text` starts
    kEnd,            // … ends
    kInput,          // a key is pressed
    kCancel,         // /cancel
    kPostpone,       // the warning's Postpone, with `number` minutes chosen
    kCancelWarning,  // the warning's Cancel
    kPerformNow,     // the warning's Perform now
    kPrevent,        // "Prevent any schedules from running" ticked (number 1) or unticked
    kReload,         // the schedule list read again, as after a save
    kPostponeWhenUsed,  // "Postpone when the computer is used…" ticked (number 1) or cleared
  } kind;
  LocalTime at;     // the wall clock shows this
  LocalTime until;  // kSleep, kSetClock: and then this
  std::string action;
  std::string text;
  int number = 0;
  double cpu_percent = 0;           // kLoad
  double kilobytes_per_second = 0;  // kLoad
};

struct SimulationPlan {
  std::string data_folder;
  LocalTime from{}, to{};
  std::string zone = "UTC";
  std::string date_form = "iso";        // iso, us or de
  int warning = 0;                      // seconds of warning before each action; nobody answers it
  std::vector<SimulationEvent> events;  // in the order the wall clock meets them
  std::string events_file;              // --events: read with ParseSimulationEvents
};

// The arguments after "simulate"; nullopt with `error` set when they make no plan.
std::optional<SimulationPlan> ParseSimulationArgs(const std::vector<std::string>& args,
                                                  std::string& error);

// The lines of an events file into `plan`'s events, then the order checked;
// false with `error` set (naming the line) when a line cannot be read.
bool ParseSimulationEvents(std::string_view text, SimulationPlan& plan, std::string& error);

// Schedule files by name ("Night.sch") and their bytes, as the folder holds them.
using ScheduleFiles = std::map<std::string, std::string>;

// Runs the plan; every request goes to `request` as one output line (without
// its line end). Message boxes the program would show go to `note`.
void RunSimulation(const SimulationPlan& plan, const ScheduleFiles& files,
                   const headless::TimeZone* zone,
                   const std::function<void(const std::string& line)>& request,
                   const std::function<void(const std::string& note)>& note = {});

}  // namespace norvale
