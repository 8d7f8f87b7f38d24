#pragma once
// The program's messages in English, registered once at start-up before any
// window is translated.
#include "localization/cls_languages.h"

namespace norvale {

// Registers the 18 default messages, so that they take slots 0 to 17.
void RegisterDefaultMessages(clsLanguages& languages);

}  // namespace norvale
