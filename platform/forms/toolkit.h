#pragma once
// The window system as the program sees it: creates the native side of forms,
// runs modal windows, lets pending events run, and owns message boxes and the
// notification-area icon.
#include <functional>
#include <memory>
#include <string>

#include "platform/forms/form.h"
#include "platform/msgbox.h"

namespace norvale {

enum class TrayEvent { MouseMove, LeftDown, LeftUp, RightDown, RightUp, LeftDoubleClick };

class TrayIcon {
 public:
  virtual ~TrayIcon() = default;
  // The icon of `owner`'s window (its icon resource) with a tip; false on failure.
  virtual bool Add(Form& owner, const std::string& tip) = 0;
  virtual bool Modify(const std::string& tip) = 0;
  virtual bool Delete() = 0;
  // A notification balloon from the icon; false where there is none.
  virtual bool ShowBalloon(const std::string& /*title*/, const std::string& /*text*/) {
    return false;
  }
  std::function<void(TrayEvent)> OnEvent;
  // The notification area started anew (Explorer restarted and announced
  // "TaskbarCreated") and knows no icon: one still wanted must be added again.
  // Unset, the toolkit adds it back itself.
  std::function<void()> TaskbarCreated;
};

class Toolkit {
 public:
  virtual ~Toolkit() = default;
  virtual std::unique_ptr<FormPeer> CreatePeer(Form& form) = 0;
  // Runs window events until the form is hidden or unloaded.
  virtual void RunModal(Form& form) = 0;
  // Lets pending window events run, then returns.
  virtual void DoEvents() = 0;
  virtual MessageBoxes& Boxes() = 0;
  virtual TrayIcon& Tray() = 0;
  // Shows the children of `menu` as a pop-up menu at the cursor; a choice fires
  // the chosen item's Click before this returns.
  virtual void PopupMenu(Form& owner, Menu& menu) = 0;
  // Closes a pop-up menu that is open, if any.
  virtual void ClosePopupMenu() {}
  // Brings the top-level window of that exact title to the front; false when none.
  virtual bool ActivateByTitle(const std::string& title) = 0;
  // Ends the message loop of the program.
  virtual void Quit() = 0;
  virtual const Clock& Time() const = 0;
  // A form object is going away for good.
  virtual void FormDestroyed(Form& /*form*/) {}
  // A request from another copy of the program (its command line); the reply.
  // Unset while the program cannot take requests.
  std::function<std::string(const std::string& request)> Requested;
};

}  // namespace norvale
