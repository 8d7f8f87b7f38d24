#pragma once
// The form runtime's controls: portable objects that hold every property the
// program reads and writes. A peer (a native control, or nothing in tests)
// renders them and reports the user's actions back through the User* calls.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/list_items.h"

namespace norvale {

class Form;
class Control;

// What changed, so a peer updates only that.
enum class Prop {
  Caption,
  Enabled,
  Visible,
  Geometry,
  Value,
  Items,      // list entries, list-view rows, tree nodes
  Selection,  // list index, selected row
  Columns,
  Timer,  // interval or enabled
  Colors,
  Style,  // password char, combo style, picker format, tool tip
};

class ControlPeer {
 public:
  virtual ~ControlPeer() = default;
  virtual void Changed(Prop what) = 0;
  virtual void Refresh() {}
  virtual void SetFocus() {}
  // A short note pointing at the control, e.g. why what was typed was refused.
  virtual void ShowTip(const std::string& /*title*/, const std::string& /*text*/) {}
};

// Colours as 0xBBGGRR, the desktop's own order.
using Color = uint32_t;

class Control {
 public:
  Control(Form& form, std::string type_name, std::string name, int index);
  virtual ~Control();
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  const std::string& TypeName() const { return type_name_; }
  const std::string& Name() const { return name_; }
  int Index() const { return index_; }  // -1 outside a control array
  bool IsArrayMember() const { return index_ >= 0; }
  Form& Parent() const { return form_; }
  // The frame or picture box this control sits in, or the parent menu of a menu item.
  Control* Container() const { return container_; }
  void SetContainer(Control* container) { container_ = container; }

  // Caption and Text are one property: what the control shows as its text.
  const std::string& Caption() const { return text_; }
  const std::string& Text() const { return text_; }
  void SetCaption(std::string text);
  void SetText(std::string text) { SetCaption(std::move(text)); }

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool on);
  bool Visible() const { return visible_; }
  void SetVisible(bool on);
  const std::string& ToolTipText() const { return tool_tip_; }
  void SetToolTipText(std::string tip);

  // Geometry in twips, relative to the container's client area.
  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void Move(int left, int top, int width, int height);

  // A copy laid over this control (a skin's label): from now on it shows this
  // control's text, place, size and visibility, whatever changes them.
  void LayOver(Control& copy);
  // The control this one is a copy laid over, or nullptr.
  const Control* Covered() const { return covered_; }

  std::optional<Color> ForeColor() const { return fore_; }
  std::optional<Color> BackColor() const { return back_; }
  void SetColors(std::optional<Color> fore, std::optional<Color> back);

  void Refresh();
  void SetFocus();
  void ShowTip(std::string title, std::string text);
  // The text of the note shown last, "" before any.
  const std::string& TipShown() const { return tip_shown_; }

  // The user clicked the control (a button press, a menu choice, a check box
  // toggled): does what the click means for this kind, then fires Click.
  virtual void UserClick();

  std::function<void()> Click;

  void AttachPeer(std::unique_ptr<ControlPeer> peer);
  void DetachPeer();
  ControlPeer* Peer() const { return peer_.get(); }

 protected:
  void Notify(Prop what);
  void FireClick() {
    if (Click) Click();
  }

 private:
  Form& form_;
  std::string type_name_;
  std::string name_;
  int index_;
  Control* container_ = nullptr;
  std::string text_;
  std::string tip_shown_;
  std::string tool_tip_;
  bool enabled_ = true;
  bool visible_ = true;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  std::optional<Color> fore_, back_;
  std::unique_ptr<ControlPeer> peer_;
  Control* overlay_ = nullptr;
  const Control* covered_ = nullptr;
};

class Label : public Control {
 public:
  Label(Form& f, std::string name, int index = -1) : Control(f, "Label", std::move(name), index) {}
};

// A horizontal separator line.
class Line : public Control {
 public:
  Line(Form& f, std::string name, int index = -1) : Control(f, "Line", std::move(name), index) {}
};

class SkinLabel : public Control {
 public:
  SkinLabel(Form& f, std::string name, int index = -1)
      : Control(f, "SkinLabel", std::move(name), index) {}
};

class Frame : public Control {
 public:
  Frame(Form& f, std::string name, int index = -1) : Control(f, "Frame", std::move(name), index) {}
};

class PictureBox : public Control {
 public:
  PictureBox(Form& f, std::string name, int index = -1)
      : Control(f, "PictureBox", std::move(name), index) {}
};

