#pragma once
// The native window of a form: one top-level window; every control's window is
// its direct child (controls in a frame are the frame's siblings), so every
// notification arrives here and is routed to the control's peer.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/forms/form.h"
#include "platform/win32/forms/controls.h"
#include "platform/win32/forms/handles.h"
#include "platform/win32/forms/toolkit_core.h"
#include "platform/win32/forms/window.h"

namespace norvale::win32 {

class FormWindow final : public FormPeer, private Window {
 public:
  static constexpr const wchar_t* kClassName = L"NorvaleForm";

  FormWindow(ToolkitCore& core, Form& form);
  ~FormWindow() override;

  // FormPeer
  void Changed(Prop what) override;
  std::unique_ptr<ControlPeer> CreatePeer(Control& control) override;
  void SetWindowState(WindowState state) override;
  WindowState GetWindowState() const override;
  int ScaleWidth() const override;
  int ScaleHeight() const override;
  void Activate() override;
  void Repaint() override;
  std::optional<int> TextWidth(const Control& control) const override;
  std::optional<int> TextHeight(const Control& control, int width) const override;
  void Destroy() override;

  // For the control peers.
  using Window::hwnd;
  Form& form() const { return form_; }
  ToolkitCore& core() const { return core_; }
  ErrorSink& errors() const { return core_.errors(); }
  int dpi() const { return dpi_; }
  HFONT font() const { return font_.get(); }
  UINT NewId() { return next_id_++; }
  void Adopt(FormChild* child);
  void Release(FormChild* child);
  FormChild* ChildOf(const Control& control) const;

  // Where a control goes in the client area: its offset plus its containers'.
  RECT PixelRect(const Control& control) const;
  // Containers pass on being hidden or disabled to what they contain.
  bool ShownWithContainers(const Control& control) const;
  bool EnabledWithContainers(const Control& control) const;
  void ContainerChanged(const Control& container);
  void MenusChanged();
  void SetToolTip(HWND tool, const std::string& text);
  // The one tab stop of an option group: the ticked button, else the first.
  void UpdateOptionTabStops(const Control* container);
  void LowerBackdrops();
  // The window that was active before this one last became active.
  HWND activated_from() const { return activated_from_; }

 private:
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
  static LRESULT CALLBACK HookProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam,
                                   UINT_PTR id, DWORD_PTR self);
  template <typename Measure>
  std::optional<int> MeasureCaption(const Control& control, Measure measure) const;
  LRESULT OnCommand(WPARAM wparam, LPARAM lparam);
  LRESULT OnCtlColor(UINT message, WPARAM wparam, LPARAM lparam);
  void OnDpiChanged(int dpi, const RECT* suggested);
  void OnSize(WPARAM kind);
  void ReportBounds();
  void ApplyLook();
  void CenterIfUnplaced();
  void ApplyVisible();
  void ApplyGeometry();
  void ApplyClientSize();
  void ApplyIcons();
  void ApplyRegion();
  void RelayoutAll();
  void RebuildMenuBar();
  void DrawBarItemsHere(HMENU bar);
  bool DarkBar() const;
  LRESULT AnswerMenuBarQuery(WPARAM index, LPARAM query);
  bool MeasureBarItem(MEASUREITEMSTRUCT& item);
  bool DrawBarItem(const DRAWITEMSTRUCT& item);
  LRESULT BarAccessKey(wchar_t key);
  FormChild* ChildByWindow(HWND h) const;
  FormChild* ChildById(UINT id) const;
  CommandButton* ButtonWith(bool CommandButton::*flag) const;
  RECT BoundsPx() const;

  ToolkitCore& core_;
  Form& form_;
  int dpi_;
  UniqueFont font_;
  UniqueIcon big_icon_, small_icon_;
  std::string icon_name_;
  int icon_dpi_ = 0;
  UniqueMenu menu_bar_;
  std::vector<std::wstring> bar_texts_;  // of the bar's items, which are drawn here
  HWND tooltip_ = nullptr;               // owned by the form window, which destroys it
  HWND saved_focus_ = nullptr;
  HWND activated_from_ = nullptr;
  std::vector<FormChild*> children_;
  UINT next_id_ = 100;  // above IDOK..IDCONTINUE
  std::optional<WindowState> pending_state_;
  bool creating_ = true;
  bool placed_ = false;
  UniqueBrush back_brush_;
  bool destroying_ = false;
  bool quiet_size_ = false;
  LifeToken life_;
};

}  // namespace norvale::win32
