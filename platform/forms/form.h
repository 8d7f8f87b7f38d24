#pragma once
// A window of the program: a name, a caption, an ordered collection of named
// controls and the window events. Each window is a subclass whose BuildLayout
// adds its controls and whose overrides carry the window's event handlers.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/forms/control.h"

namespace norvale {

class Toolkit;

enum class WindowState { Normal, Minimized, Maximized };

// Why a window is asked to close.
enum UnloadMode : int {
  vbFormControlMenu = 0,  // the user closed it
  vbFormCode = 1,         // the program unloads it
  vbAppWindows = 2,       // Windows is ending the session
  vbAppTaskManager = 3,   // the task manager closes it
  vbFormMDIForm = 4,
  vbFormOwner = 5,
};

// What the system tells every top-level window about time.
enum class SystemChange { kResumed, kTimeChanged };

struct TwipsRect {
  int left = 0, top = 0, width = 0, height = 0;
};

class FormPeer {
 public:
  virtual ~FormPeer() = default;
  virtual void Changed(Prop what) = 0;  // Caption, Visible, Geometry, Style (icon, region)
  virtual std::unique_ptr<ControlPeer> CreatePeer(Control& control) = 0;
  virtual void SetWindowState(WindowState state) = 0;
  virtual WindowState GetWindowState() const = 0;
  // The client area in twips as the window has it now.
  virtual int ScaleWidth() const = 0;
  virtual int ScaleHeight() const = 0;
  virtual void Activate() = 0;
  // Draws the whole window and its controls again, after its layout changed.
  virtual void Repaint() {}
  // The width in twips of a control's caption in the font it is drawn with, at
  // the window's DPI, its access-key marks left out; nullopt where nothing can
  // be measured.
  virtual std::optional<int> TextWidth(const Control& /*control*/) const { return std::nullopt; }
  // The height in twips of the caption wrapped at `width` twips, as the control
  // draws it; a width of kOneLine gives the height of one line.
  static constexpr int kOneLine = 1 << 24;
  virtual std::optional<int> TextHeight(const Control& /*control*/, int /*width*/) const {
    return std::nullopt;
  }
  // Destroys the native window at unload. The peer object itself lives on until
  // the form loads again, since unloading often starts inside its own event.
  virtual void Destroy() = 0;
};

// A message the window received: the hook may answer it, which ends its handling.
struct WindowMessage {
  uint32_t message;
  uintptr_t wparam;
  intptr_t lparam;
};
using MessageHook = std::function<std::optional<intptr_t>(const WindowMessage&)>;

class Form {
 public:
  Form(Toolkit& toolkit, std::string name);
  virtual ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  const std::string& Name() const { return name_; }
  Toolkit& Kit() const { return toolkit_; }

  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption);

  // The controls in layout order (also the tab order).
  const std::vector<std::unique_ptr<Control>>& Controls() const { return controls_; }
  // The control of that name (and index, for array members), or nullptr.
  Control* Find(std::string_view name, int index = -1) const;
  template <typename T>
  T& Add(std::string name, int index = -1) {
    auto control = std::make_unique<T>(*this, std::move(name), index);
    T& ref = *control;
    Adopt(std::move(control));
    return ref;
  }
  // Adds a control with its caption and layout in one step.
  template <typename T>
  T& Add(std::string name, int index, std::string caption, Control* container, int left, int top,
         int width, int height) {
    T& c = Add<T>(std::move(name), index);
    c.SetContainer(container);
    c.SetCaption(std::move(caption));
    c.Move(left, top, width, height);
    return c;
  }

  bool Loaded() const { return loaded_; }
  // Builds the controls, creates the window (hidden) and fires Form_Load.
  void Load();
  void Show();
  // Shows the window modally: returns once it is hidden or unloaded.
  void ShowModal();
  bool IsModal() const { return modal_; }
  void Hide();
  // Asks the window to close: Form_QueryUnload may cancel, then Form_Unload may;
  // otherwise the window and its controls go. Returns false when cancelled.
  bool Unload(UnloadMode mode = vbFormCode);
  bool Visible() const { return visible_; }

  WindowState GetWindowState() const;
  void SetWindowState(WindowState state);

  // Outer geometry in twips; the client area as ScaleWidth x ScaleHeight.
  TwipsRect Bounds() const { return bounds_; }
  void Move(int left, int top, int width, int height);
  int ScaleWidth() const;
  int ScaleHeight() const;
  // Sizes the window so that its client area is this big (twips); the outer
  // size follows from the window's borders at its current DPI.
  void SetClientSize(int width, int height);
  // The client size asked for, until the window has applied it.
  std::optional<std::pair<int, int>> RequestedClientSize() const { return client_request_; }
  void ClientSizeApplied() { client_request_.reset(); }

