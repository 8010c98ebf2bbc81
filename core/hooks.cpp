#include "core/hooks.h"

namespace tarnix {

Hooks& Hook() {
  static Hooks hooks;
  return hooks;
}

}  // namespace tarnix
