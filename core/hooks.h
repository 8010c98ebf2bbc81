// What a lower layer needs from a higher one, handed down as callbacks: the settings file and
// the sound ask the window's Options menu for its ticks, the title asks the pads for their
// line, a chain asks them for a rumble, the settings screen asks the world table. An unset
// hook is a question nobody answers: the default beside it.
#pragma once

#include <string>

#include "core/module1.h"

namespace tarnix {

struct Hooks {
  // The window's sound item: ticked, tick it, no effects to play (unticked and disabled).
  bool (*SoundTicked)() = nullptr;
  void (*SetSoundTicked)(bool on) = nullptr;
  void (*SoundUnavailable)() = nullptr;
  // The wait item ticked now, 0..3 for none, light, normal, heavy; -1 when none is.
  int (*WaitItemTicked)() = nullptr;
  // Drawn at the foot of the title, over its picture.
  void (*TitleFooter)() = nullptr;
  // A chain's generation has gone off.
  void (*ChainGeneration)(Long generation) = nullptr;
  // A replay is being watched: its keys are the watcher's, whatever its game's phase.
  bool (*Watching)() = nullptr;
  // The settings screen: the world table's address was changed (Options().WorldTable);
  // today's challenge was chosen on the title.
  void (*WorldAddressChanged)() = nullptr;
  void (*DailyChallenge)() = nullptr;
  // A row of the well's kRowCells cells is about to rise: a race against a recorded game
  // puts that game's row in its place.
  void (*RowRising)(std::string& cells) = nullptr;
};

Hooks& Hook();

}  // namespace tarnix
