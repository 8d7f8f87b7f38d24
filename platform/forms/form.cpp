#include "platform/forms/form.h"

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
