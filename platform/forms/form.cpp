#include "platform/forms/form.h"

#include <algorithm>
#include <set>
#include <vector>

#include "platform/forms/toolkit.h"

namespace norvale {

Form::Form(Toolkit& toolkit, std::string name) : toolkit_(toolkit), name_(std::move(name)) {}

Form::~Form() {
  if (peer_ && loaded_) peer_->Destroy();
  toolkit_.FormDestroyed(*this);
}

void Form::NotifyPeer(Prop what) {
  if (peer_ && loaded_) peer_->Changed(what);
}

void Form::SetCaption(std::string caption) {
  if (caption == caption_) return;
  caption_ = std::move(caption);
  NotifyPeer(Prop::Caption);
}

Control* Form::Find(std::string_view name, int index) const {
  for (const auto& c : controls_) {
    if (c->Name() == name && c->Index() == index) return c.get();
  }
  return nullptr;
}

void Form::Adopt(std::unique_ptr<Control> control) {
  Control& c = *control;
  controls_.push_back(std::move(control));
  if (peer_ && loaded_) c.AttachPeer(peer_->CreatePeer(c));
}

void Form::Load() {
  if (loaded_) return;
  // A fresh window: last run's controls and peers go now, not at unload, since
  // unloading usually starts inside one of their own events.
  fitted_.clear();
  fitted_client_.reset();
  controls_.clear();
  peer_.reset();
  visible_ = false;
  BuildLayout();
  peer_ = toolkit_.CreatePeer(*this);
  loaded_ = true;
  for (const auto& c : controls_) c->AttachPeer(peer_->CreatePeer(*c));
  if (state_ != WindowState::Normal) peer_->SetWindowState(state_);
  if (client_request_) peer_->Changed(Prop::Geometry);
  Form_Load();
  if (loaded_) FitTexts();
}

namespace {

constexpr int kCheckMark = 360;  // a check box's or option button's mark and its gap
constexpr int kMargin = 120;     // between a frame's (or window's) content and its edge

bool HasMark(const std::string& type) {
  return type == "CheckBox" || type == "OptionButton";
}

// The space a control needs beside its text: a button's edges, a box's check mark.
int TextPadding(const std::string& type) {
  if (type == "CommandButton") return 300;
  if (HasMark(type)) return kCheckMark;
  if (type == "Frame") return 300;  // the caption's inset and the border after it
  return 45;
}

bool HoldsText(const Control& c) {
  static const std::set<std::string> kinds = {"CommandButton", "CheckBox",  "OptionButton",
                                              "Label",         "SkinLabel", "Frame"};
  return kinds.count(c.TypeName()) && !c.Covered() && c.Visible() && c.Width() > 0 &&
         c.Height() > 0 && !c.Caption().empty();
}

// A copy laid over another control is not placed on its own: it follows.
bool IsPlacedControl(const Control& c) {
  return c.TypeName() != "Menu" && c.TypeName() != "Timer" && !c.Covered();
}

TwipsRect RectOf(const Control& c) { return {c.Left(), c.Top(), c.Width(), c.Height()}; }

bool SameRect(const TwipsRect& a, const TwipsRect& b) {
  return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height;
}

// How far the shown controls in a container (nullptr: the window) reach.
struct Reach {
  int right = 0;
  int bottom = 0;
};
Reach ReachIn(const std::vector<std::unique_ptr<Control>>& controls, const Control* container) {
  Reach reach;
  for (const auto& owned : controls) {
    const Control& o = *owned;
    if (o.Container() != container || !o.Visible() || !IsPlacedControl(o)) continue;
    if (o.Width() > 0) reach.right = std::max(reach.right, o.Left() + o.Width());
    if (o.Height() > 0) reach.bottom = std::max(reach.bottom, o.Top() + o.Height());
  }
  return reach;
}

}  // namespace

void Form::Widen(Control& grown, int by) {
  const TwipsRect was = RectOf(grown);
  const int old_right = was.left + was.width;
  const int old_width = was.width;
  grown.Move(was.left, was.top, was.width + by, was.height);
  // Frames stacked in one column keep one width.
  if (grown.TypeName() == "Frame") {
    for (const auto& owned : controls_) {
      Control& o = *owned;
      if (&o != &grown && o.TypeName() == "Frame" && o.Container() == grown.Container() &&
          o.Left() == grown.Left() && o.Width() == old_width) {
        o.Move(o.Left(), o.Top(), grown.Width(), o.Height());
      }
    }
  }
  // What stands to its right on its row moves along.
  for (const auto& owned : controls_) {
    Control& o = *owned;
    if (&o == &grown || o.Container() != grown.Container() || !IsPlacedControl(o) ||
        o.Left() < old_right - 60) {
      continue;
    }
    const bool same_row =
        o.Top() < grown.Top() + grown.Height() && o.Top() + o.Height() > grown.Top();
    if (same_row) o.Move(o.Left() + by, o.Top(), o.Width(), o.Height());
  }
  // The frame (or the window) grows when its content now reaches past it.
  const int right = ReachIn(controls_, grown.Container()).right;
  if (Control* frame = grown.Container()) {
    if (right + kMargin > frame->Width()) Widen(*frame, right + kMargin - frame->Width());
    return;
  }
  const int client = ScaleWidth();
  if (old_right <= client && right + kMargin > client) {
    SetClientSize(right + kMargin, ScaleHeight());
  }
}

void Form::Heighten(Control& grown, int by) {
  const TwipsRect was = RectOf(grown);
  const int old_bottom = was.top + was.height;
  grown.Move(was.left, was.top, was.width, was.height + by);
  for (const auto& owned : controls_) {
    Control& o = *owned;
    if (&o == &grown || o.Container() != grown.Container() || !IsPlacedControl(o)) continue;
    // What stands below it, in its columns, moves down.
    const bool below = o.Top() >= old_bottom - 60;
    const bool overlaps = o.Left() < was.left + was.width && o.Left() + o.Width() > was.left;
    if (below && overlaps) o.Move(o.Left(), o.Top() + by, o.Width(), o.Height());
  }
  const int bottom = ReachIn(controls_, grown.Container()).bottom;
  if (Control* frame = grown.Container()) {
    if (bottom + kMargin > frame->Height()) Heighten(*frame, bottom + kMargin - frame->Height());
    return;
  }
  if (old_bottom <= ScaleHeight() && bottom + kMargin > ScaleHeight()) {
    SetClientSize(ScaleWidth(), bottom + kMargin);
  }
}

void Form::RestoreDesignedLayout() {
  // Coordinate by coordinate: one the program or the user changed since stays.
  const auto back = [](int now, int fitted, int designed) { return now == fitted ? designed : now; };
  for (const FittedPlace& f : fitted_) {
    Control& c = *f.control;
    c.Move(back(c.Left(), f.fitted.left, f.designed.left),
           back(c.Top(), f.fitted.top, f.designed.top),
           back(c.Width(), f.fitted.width, f.designed.width),
           back(c.Height(), f.fitted.height, f.designed.height));
  }
  fitted_.clear();
  if (fitted_client_) {
    const FittedClient f = *fitted_client_;
    fitted_client_.reset();
    const int width = back(ScaleWidth(), f.fitted_width, f.designed_width);
    const int height = back(ScaleHeight(), f.fitted_height, f.designed_height);
    if (width != ScaleWidth() || height != ScaleHeight()) SetClientSize(width, height);
  }
}

void Form::FitTexts() {
  if (!peer_ || !loaded_) return;
  const bool restored = !fitted_.empty() || fitted_client_;
  RestoreDesignedLayout();
  std::vector<std::pair<Control*, TwipsRect>> designed;
  for (const auto& owned : controls_) {
    if (IsPlacedControl(*owned)) designed.emplace_back(owned.get(), RectOf(*owned));
  }
  const int width = ScaleWidth(), height = ScaleHeight();
  GrowForTexts();
  for (const auto& [c, was] : designed) {
    const TwipsRect now = RectOf(*c);
    if (!SameRect(was, now)) fitted_.push_back({c, was, now});
  }
  if (ScaleWidth() != width || ScaleHeight() != height) {
    fitted_client_ = FittedClient{width, height, ScaleWidth(), ScaleHeight()};
  }
  // What moved after it was drawn would leave bits of its old place and text.
  if (!fitted_.empty() || restored) peer_->Repaint();
}

void Form::GrowForTexts() {
  struct Need {
    Control* control;
    int width;
  };
  std::vector<Need> needs;
  for (size_t i = 0; i < controls_.size(); ++i) {
    Control& c = *controls_[i];
    if (!HoldsText(c)) continue;
    // Buttons and frame captions hold one line; the rest wrap when at least two lines high.
    bool wraps = false;
    if (c.TypeName() != "CommandButton" && c.TypeName() != "Frame") {
      const std::optional<int> line = peer_->TextHeight(c, FormPeer::kOneLine);
      wraps = line ? c.Height() >= 2 * *line : c.Height() >= 450;
    }
    if (wraps) {
      const int mark = HasMark(c.TypeName()) ? kCheckMark : 0;
      const std::optional<int> needed = peer_->TextHeight(c, c.Width() - mark);
      if (needed && *needed > c.Height()) Heighten(c, *needed - c.Height());
      continue;
    }
    const std::optional<int> text = peer_->TextWidth(c);
    if (!text) return;
    needs.push_back({&c, *text + TextPadding(c.TypeName())});
  }
  // Labels of one column keep one width, so the boxes beside them stay aligned.
  for (Need& n : needs) {
    const Control& c = *n.control;
    if (c.TypeName() != "Label") continue;
    for (const Need& m : needs) {
      const Control& o = *m.control;
      if (o.TypeName() == "Label" && o.Container() == c.Container() && o.Left() == c.Left() &&
          o.Width() == c.Width()) {
        n.width = std::max(n.width, m.width);
      }
    }
  }
  for (const Need& n : needs) {
    if (n.width > n.control->Width()) Widen(*n.control, n.width - n.control->Width());
  }
}

void Form::Show() {
  Load();
  if (!loaded_ || visible_) return;  // Form_Load may have unloaded it
  visible_ = true;
  NotifyPeer(Prop::Visible);
}

void Form::ShowModal() {
  Load();
  if (!loaded_) return;
  modal_ = true;
  visible_ = true;
  NotifyPeer(Prop::Visible);
  toolkit_.RunModal(*this);
  modal_ = false;
}

void Form::Hide() {
  if (!visible_) return;
  visible_ = false;
  NotifyPeer(Prop::Visible);
}

bool Form::Unload(UnloadMode mode) {
  if (!loaded_ || unloading_) return true;
  unloading_ = true;
  int cancel = 0;
  Form_QueryUnload(cancel, mode);
  if (cancel == 0) Form_Unload(cancel);
  unloading_ = false;
  if (cancel != 0 || !loaded_) return cancel == 0;
  visible_ = false;
  loaded_ = false;
  modal_ = false;
  hook_ = nullptr;
  peer_->Destroy();
  return true;
}

WindowState Form::GetWindowState() const {
  return peer_ && loaded_ ? peer_->GetWindowState() : state_;
}

void Form::SetWindowState(WindowState state) {
  state_ = state;
  if (peer_ && loaded_) peer_->SetWindowState(state);
}

void Form::Move(int left, int top, int width, int height) {
  bounds_ = {left, top, width, height};
  NotifyPeer(Prop::Geometry);
}

void Form::SetClientSize(int width, int height) {
  client_request_ = std::make_pair(width, height);
  NotifyPeer(Prop::Geometry);
}

int Form::ScaleWidth() const {
  return peer_ && loaded_ ? peer_->ScaleWidth() : bounds_.width;
}
int Form::ScaleHeight() const {
  return peer_ && loaded_ ? peer_->ScaleHeight() : bounds_.height;
}

void Form::SetIconResource(std::string name) {
  icon_ = std::move(name);
  NotifyPeer(Prop::Style);
}

void Form::SetRegion(std::optional<TwipsRect> region) {
  region_ = region;
  NotifyPeer(Prop::Style);
}

void Form::SetLook(std::optional<Color> fore, std::optional<Color> back, bool dark_title_bar) {
  fore_ = fore;
  back_ = back;
  dark_title_ = dark_title_bar;
  NotifyPeer(Prop::Colors);
}

void Form::Activate() {
  if (peer_ && loaded_) peer_->Activate();
}

}  // namespace norvale
