#include "core/module1.h"

namespace tarnix {

Module1State Module1;

}  // namespace tarnix
