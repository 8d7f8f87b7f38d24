#include "tests/fakes/fake_toolkit.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace norvale::fakes {
namespace {

class FakeControlPeer final : public ControlPeer {
 public:
  void Changed(Prop) override {}
};

class FakeTimerPeer final : public ControlPeer {
 public:
  FakeTimerPeer(FakeToolkit& kit, Timer& timer) : kit_(kit), timer_(timer) { Changed(Prop::Timer); }
  ~FakeTimerPeer() override { kit_.DisarmTimer(timer_); }
  void Changed(Prop what) override {
    if (what != Prop::Timer && what != Prop::Enabled) return;
    if (timer_.Armed()) {
      kit_.ArmTimer(timer_);
    } else {
      kit_.DisarmTimer(timer_);
    }
  }

 private:
  FakeToolkit& kit_;
  Timer& timer_;
};

class FakeFormPeer final : public FormPeer {
 public:
  FakeFormPeer(FakeToolkit& kit, Form& form) : kit_(kit), form_(form) {}
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
      return std::make_unique<FakeTimerPeer>(kit_, *timer);
    }
    return std::make_unique<FakeControlPeer>();
  }
  void SetWindowState(WindowState state) override { state_ = state; }
  WindowState GetWindowState() const override { return state_; }
  int ScaleWidth() const override { return form_.Bounds().width; }
  int ScaleHeight() const override { return form_.Bounds().height; }
  void Activate() override {}
  void Destroy() override {
    for (const auto& c : form_.Controls()) {
      if (auto* timer = dynamic_cast<Timer*>(c.get())) kit_.DisarmTimer(*timer);
    }
  }

 private:
  FakeToolkit& kit_;
  Form& form_;
  WindowState state_ = WindowState::Normal;
};

}  // namespace

bool FakeTray::Add(Form&, const std::string& tip) {
  const bool ok = !fail_adds_;
  calls_.push_back({"add", tip, ok});
  if (ok) {
    shown_ = true;
    tip_ = tip;
  }
  return ok;
}

bool FakeTray::Modify(const std::string& tip) {
  const bool ok = shown_ && !fail_adds_;
  calls_.push_back({"modify", tip, ok});
  if (ok) tip_ = tip;
  return ok;
}

bool FakeTray::Delete() {
  const bool ok = shown_;
  calls_.push_back({"delete", "", ok});
  shown_ = false;
  return ok;
}

MsgBoxResult StrictMessageBoxes::MsgBox(const std::string& text, MsgBoxButtons buttons,
                                        MsgBoxIcon icon, const std::string& title) {
  shown_.push_back({text, buttons, icon, title});
  if (expected_.empty()) {
    ADD_FAILURE() << "unexpected message box \"" << title << "\": " << text;
    return buttons == MsgBoxButtons::OK ? MsgBoxResult::OK : MsgBoxResult::Cancel;
  }
  auto [want, answer] = expected_.front();
  expected_.pop_front();
  if (!want.empty()) {
    EXPECT_EQ(want, text) << "message box text";
  }
  return answer;
}

void StrictMessageBoxes::Expect(std::string text, MsgBoxResult answer) {
  expected_.emplace_back(std::move(text), answer);
}

FakeToolkit::~FakeToolkit() = default;

std::unique_ptr<FormPeer> FakeToolkit::CreatePeer(Form& form) {
  if (std::find(forms_.begin(), forms_.end(), &form) == forms_.end()) forms_.push_back(&form);
  return std::make_unique<FakeFormPeer>(*this, form);
}

void FakeToolkit::RunModal(Form& form) {
  auto it = modal_users_.find(form.Name());
  if (it == modal_users_.end()) {
    ADD_FAILURE() << "unexpected modal window " << form.Name();
  } else {
    it->second(form);
  }
  if (form.Loaded() && form.Visible()) form.Hide();
  form.EndModal();
}

void FakeToolkit::DoEvents() {
  ++do_events_;
  if (on_do_events_ && !in_do_events_) {
    in_do_events_ = true;
    on_do_events_();
    in_do_events_ = false;
  }
}

void FakeToolkit::PopupMenu(Form& owner, Menu& menu) {
  popups_.push_back(menu.Name());
  if (popup_choices_.empty()) return;
  const auto [name, index] = popup_choices_.front();
  popup_choices_.pop_front();
  Control* chosen = owner.Find(name, index);
  if (!chosen || chosen->TypeName() != "Menu" || chosen->Container() != &menu) {
    ADD_FAILURE() << "pop-up menu " << menu.Name() << " has no item " << name << "(" << index
                  << ")";
    return;
  }
  chosen->UserClick();
}

void FakeToolkit::ChooseFromPopup(std::string name, int index) {
  popup_choices_.emplace_back(std::move(name), index);
}

bool FakeToolkit::ActivateByTitle(const std::string& title) {
  activations_.push_back(title);
  return std::any_of(forms_.begin(), forms_.end(),
                     [&](Form* f) { return f->Loaded() && f->Caption() == title; });
}

void FakeToolkit::OnModal(std::string form_name, std::function<void(Form&)> user) {
  modal_users_[std::move(form_name)] = std::move(user);
}

void FakeToolkit::Advance(std::chrono::milliseconds by) {
  const LocalTime target = clock_.Now() + by;
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
    if (best->due > clock_.Now()) clock_.Set(best->due);
    best->due += std::chrono::milliseconds{timer->Interval()};
    timer->Fire();  // may arm, disarm or unload anything
  }
  clock_.Set(target);
}

std::optional<intptr_t> FakeToolkit::SendMessage(Form& form, WindowMessage m) {
  if (!form.Loaded()) return std::nullopt;
  return form.OfferMessage(m);
}

void FakeToolkit::ArmTimer(Timer& timer) {
  const LocalTime due = clock_.Now() + std::chrono::milliseconds{timer.Interval()};
  for (Armed& a : timers_) {
    if (a.timer == &timer) {
      a.due = due;
      a.order = next_order_++;
      return;
    }
  }
  timers_.push_back({&timer, due, next_order_++});
}

void FakeToolkit::DisarmTimer(const Timer& timer) {
  timers_.erase(std::remove_if(timers_.begin(), timers_.end(),
                               [&](const Armed& a) { return a.timer == &timer; }),
                timers_.end());
}

void FakeToolkit::Forget(Form& form) {
  forms_.erase(std::remove(forms_.begin(), forms_.end(), &form), forms_.end());
}

}  // namespace norvale::fakes