// The window's icon (its icon resource), drawn at the control's size.
class IconBox : public Control {
 public:
  IconBox(Form& f, std::string name, int index = -1)
      : Control(f, "IconBox", std::move(name), index) {}
};

class CommandButton : public Control {
 public:
  CommandButton(Form& f, std::string name, int index = -1)
      : Control(f, "CommandButton", std::move(name), index) {}
  // Enter presses the default button of a window, Esc its cancel button.
  bool Default = false;
  bool Cancel = false;
};

class CheckBox : public Control {
 public:
  CheckBox(Form& f, std::string name, int index = -1)
      : Control(f, "CheckBox", std::move(name), index) {}
  int Value() const { return value_; }  // 0 cleared, 1 ticked, 2 grayed
  // A change fires Click, whether the user or the program made it.
  void SetValue(int value);
  void UserClick() override { SetValue(value_ == 1 ? 0 : 1); }

 private:
  int value_ = 0;
};

class OptionButton : public Control {
 public:
  OptionButton(Form& f, std::string name, int index = -1)
      : Control(f, "OptionButton", std::move(name), index) {}
  bool Value() const { return value_; }
  // Selecting clears the other option buttons of the same container and fires Click.
  void SetValue(bool value);
  void UserClick() override { SetValue(true); }

 private:
  bool value_ = false;
};

class TextBox : public Control {
 public:
  TextBox(Form& f, std::string name, int index = -1)
      : Control(f, "TextBox", std::move(name), index) {}
  // Masks the text with this character ("*"); empty shows it plain.
  const std::string& PasswordChar() const { return password_char_; }
  void SetPasswordChar(std::string c);
  // A new text fires Change, whether the user typed it or the program set it.
  void SetText(std::string text);
  void UserType(std::string text) { SetText(std::move(text)); }
  std::function<void()> Change;

 private:
  std::string password_char_;
};

// The entries of a combo box or list box, with the selected one.
class ListControl : public Control {
 public:
  ListControl(Form& f, std::string type, std::string name, int index)
      : Control(f, std::move(type), std::move(name), index) {}
  void AddItem(std::string item);
  void RemoveItem(int i);
  void Clear();
  int ListCount() const { return static_cast<int>(items_.size()); }
  const std::string& List(int i) const { return items_.at(static_cast<size_t>(i)); }
  const std::vector<std::string>& Items() const { return items_; }
  int ListIndex() const { return list_index_; }
  // Selecting an entry (or -1 for none) fires Click when the selection changes;
  // a combo box's text becomes the entry.
  void SetListIndex(int i);
  void UserSelect(int i) { SetListIndex(i); }

 private:
  std::vector<std::string> items_;
  int list_index_ = -1;
};

class ComboBox : public ListControl {
 public:
  enum Style { kDropdownCombo = 0, kDropdownList = 2 };
  ComboBox(Form& f, std::string name, int index = -1)
      : ListControl(f, "ComboBox", std::move(name), index) {}
  Style ComboStyle() const { return style_; }
  void SetComboStyle(Style s);
  // The user typed in the edit part of an editable combo box.
  void UserType(std::string text);
  // A key pressed in the box; the handler may change or swallow (0) the key.
  std::function<void(int& key_ascii)> KeyPress;
  void UserKeyPress(int key_ascii);
  std::function<void()> Change;

 private:
  Style style_ = kDropdownCombo;
};

class ListBox : public ListControl {
 public:
  ListBox(Form& f, std::string name, int index = -1)
      : ListControl(f, "ListBox", std::move(name), index) {}
};

struct ColumnHeader {
  std::string Text;
  int Width = 1440;  // twips
};

// A report-style list: column headers and rows of text with sub-items.
class ListView : public Control {
 public:
  ListView(Form& f, std::string name, int index = -1)
      : Control(f, "ListView", std::move(name), index) {}
  const std::vector<ColumnHeader>& ColumnHeaders() const { return columns_; }
  void AddColumn(std::string text, int width_twips);
  void SetColumnText(size_t i, std::string text);
  void SetColumnWidth(size_t i, int width_twips);
  // The user dragged a column border: the width changes without a notification.
  void UserResizeColumn(size_t i, int width_twips);

