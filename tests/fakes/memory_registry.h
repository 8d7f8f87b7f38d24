#pragma once
// The in-memory registry is a product piece (headless runs use it); tests know it
// under the doubles' name.
#include "platform/headless/memory_registry.h"

namespace norvale::fakes {
using headless::MemoryRegistry;
}  // namespace norvale::fakes
