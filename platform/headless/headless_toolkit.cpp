#include "platform/headless/headless_toolkit.h"

#include <algorithm>

namespace norvale::headless {
namespace {

class ControlPeerInMemory final : public ControlPeer {
 public:
  void Changed(Prop) override {}
};

class TimerPeer final : public ControlPeer {
 public:
  TimerPeer(HeadlessToolkit& kit, Timer& timer) : kit_(kit), timer_(timer) { Changed(Prop::Timer); }
  ~TimerPeer() override { kit_.DisarmTimer(timer_); }
  void Changed(Prop what) override {
    if (what != Prop::Timer && what != Prop::Enabled) return;
    if (timer_.Armed()) {
      kit_.ArmTimer(timer_);
    } else {
      kit_.DisarmTimer(timer_);
    }
  }

 private:
  HeadlessToolkit& kit_;
  Timer& timer_;
};

class FormPeerInMemory final : public FormPeer {
 public:
  FormPeerInMemory(HeadlessToolkit& kit, Form& form) : kit_(kit), form_(form) {}
  // A window without borders: the client area is the whole window.
  void Changed(Prop what) override {
    if (what != Prop::Geometry) return;
    if (auto size = form_.RequestedClientSize()) {
      const TwipsRect b = form_.Bounds();
      form_.ClientSizeApplied();
      form_.Move(b.left, b.top, size->first, size->second);
    }
  }
  std::unique_ptr<ControlPeer> CreatePeer(Control& control) override {
    if (auto* timer = dynamic_cast<Timer*>(&control)) {
      return std::make_unique<TimerPeer>(kit_, *timer);
    }
    return std::make_unique<ControlPeerInMemory>();
  }
  // A shown window is told of its new size, as a real one is.
  void SetWindowState(WindowState state) override {
    if (state_ == state) return;
    state_ = state;
    if (form_.Visible()) form_.NotifyResized(form_.Bounds());
  }
  WindowState GetWindowState() const override { return state_; }
  int ScaleWidth() const override { return form_.Bounds().width; }
  int ScaleHeight() const override { return form_.Bounds().height; }
  void Activate() override {}
  std::optional<int> TextWidth(const Control& control) const override {
    const std::string& caption = control.Caption();
    const int per_char = kit_.TwipsPerCharacter();
    if (per_char <= 0) return std::nullopt;
    int chars = 0;
    for (size_t i = 0; i < caption.size(); ++i) {
      if (caption[i] == '&' && i + 1 < caption.size()) ++i;
      if ((static_cast<unsigned char>(caption[i]) & 0xC0) != 0x80) ++chars;
    }
    return chars * per_char;
  }
  // Lines of the measured width, 240 twips each (a 12-point line).
  std::optional<int> TextHeight(const Control& control, int width) const override {
    const auto one_line = TextWidth(control);
    if (!one_line) return std::nullopt;
    if (width >= kOneLine || *one_line == 0) return 240;
    const int wrap = std::max(width, 1);
    return 240 * ((*one_line + wrap - 1) / wrap);
  }
  void Destroy() override {
    for (const auto& c : form_.Controls()) {
      if (auto* timer = dynamic_cast<Timer*>(c.get())) kit_.DisarmTimer(*timer);
    }
  }

 private:
  HeadlessToolkit& kit_;
  Form& form_;
  WindowState state_ = WindowState::Normal;
};

}  // namespace

void HeadlessTray::Record(Call call) {
  if (calls_.size() >= kKeptCalls) calls_.pop_front();
  calls_.push_back(std::move(call));
}

bool HeadlessTray::Add(Form&, const std::string& tip) {
  const bool ok = !fail_adds_;
  wanted_ = true;
  Record({"add", tip, ok});
  if (ok) {
    shown_ = true;
    tip_ = tip;
  }
  return ok;
}

bool HeadlessTray::Modify(const std::string& tip) {
  const bool ok = shown_ && !fail_adds_;
  Record({"modify", tip, ok});
  if (ok) tip_ = tip;
  return ok;
}

bool HeadlessTray::Delete() {
  const bool ok = shown_;
  Record({"delete", "", ok});
  shown_ = false;
  wanted_ = false;
  return ok;
}

void HeadlessTray::RestartShell() {
  shown_ = false;
  if (!wanted_) return;
  if (TaskbarCreated) {
    TaskbarCreated();
  } else if (!fail_adds_) {
    shown_ = true;
  }
}

MsgBoxResult DefaultAnswers::MsgBox(const std::string& text, MsgBoxButtons buttons, MsgBoxIcon,
                                    const std::string& title) {
  if (Shown) Shown(title, text);
  return DefaultAnswer(buttons);
}

}  // namespace norvale::headless

namespace norvale {

MsgBoxResult DefaultAnswer(MsgBoxButtons buttons) {
  switch (buttons) {
    case MsgBoxButtons::OK:
      return MsgBoxResult::OK;
    case MsgBoxButtons::OKCancel:
    case MsgBoxButtons::OKCancelSafe:
      return MsgBoxResult::Cancel;
    case MsgBoxButtons::YesNo:
      return MsgBoxResult::No;
    case MsgBoxButtons::AbortRetryIgnore:
      return MsgBoxResult::Abort;
  }
  return MsgBoxResult::Cancel;
}

}  // namespace norvale