  const ListItems& Items() const { return items_; }
  // Every change of rows goes through here so the peer shows it.
  void SetItems(ListItems items);
  size_t AddItem(ListItem item);
  void RemoveItem(size_t row);
  void SetItemText(size_t row, std::string text);
  void SetSubItem(size_t row, size_t column, std::string text);
  // Changes with every change of the rows, so a reader can tell its copy is stale.
  uint64_t Revision() const { return revision_; }
  // Told of every change of the rows.
  std::function<void()> RowsChanged;

  // The selected row, if any.
  std::optional<size_t> SelectedItem() const { return selected_; }
  void SetSelectedItem(std::optional<size_t> row);
  // The user clicked a row: it becomes selected and ItemClick fires.
  void UserClickItem(size_t row);
  std::function<void(size_t row)> ItemClick;
  // What a cell shows, where it differs from the stored text (a translated name).
  std::function<std::string(size_t column, const std::string& text)> ShownText;
  std::string Shown(const ListItem& row, size_t column) const {
    const std::string& text = column == 0 ? row.Text : row.SubItem(column);
    return ShownText ? ShownText(column, text) : text;
  }
  // The user double-clicked a row, or pressed Enter on it.
  void UserActivateItem(size_t row);
  std::function<void(size_t row)> ItemActivate;

 private:
  std::vector<ColumnHeader> columns_;
  ListItems items_;
  std::optional<size_t> selected_;
  uint64_t revision_ = 0;
};

struct TreeNode {
  std::string Key;
  std::string Text;
  bool Checked = false;
};

// A tree of check-box nodes (flat: the program shows one level).
class TreeView : public Control {
 public:
  TreeView(Form& f, std::string name, int index = -1)
      : Control(f, "TreeView", std::move(name), index) {}
  const std::vector<TreeNode>& Nodes() const { return nodes_; }
  size_t AddNode(std::string key, std::string text);
  void ClearNodes();
  void SetNodeText(size_t i, std::string text);
  void SetChecked(size_t i, bool checked);
  std::optional<size_t> FindKey(std::string_view key) const;
  // The user ticked or cleared a node's box: it changes and NodeCheck fires.
  void UserCheckNode(size_t i, bool checked);
  std::function<void(size_t node)> NodeCheck;
  // Whether a click on a node's text toggles its box, as one on the box does.
  bool LabelClickToggles() const { return label_click_toggles_; }
  void SetLabelClickToggles(bool on) { label_click_toggles_ = on; }
  // The user clicked a node's text.
  void UserClickLabel(size_t i);

 private:
  std::vector<TreeNode> nodes_;
  bool label_click_toggles_ = false;
};

// A date picker or a time picker.
class DTPicker : public Control {
 public:
  enum Format { kShortDate, kTime };
  DTPicker(Form& f, std::string name, int index = -1)
      : Control(f, "DTPicker", std::move(name), index) {}
  Format PickerFormat() const { return format_; }
  void SetPickerFormat(Format f);
  LocalTime Value() const { return value_; }
  void SetValue(LocalTime t);
  void UserPick(LocalTime t);
  std::function<void()> Change;

 private:
  Format format_ = kShortDate;
  LocalTime value_{};
};

// Ticks every Interval milliseconds while Enabled and its window is loaded.
// Setting Interval or Enabled starts the count again.
class Timer : public Control {
 public:
  Timer(Form& f, std::string name, int index = -1) : Control(f, "Timer", std::move(name), index) {}
  int Interval() const { return interval_; }
  void SetInterval(int ms);
  bool TimerEnabled() const { return Enabled(); }
  void SetTimerEnabled(bool on) { SetEnabled(on); }
  bool Armed() const { return Enabled() && interval_ > 0; }
  // Called by the toolkit when the interval has passed.
  void Fire() {
    if (Tick) Tick();
  }
  std::function<void()> Tick;

 private:
  int interval_ = 0;
};

// A menu item; top-level items (no container) form the menu bar, an item with
// children can also be shown as a pop-up menu. A caption "-" is a separator.
class Menu : public Control {
 public:
  Menu(Form& f, std::string name, int index = -1) : Control(f, "Menu", std::move(name), index) {}
  bool IsSeparator() const { return Caption() == "-"; }
  bool Checked() const { return checked_; }
  void SetChecked(bool on);
  // Menus fire only when they can be chosen.
  void UserClick() override {
    if (Enabled() && Visible() && !IsSeparator()) FireClick();
  }

 private:
  bool checked_ = false;
};

}  // namespace norvale
