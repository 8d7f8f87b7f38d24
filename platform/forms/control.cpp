#include "platform/forms/control.h"

#include <stdexcept>

#include "platform/forms/form.h"

namespace norvale {

Control::Control(Form& form, std::string type_name, std::string name, int index)
    : form_(form), type_name_(std::move(type_name)), name_(std::move(name)), index_(index) {}

Control::~Control() = default;

void Control::Notify(Prop what) {
  if (peer_ && form_.Loaded()) peer_->Changed(what);
}

void Control::SetCaption(std::string text) {
  if (text == text_) return;
  text_ = std::move(text);
  Notify(Prop::Caption);
  if (overlay_) overlay_->SetCaption(text_);
}

void Control::SetEnabled(bool on) {
  if (on == enabled_) return;
  enabled_ = on;
  Notify(Prop::Enabled);
}

void Control::SetVisible(bool on) {
  if (on == visible_) return;
  visible_ = on;
  Notify(Prop::Visible);
  if (overlay_) overlay_->SetVisible(on);
}

void Control::SetToolTipText(std::string tip) {
  if (tip == tool_tip_) return;
  tool_tip_ = std::move(tip);
  Notify(Prop::Style);
}

void Control::Move(int left, int top, int width, int height) {
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  Notify(Prop::Geometry);
  if (overlay_) overlay_->Move(left, top, width, height);
}

void Control::LayOver(Control& copy) {
  if (&copy == this) return;
  copy.covered_ = this;
  overlay_ = &copy;
  copy.SetContainer(container_);
  copy.Move(left_, top_, width_, height_);
  copy.SetCaption(text_);
  copy.SetVisible(visible_);
}

void Control::SetColors(std::optional<Color> fore, std::optional<Color> back) {
  fore_ = fore;
  back_ = back;
  Notify(Prop::Colors);
}

void Control::Refresh() {
  if (peer_ && form_.Loaded()) peer_->Refresh();
}

void Control::SetFocus() {
  if (peer_ && form_.Loaded()) peer_->SetFocus();
}

void Control::ShowTip(std::string title, std::string text) {
  tip_shown_ = text;
  if (peer_ && form_.Loaded()) peer_->ShowTip(title, text);
}

void Control::UserClick() {
  FireClick();
}

void Control::AttachPeer(std::unique_ptr<ControlPeer> peer) {
  peer_ = std::move(peer);
}
void Control::DetachPeer() {
  peer_.reset();
}

void CheckBox::SetValue(int value) {
  if (value < 0 || value > 2) throw std::invalid_argument("check box value");
  if (value == value_) return;
  value_ = value;
  Notify(Prop::Value);
  FireClick();
}

void OptionButton::SetValue(bool value) {
  if (value == value_) return;
  if (value) {
    for (const auto& other : Parent().Controls()) {
      auto* option = dynamic_cast<OptionButton*>(other.get());
      if (option && option != this && option->Container() == Container() && option->value_) {
        option->value_ = false;
        option->Notify(Prop::Value);
      }
    }
  }
  value_ = value;
  Notify(Prop::Value);
  if (value) FireClick();
}

void TextBox::SetPasswordChar(std::string c) {
  password_char_ = std::move(c);
  Notify(Prop::Style);
}

void TextBox::SetText(std::string text) {
  if (text == Text()) return;
  Control::SetText(std::move(text));
  if (Change) Change();
}

void ListControl::AddItem(std::string item) {
  items_.push_back(std::move(item));
  Notify(Prop::Items);
}

void ListControl::RemoveItem(int i) {
  if (i < 0 || i >= ListCount()) throw std::out_of_range("list index");
  items_.erase(items_.begin() + i);
  if (list_index_ == i) {
    list_index_ = -1;
  } else if (list_index_ > i) {
    --list_index_;
  }
  Notify(Prop::Items);
}

void ListControl::Clear() {
  items_.clear();
  list_index_ = -1;
  Notify(Prop::Items);
}

void ListControl::SetListIndex(int i) {
  if (i < -1 || i >= ListCount()) throw std::out_of_range("list index");
  if (i == list_index_) return;
  list_index_ = i;
  if (i >= 0 && TypeName() == "ComboBox") SetText(items_[static_cast<size_t>(i)]);
  Notify(Prop::Selection);
  FireClick();
}

void ComboBox::SetComboStyle(Style s) {
  style_ = s;
  Notify(Prop::Style);
}

void ComboBox::UserType(std::string text) {
  SetText(std::move(text));
  if (Change) Change();
}

void ComboBox::UserKeyPress(int key_ascii) {
  if (KeyPress) KeyPress(key_ascii);
}

void ListView::AddColumn(std::string text, int width_twips) {
  columns_.push_back({std::move(text), width_twips});
  Notify(Prop::Columns);
}

void ListView::SetColumnText(size_t i, std::string text) {
  columns_.at(i).Text = std::move(text);
  Notify(Prop::Columns);
}

void ListView::SetColumnWidth(size_t i, int width_twips) {
  if (columns_.at(i).Width == width_twips) return;  // nothing to lay out again
  columns_.at(i).Width = width_twips;
  Notify(Prop::Columns);
}

void ListView::UserResizeColumn(size_t i, int width_twips) {
  columns_.at(i).Width = width_twips;
}

void ListView::SetItems(ListItems items) {
  items_ = std::move(items);
  if (selected_ && *selected_ >= items_.size()) selected_.reset();
  ++revision_;
  if (RowsChanged) RowsChanged();
  Notify(Prop::Items);
}

size_t ListView::AddItem(ListItem item) {
  items_.push_back(std::move(item));
  ++revision_;
  if (RowsChanged) RowsChanged();
  Notify(Prop::Items);
  return items_.size() - 1;
}

void ListView::RemoveItem(size_t row) {
  if (row >= items_.size()) throw std::out_of_range("list row");
  items_.erase(items_.begin() + static_cast<long>(row));
  if (selected_ && *selected_ == row) {
    selected_.reset();
  } else if (selected_ && *selected_ > row) {
    --*selected_;
  }
  ++revision_;
  if (RowsChanged) RowsChanged();
  Notify(Prop::Items);
}

void ListView::SetItemText(size_t row, std::string text) {
  items_.at(row).Text = std::move(text);
  ++revision_;
  if (RowsChanged) RowsChanged();
  Notify(Prop::Items);
}

void ListView::SetSubItem(size_t row, size_t column, std::string text) {
  items_.at(row).SetSubItem(column, std::move(text));
  ++revision_;
  if (RowsChanged) RowsChanged();
  Notify(Prop::Items);
}

void ListView::SetSelectedItem(std::optional<size_t> row) {
  if (row && *row >= items_.size()) throw std::out_of_range("list row");
  selected_ = row;
  Notify(Prop::Selection);
}

void ListView::UserClickItem(size_t row) {
  SetSelectedItem(row);
  if (ItemClick) ItemClick(row);
}

void ListView::UserActivateItem(size_t row) {
  if (row >= items_.size()) return;
  if (ItemActivate) ItemActivate(row);
}

size_t TreeView::AddNode(std::string key, std::string text) {
  nodes_.push_back({std::move(key), std::move(text), false});
  Notify(Prop::Items);
  return nodes_.size() - 1;
}

void TreeView::ClearNodes() {
  nodes_.clear();
  Notify(Prop::Items);
}

void TreeView::SetNodeText(size_t i, std::string text) {
  nodes_.at(i).Text = std::move(text);
  Notify(Prop::Items);
}

void TreeView::SetChecked(size_t i, bool checked) {
  if (nodes_.at(i).Checked == checked) return;
  nodes_[i].Checked = checked;
  Notify(Prop::Value);
}

std::optional<size_t> TreeView::FindKey(std::string_view key) const {
  for (size_t i = 0; i < nodes_.size(); ++i) {
    if (nodes_[i].Key == key) return i;
  }
  return std::nullopt;
}

void TreeView::UserCheckNode(size_t i, bool checked) {
  SetChecked(i, checked);
  if (NodeCheck) NodeCheck(i);
}

void TreeView::UserClickLabel(size_t i) {
  if (label_click_toggles_ && i < nodes_.size()) UserCheckNode(i, !nodes_[i].Checked);
}

void DTPicker::SetPickerFormat(Format f) {
  format_ = f;
  Notify(Prop::Style);
}

void DTPicker::SetValue(LocalTime t) {
  if (t == value_) return;
  value_ = t;
  Notify(Prop::Value);
}

void DTPicker::UserPick(LocalTime t) {
  SetValue(t);
  if (Change) Change();
}

void Timer::SetInterval(int ms) {
  if (ms < 0) throw std::invalid_argument("timer interval");
  interval_ = ms;
  Notify(Prop::Timer);
}

void Menu::SetChecked(bool on) {
  if (on == checked_) return;
  checked_ = on;
  Notify(Prop::Value);
}

}  // namespace norvale
