#pragma once
// Native menus built from the Menu controls of a form.
#include <windows.h>

#include <functional>

#include "platform/forms/form.h"

namespace norvale::win32 {

// Appends to `menu` the visible Menu controls of `form` whose container is `parent`
// (nullptr: the menu bar's items), in collection order; an item with items of its
// own becomes a submenu. `id_of` gives each item's command id.
void AppendMenuItems(HMENU menu, const Form& form, const Control* parent,
                     const std::function<UINT(const Menu&)>& id_of);

}  // namespace norvale::win32
