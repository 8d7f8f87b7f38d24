#include "engine/run_flow.h"

#include <algorithm>

namespace norvale {

using namespace std::chrono;

bool RunFlow::Claim(const Occurrence& o) {
  const LocalTime now = clock_.Now();
  const seconds lead{hooks_.warn_seconds ? hooks_.warn_seconds() : 0};
  // No occurrence taken from now on can fall in a minute long past, nor, after
  // the clock was set back, in one further ahead than a warning reaches.
  std::erase_if(claimed_, [&](LocalTime m) {
    return m < now - minutes{10} || m > now + lead + minutes{2};
  });
  return claimed_.insert(floor<minutes>(o.due)).second;
}

void RunFlow::Take(Occurrence o) {
  if ((hooks_.prevented && hooks_.prevented()) || !Claim(o)) {
    End(o, kOutcomeMissed);
    return;
  }
  if (shown_) {
    waiting_.push_back(std::move(o));
    return;
  }
  if (o.moment <= Mono()) {
    Perform(std::move(o));
    return;
  }
  Show(std::move(o));
  if (hooks_.shown_changed) hooks_.shown_changed();
}

void RunFlow::Show(Occurrence o) {
  shown_ = std::move(o);
  shown_at_ = Mono();
  postpone_choice_ = kDefaultPostponeMinutes;
  waits_ = false;
}

void RunFlow::Tick() {
  if (shown_ && !waits_ && shown_->moment <= Mono()) {
    Occurrence o = std::move(*shown_);
    shown_.reset();
    Perform(std::move(o));
    return;
  }
  const milliseconds now = Mono();
  while (true) {
    const auto passed = std::find_if(waiting_.begin(), waiting_.end(),
                                     [&](const Occurrence& w) { return w.moment <= now; });
    if (passed == waiting_.end()) break;
    const Occurrence o = *passed;
    waiting_.erase(passed);
    End(o, kOutcomeMissed);
  }
}

std::optional<milliseconds> RunFlow::NextMoment() const {
  std::optional<milliseconds> next;
  if (shown_ && !waits_) next = shown_->moment;
  for (const Occurrence& w : waiting_) {
    if (!next || w.moment < *next) next = w.moment;
  }
  return next;
}

milliseconds RunFlow::Left() const {
  if (!shown_) return milliseconds{0};
  return std::max(milliseconds{0}, shown_->moment - Mono());
}

void RunFlow::Perform(Occurrence o) {
  shown_.reset();
  // Recorded before the action: after a shut-down there is no later.
  const LocalTime when = clock_.Now();
  if (hooks_.record) hooks_.record(o, kOutcomePerformed, when);
  const std::string refused = hooks_.perform ? hooks_.perform(o) : std::string();
  if (!refused.empty() && hooks_.failed) hooks_.failed(o, refused, when);
  if (hooks_.done) hooks_.done(o);
  // A refused request took nothing away, so what waits goes on.
  if (!refused.empty() || (hooks_.ends_session && !hooks_.ends_session(o.action))) {
    ShowNext();
    return;
  }
  std::deque<Occurrence> behind;
  behind.swap(waiting_);
  for (const Occurrence& w : behind) End(w, kOutcomeMissed);
  if (hooks_.shown_changed) hooks_.shown_changed();
}

void RunFlow::End(const Occurrence& o, const char* outcome) {
  if (hooks_.record) hooks_.record(o, outcome, clock_.Now());
  if (hooks_.done) hooks_.done(o);
}

void RunFlow::ShowNext() {
  const milliseconds now = Mono();
  while (!shown_ && !waiting_.empty()) {
    Occurrence o = std::move(waiting_.front());
    waiting_.pop_front();
    if (o.moment <= now) {
      End(o, kOutcomeMissed);
    } else {
      Show(std::move(o));
    }
  }
  if (hooks_.shown_changed) hooks_.shown_changed();
}

void RunFlow::PerformNow() {
  if (!shown_) return;
  Occurrence o = std::move(*shown_);
  shown_.reset();
  Perform(std::move(o));
}

void RunFlow::CancelShown() {
  if (!shown_) return;
  const Occurrence o = std::move(*shown_);
  shown_.reset();
  End(o, kOutcomeCancelled);
  ShowNext();
}

void RunFlow::PostponeShown(int minutes) {
  // The user answered: input counts from none again.
  Postpone(minutes, 0);
}

void RunFlow::ChoosePostpone(int minutes) {
  if (minutes > 0) postpone_choice_ = minutes;
}

bool RunFlow::WatchesInput() const {
  return shown_ && !waits_ && hooks_.postpone_when_used && hooks_.postpone_when_used();
}

void RunFlow::InputSeen(milliseconds input_at) {
  // Input from before the warning showed is not an answer to it, and input after
  // its moment came too late: the tick performs it.
  if (!WatchesInput() || input_at <= shown_at_ || input_at >= shown_->moment) return;
  if (shown_->postponed_when_used >= kMostPostponesWhenUsed) {
    waits_ = true;
    if (hooks_.shown_changed) hooks_.shown_changed();
    return;
  }
  Postpone(postpone_choice_, shown_->postponed_when_used + 1);
}

void RunFlow::Postpone(int minutes, int when_used) {
  if (!shown_) return;
  Occurrence o = std::move(*shown_);
  shown_.reset();
  o.postponed_when_used = when_used;
  if (hooks_.record) hooks_.record(o, kOutcomePostponed, clock_.Now());
  // Done first: a postponed row postponed again takes back its own name.
  if (hooks_.done) hooks_.done(o);
  if (hooks_.postpone) hooks_.postpone(o, minutes);
  ShowNext();
}

void RunFlow::MissAll() {
  if (!shown_ && waiting_.empty()) return;
  std::deque<Occurrence> all;
  all.swap(waiting_);
  if (shown_) all.push_front(std::move(*shown_));
  shown_.reset();
  for (const Occurrence& o : all) End(o, kOutcomeMissed);
  if (hooks_.shown_changed) hooks_.shown_changed();
}

int RunFlow::CancelRow(uint64_t row) {
  int n = 0;
  for (auto it = waiting_.begin(); it != waiting_.end();) {
    if (it->row != row) {
      ++it;
      continue;
    }
    const Occurrence o = *it;
    it = waiting_.erase(it);
    End(o, kOutcomeCancelled);
    ++n;
  }
  if (shown_ && shown_->row == row) {
    const Occurrence o = std::move(*shown_);
    shown_.reset();
    End(o, kOutcomeCancelled);
    ++n;
    ShowNext();
  }
  return n;
}

void RunFlow::ClockSet() {
  claimed_.clear();
  if (shown_) claimed_.insert(floor<minutes>(shown_->due));
  for (const Occurrence& w : waiting_) claimed_.insert(floor<minutes>(w.due));
}

void RunFlow::Withdraw(const std::function<bool(const Occurrence&)>& which) {
  const auto release = [&](const Occurrence& o) { claimed_.erase(floor<minutes>(o.due)); };
  for (auto it = waiting_.begin(); it != waiting_.end();) {
    if (which(*it)) {
      release(*it);
      it = waiting_.erase(it);
    } else {
      ++it;
    }
  }
  if (shown_ && which(*shown_)) {
    release(*shown_);
    shown_.reset();
    ShowNext();
  }
}

}  // namespace norvale
