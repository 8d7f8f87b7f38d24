#include "platform/win32/forms/menus.h"

#include <string>

#include "platform/win32/utf.h"

namespace norvale::win32 {
namespace {

bool HasItems(const Form& form, const Control& menu) {
  for (const auto& c : form.Controls()) {
    if (c->Container() == &menu && c->TypeName() == "Menu") return true;
  }
  return false;
}

}  // namespace

void AppendMenuItems(HMENU menu, const Form& form, const Control* parent,
                     const std::function<UINT(const Menu&)>& id_of) {
  UINT position = 0;
  for (const auto& c : form.Controls()) {
    auto* item = dynamic_cast<const Menu*>(c.get());
    if (!item || item->Container() != parent || !item->Visible()) continue;
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    std::wstring caption;
    if (item->IsSeparator()) {
      info.fMask = MIIM_FTYPE;
      info.fType = MFT_SEPARATOR;
    } else {
      caption = Widen(item->Caption());
      info.fMask = MIIM_FTYPE | MIIM_STRING | MIIM_ID | MIIM_STATE;
      info.fType = MFT_STRING;
      info.dwTypeData = caption.data();
      info.wID = id_of(*item);
      info.fState = (item->Enabled() ? MFS_ENABLED : MFS_GRAYED) |
                    (item->Checked() ? MFS_CHECKED : MFS_UNCHECKED);
      if (HasItems(form, *item)) {
        HMENU sub = CreatePopupMenu();
        AppendMenuItems(sub, form, item, id_of);
        info.fMask |= MIIM_SUBMENU;
        info.hSubMenu = sub;  // owned by `menu` from here on
      }
    }
    if (InsertMenuItemW(menu, position, TRUE, &info)) {
      ++position;
    } else if (info.hSubMenu) {
      DestroyMenu(info.hSubMenu);
    }
  }
}

}  // namespace norvale::win32
