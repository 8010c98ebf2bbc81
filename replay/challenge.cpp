#include "replay/challenge.h"

namespace tarnix {

// Minimal stand-in until the race itself lands.
bool Challenge_Start(const ReplayRecord&, const std::string&) { return false; }
bool Challenge_Active() { return false; }
void Challenge_Reset() {}

}  // namespace tarnix