  // The window's large and small icons from an icon resource ("AAA").
  const std::string& IconResource() const { return icon_; }
  void SetIconResource(std::string name);
  // A window region; nullopt is the whole window.
  const std::optional<TwipsRect>& Region() const { return region_; }
  void SetRegion(std::optional<TwipsRect> region);

  void Activate();

  // The window's own background and text colours (nullopt: the system's), and
  // whether its title bar is drawn dark where the system offers that.
  std::optional<Color> BackColor() const { return back_; }
  std::optional<Color> ForeColor() const { return fore_; }
  bool DarkTitleBar() const { return dark_title_; }
  void SetLook(std::optional<Color> fore, std::optional<Color> back, bool dark_title_bar);

  // A notice that floats over every other window, cannot be resized, and does
  // not take the keyboard focus when it appears, so nobody typing elsewhere
  // presses its buttons by accident; a click makes it the active window, so its
  // access keys work. Set before the window loads.
  bool Floating() const { return floating_; }
  void SetFloating(bool floating) { floating_ = floating; }
  // Widens buttons, check boxes, option buttons and one-line labels whose text
  // the window's font would cut, moving what stands to their right along and
  // enlarging frames and the window as needed. Runs after the load step and
  // after every translation; nothing happens where texts cannot be measured.
  // Each run starts from the designed layout: what the last run widened, moved
  // or grew goes back first, unless the program or the user has placed it since,
  // so shorter texts give a narrower window again. A changed layout is drawn anew.
  void FitTexts();

  // A dialog: a fixed frame without minimize and maximize boxes. Set before
  // the window loads.
  bool Dialog() const { return dialog_; }
  void SetDialog(bool dialog) { dialog_ = dialog; }

  // Told after the window's texts were put into another language.
  std::function<void()> Translated;

  // Sees every message the window receives before the window does.
  void SetMessageHook(MessageHook hook) { hook_ = std::move(hook); }
  void ClearMessageHook() { hook_ = nullptr; }
  bool HasMessageHook() const { return static_cast<bool>(hook_); }
  std::optional<intptr_t> OfferMessage(const WindowMessage& m) {
    return hook_ ? hook_(m) : std::nullopt;
  }

  // The computer resumed from sleep or the clock was set (WM_POWERBROADCAST,
  // WM_TIMECHANGE).
  std::function<void(SystemChange)> SystemChanged;
  void NotifySystemChange(SystemChange change) {
    if (SystemChanged) SystemChanged(change);
  }

  // Called by the peer when the user or the system closes the window.
  void RequestClose(UnloadMode mode) { Unload(mode); }
  // Called by the peer after the user or the system moved or sized the window.
  void NotifyResized(TwipsRect bounds) {
    bounds_ = bounds;
    Form_Resize();
  }
  // Called by the toolkit when a modal loop ends.
  void EndModal() { modal_ = false; }

  FormPeer* Peer() const { return peer_.get(); }

 protected:
  virtual void BuildLayout() {}
  virtual void Form_Load() {}
  virtual void Form_QueryUnload(int& /*cancel*/, int /*unload_mode*/) {}
  virtual void Form_Resize() {}
  virtual void Form_Unload(int& /*cancel*/) {}

 private:
  void Adopt(std::unique_ptr<Control> control);
  void NotifyPeer(Prop what);

  Toolkit& toolkit_;
  std::string name_;
  std::string caption_;
  std::vector<std::unique_ptr<Control>> controls_;
  std::unique_ptr<FormPeer> peer_;
  bool loaded_ = false;
  bool visible_ = false;
  bool modal_ = false;
  bool unloading_ = false;
  WindowState state_ = WindowState::Normal;
  TwipsRect bounds_{0, 0, 6000, 4500};
  // Every window of a program carries the program's icon unless it names another.
  std::string icon_ = "AAA";
  std::optional<TwipsRect> region_;
  std::optional<std::pair<int, int>> client_request_;
  std::optional<Color> fore_, back_;
  bool dark_title_ = false;
  void Widen(Control& grown, int by);
  void Heighten(Control& grown, int by);
  void GrowForTexts();
  void RestoreDesignedLayout();
  // What the last FitTexts changed: each control's place before and after it,
  // and the window's client size.
  struct FittedPlace {
    Control* control;
    TwipsRect designed, fitted;
  };
  std::vector<FittedPlace> fitted_;
  struct FittedClient {
    int designed_width, designed_height, fitted_width, fitted_height;
  };
  std::optional<FittedClient> fitted_client_;
  bool floating_ = false;
  bool dialog_ = false;
  MessageHook hook_;
};

}  // namespace norvale
