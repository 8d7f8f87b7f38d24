#pragma once
// From due to done: an occurrence whose warning time has come is warned of (or
// waits behind the warning shown), then performed at its moment, postponed,
// cancelled or missed, and recorded. The warning window and the tray only show
// what this holds and press its buttons.
//
// Moments are on the monotonic clock: a countdown counts real seconds whatever
// the wall clock is set to. Of the occurrences whose moments fall in one local
// minute only the first goes on; after an action that ends the session or stops
// the computer, everything that waited is missed; after Lock or Turn Off Display
// the next one is warned of, and so it is after a request the system refused.
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <set>
#include <string>

#include "engine/run_list.h"
#include "platform/clock.h"
#include "schedule/run_history.h"

namespace norvale {

struct Occurrence {
  uint64_t row = 0;    // the row it came from
  bool quick = false;  // that row has no file: it goes once this is done with
  std::string name;    // as listed
  std::string action;  // the stored action name
  std::string origin;  // the schedule whose Last Run Time it sets; "" for none
  DueBy due_by = DueBy::kLocalTime;
  std::chrono::milliseconds moment{};    // when it is performed, on the monotonic clock
  LocalTime due{};                       // that moment as the wall clock showed it when taken
  std::chrono::milliseconds taken_at{};  // when it was taken, on the monotonic clock
  // How often in a row input during a warning postponed it and what it came from.
  int postponed_when_used = 0;
};

// Input postpones a warning this often in a row; then the warning waits for a button.
inline constexpr int kMostPostponesWhenUsed = 3;
// The warning's postpone list chooses this unless the user picks another.
inline constexpr int kDefaultPostponeMinutes = 10;

class RunFlow {
 public:
  struct Hooks {
    std::function<int()> warn_seconds;
    std::function<bool()> prevented;
    // Performs the action (and stores the run); the history is written here.
    // "" when the system took the request, else its error.
    std::function<std::string(const Occurrence&)> perform;
    std::function<void(const Occurrence&, const char* outcome, LocalTime when)> record;
    // The system refused what was recorded as performed at `when`: it failed with `error`.
    std::function<void(const Occurrence&, const std::string& error, LocalTime when)> failed;
    // The occurrence is over, whatever came of it.
    std::function<void(const Occurrence&)> done;
    // Postponed: the row due `minutes` later is to be made.
    std::function<void(const Occurrence&, int minutes)> postpone;
    // Whether performing the action takes the computer or the session away; what
    // waits behind such an action is missed, behind any other it goes on.
    std::function<bool(const std::string& action)> ends_session;
    // The warning shown changed (another one, or none, or it stopped counting).
    std::function<void()> shown_changed;
    // "Postpone when the computer is used during the warning" is ticked.
    std::function<bool()> postpone_when_used;
  };
  RunFlow(const Clock& clock, Hooks hooks) : clock_(clock), hooks_(std::move(hooks)) {}

  // Its warning time has come: shown at once, or waits behind the one shown.
  void Take(Occurrence o);
  // Performs the shown occurrence once its moment has come; misses waiting ones
  // whose moment passed.
  void Tick();
  // When Tick next has something to do, on the monotonic clock.
  std::optional<std::chrono::milliseconds> NextMoment() const;

  const Occurrence* Shown() const { return shown_ ? &*shown_ : nullptr; }
  const std::deque<Occurrence>& Waiting() const { return waiting_; }
  // Time left until the shown occurrence's moment.
  std::chrono::milliseconds Left() const;

  // The buttons of the warning.
  void PerformNow();
  void CancelShown();
  void PostponeShown(int minutes);
  // The minutes chosen in the warning's postpone list, for input to postpone by.
  void ChoosePostpone(int minutes);

  // Whether input now would postpone the warning shown: the preference is ticked
  // and the countdown runs.
  bool WatchesInput() const;
  // The last input was at `input_at` (monotonic): if it came during the countdown,
  // the occurrence is postponed, or after enough of that stops and waits.
  void InputSeen(std::chrono::milliseconds input_at);
  // The warning shown stopped counting: only a button (or a sleep, Prevent,
  // /cancel) ends it.
  bool Waits() const { return shown_ && waits_; }
  // A sleep, or Prevent ticked: the shown and every waiting occurrence are missed.
  void MissAll();
  // Ends, as cancelled, the occurrences that came from `row`; how many.
  int CancelRow(uint64_t row);
  // The clock was set: a minute taken before is new again, unless what took it
  // is still warned of or waiting.
  void ClockSet();
  // Takes back the occurrences `which` picks as if they had never been taken.
  void Withdraw(const std::function<bool(const Occurrence&)>& which);

 private:
  std::chrono::milliseconds Mono() const { return clock_.Monotonic(); }
  void Perform(Occurrence o);
  void End(const Occurrence& o, const char* outcome);
  void ShowNext();
  // `o` becomes the warning shown, counting down afresh.
  void Show(Occurrence o);
  void Postpone(int minutes, int when_used);
  bool Claim(const Occurrence& o);

  const Clock& clock_;
  Hooks hooks_;
  std::optional<Occurrence> shown_;
  std::deque<Occurrence> waiting_;
  std::chrono::milliseconds shown_at_{};  // input before this is not the user answering it
  int postpone_choice_ = kDefaultPostponeMinutes;
  bool waits_ = false;
  // The local minutes whose one occurrence has gone on.
  std::set<LocalTime> claimed_;
};

}  // namespace norvale
