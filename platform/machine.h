// A Machine bundles the four parts of the seam. The programs get one handed to them and reach
// the operating system through it only: no global OS state.
#pragma once

#include "platform/files.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/system.h"

namespace vu::platform {

class Machine {
 public:
  Machine() = default;
  Machine(const Machine&) = delete;
  Machine& operator=(const Machine&) = delete;
  virtual ~Machine() = default;

  virtual Registry& registry() = 0;
  virtual FileSystem& files() = 0;
  virtual Shell& shell() = 0;
  virtual System& system() = 0;
};

}  // namespace vu::platform
