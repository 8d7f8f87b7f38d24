#pragma once
// "/check": what each action of the table does on this computer and why, from
// the capabilities the system reports, one line each.
#include <string>

#include "apps/norvale/command_line.h"
#include "platform/power_control.h"

namespace norvale {

// In the language of `text`; `full_shutdown` is "Shut down fully (no fast
// startup)" as General Preferences holds it.
std::string CheckText(const PowerCapabilities& caps, bool full_shutdown, const CatalogueText& text);

}  // namespace norvale