namespace norvale::headless {

HeadlessToolkit::~HeadlessToolkit() = default;

std::unique_ptr<FormPeer> HeadlessToolkit::CreatePeer(Form& form) {
  if (std::find(forms_.begin(), forms_.end(), &form) == forms_.end()) forms_.push_back(&form);
  return std::make_unique<FormPeerInMemory>(*this, form);
}

void HeadlessToolkit::RunModal(Form& form) {
  auto it = modal_users_.find(form.Name());
  if (it == modal_users_.end()) {
    Unexpected("unexpected modal window " + form.Name());
  } else {
    it->second(form);
  }
  if (form.Loaded() && form.Visible()) form.Hide();
  form.EndModal();
}

void HeadlessToolkit::DoEvents() {
  ++do_events_;
  if (on_do_events_ && !in_do_events_) {
    in_do_events_ = true;
    on_do_events_();
    in_do_events_ = false;
  }
}

void HeadlessToolkit::PopupMenu(Form& owner, Menu& menu) {
  popups_.push_back(menu.Name());
  if (popup_choices_.empty()) return;
  const auto [name, index] = popup_choices_.front();
  popup_choices_.pop_front();
  Control* chosen = owner.Find(name, index);
  // An item of a submenu is reached through its parents.
  const Control* parent = chosen ? chosen->Container() : nullptr;
  while (parent && parent != &menu) parent = parent->Container();
  if (!chosen || chosen->TypeName() != "Menu" || !parent) {
    Unexpected("pop-up menu " + menu.Name() + " has no item " + name + "(" + std::to_string(index) +
               ")");
    return;
  }
  chosen->UserClick();
}

void HeadlessToolkit::ChooseFromPopup(std::string name, int index) {
  popup_choices_.emplace_back(std::move(name), index);
}

bool HeadlessToolkit::ActivateByTitle(const std::string& title) {
  activations_.push_back(title);
  return std::any_of(forms_.begin(), forms_.end(),
                     [&](Form* f) { return f->Loaded() && f->Caption() == title; });
}

void HeadlessToolkit::OnModal(std::string form_name, std::function<void(Form&)> user) {
  modal_users_[std::move(form_name)] = std::move(user);
}

void HeadlessToolkit::Advance(std::chrono::milliseconds by) {
  const std::chrono::milliseconds target = clock_.Elapsed() + by;
  for (;;) {
    auto best = timers_.end();
    for (auto it = timers_.begin(); it != timers_.end(); ++it) {
      if (it->due > target || !it->timer->Parent().Loaded()) continue;
      if (best == timers_.end() || it->due < best->due ||
          (it->due == best->due && it->order < best->order)) {
        best = it;
      }
    }
    if (best == timers_.end()) break;
    Timer* timer = best->timer;
    if (best->due > clock_.Elapsed()) clock_.Advance(best->due - clock_.Elapsed());
    // A late timer fires once, not once for every period it missed.
    best->due = std::max(best->due, clock_.Elapsed()) +
                std::chrono::milliseconds{std::max(timer->Interval(), 1)};
    timer->Fire();  // may arm, disarm or unload anything
  }
  if (target > clock_.Elapsed()) clock_.Advance(target - clock_.Elapsed());
}

void HeadlessToolkit::SleepUntil(LocalTime wake) {
  clock_.SleepUntil(wake);
  Broadcast(SystemChange::kResumed);
}

void HeadlessToolkit::SetWallClock(LocalTime now) {
  clock_.Set(now);
  Broadcast(SystemChange::kTimeChanged);
}

void HeadlessToolkit::Broadcast(SystemChange change) {
  const std::vector<Form*> forms = forms_;  // a handler may open or close windows
  for (Form* f : forms) {
    if (std::find(forms_.begin(), forms_.end(), f) != forms_.end() && f->Loaded()) {
      f->NotifySystemChange(change);
    }
  }
}

std::optional<intptr_t> HeadlessToolkit::SendMessage(Form& form, WindowMessage m) {
  if (!form.Loaded()) return std::nullopt;
  return form.OfferMessage(m);
}

void HeadlessToolkit::ArmTimer(Timer& timer) {
  const auto due = clock_.Elapsed() + std::chrono::milliseconds{timer.Interval()};
  for (Armed& a : timers_) {
    if (a.timer == &timer) {
      a.due = due;
      a.order = next_order_++;
      return;
    }
  }
  timers_.push_back({&timer, due, next_order_++});
}

void HeadlessToolkit::DisarmTimer(const Timer& timer) {
  timers_.erase(std::remove_if(timers_.begin(), timers_.end(),
                               [&](const Armed& a) { return a.timer == &timer; }),
                timers_.end());
}

void HeadlessToolkit::Forget(Form& form) {
  forms_.erase(std::remove(forms_.begin(), forms_.end(), &form), forms_.end());
}

}  // namespace norvale::headless
