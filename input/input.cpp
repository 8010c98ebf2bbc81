#include "input/input.h"

#include <algorithm>
#include <map>
#include <vector>

#include "core/doors.h"
#include "core/hooks.h"
#include "core/keys.h"
#include "input/bindings.h"
#include "input/settings_screen.h"

namespace tarnix {

namespace {

int lastSource = -1;

std::map<int, std::vector<Long>>& Held() {
  static std::map<int, std::vector<Long>> held;
  return held;
}

bool HeldByOther(int source, Long keyCode) {
  for (const auto& [other, keys] : Held()) {
    if (other != source && std::find(keys.begin(), keys.end(), keyCode) != keys.end()) {
      return true;
    }
  }
  return false;
}

}  // namespace

bool Input_Held(int source, Long keyCode) {
  const auto found = Held().find(source);
  if (found == Held().end()) return false;
  const std::vector<Long>& keys = found->second;
  return std::find(keys.begin(), keys.end(), keyCode) != keys.end();
}

void Input_KeyDown(int source, Long keyCode) {
  std::vector<Long>& keys = Held()[source];
  if (std::find(keys.begin(), keys.end(), keyCode) == keys.end()) keys.push_back(keyCode);
  lastSource = source;
  // The settings screen hears every press while it is open; Escape opens it where the
  // original ignored it, on the title and in pause.
  if (Settings_IsOpen()) {
    Settings_Key(keyCode);
    return;
  }
  const bool watching = Hook().Watching != nullptr && Hook().Watching();
  if (keyCode == kEscape && !watching &&
      (Module1.GamePhase == kTitle || Module1.GamePhase == kPaused)) {
    Settings_Open();
    return;
  }
  // Every press is delivered, as the keyboard's repeated presses always were; only the
  // release waits for the last source to let go.
  if (source != kKeyboardSource && Module1.GamePhase == kNameEntry) {
    NameEntry_PadKey(keyCode);
  } else {
    Picture1_KeyDown(keyCode, 0);
  }
}

void Input_KeyUp(int source, Long keyCode) {
  std::vector<Long>& keys = Held()[source];
  keys.erase(std::remove(keys.begin(), keys.end(), keyCode), keys.end());
  if (Settings_IsOpen()) return;
  if (!HeldByOther(source, keyCode)) Picture1_KeyUp(keyCode, 0);
}

void Input_ReleaseAll(int source) {
  const std::vector<Long> keys = Held()[source];
  for (const Long key : keys) Input_KeyUp(source, key);
  Held().erase(source);
}

void Input_ReleaseEverySource() {
  std::vector<int> sources;
  for (const auto& [source, keys] : Held()) sources.push_back(source);
  for (const int source : sources) Input_ReleaseAll(source);
}

void Input_ForgetHeld() { Held().clear(); }

void Input_Reset() {
  Held().clear();
  Bindings_Current() = Bindings_Defaults();
  Settings_Reset();
  lastSource = -1;
}

int Input_LastSource() { return lastSource; }

}  // namespace tarnix
