#pragma once
// Who runs a process, from its token: the owner check of a command-line request.
#include "platform/request_targets.h"

namespace norvale {

class Win32ProcessOwners final : public ProcessOwners {
 public:
  bool SameUserAndSession(uint32_t process) const override;
};

}  // namespace norvale
