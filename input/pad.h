// Game controllers through SDL's game-controller subsystem (never its video): pads known
// to SDL's database, SDL_GAMECONTROLLERCONFIG or gamecontrollerdb.txt in the settings
// folder, and unknown devices through their hat and first buttons. Each pad is a source
// of keys for input.h.
#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QString>

#include <string>
#include <vector>

#include "core/module1.h"

namespace tarnix {

// Starts the subsystem, reads the mappings and registers the poller; the pads already
// connected are opened at the first poll. Without SDL's game controllers the game is
// played with the keyboard alone.
void Pad_Start();
void Pad_Stop();
// Opens and closes pads as they come and go, and turns their buttons and sticks into keys.
void Pad_Poll();
// The same, without waiting for the second that separates looks for new pads.
void Pad_PollNow();
int Pad_Count();
// The folders whose device nodes are watched from the next Pad_Start (tests point it at a
// folder of their own; none: the system's).
void Pad_WatchFolders(const std::vector<std::string>& folders);
// Plugs in SDL's virtual standard controller, with no hardware: for tests, benchmarks and
// measuring. Its device index, or -1 with SDL's error set.
int Pad_AttachVirtual();
// A short rumble for a chain's generation, stronger for later ones.
void Pad_Rumble(Long generation);
// How the pad in the player's hands prints its face buttons, from SDL's controller type.
enum class PadFamily { kXbox, kPlayStation, kNintendo, kOther };
PadFamily Pad_Family();
// What a pad's button (SDL's number) is called on that pad, and the drawn glyph of a face
// button (null for the others): A B X Y, or the PlayStation's shapes, or a Nintendo pad's
// letters where they sit, or the position lit on any other pad.
QString Pad_ButtonName(int button);
inline constexpr int kGlyphSize = 11;
QImage Pad_Glyph(int button);
// What speaks for `action` in `bindings`: its first key, and its first button before it
// while a pad is connected ("A/Z").
struct Bindings;
QString Action_ControlNames(const Bindings& bindings, int action);
// Draws `text` from (x, y), `height` high, in the painter's font with a shadow one pixel
// down and right; each %1..%9 is the glyph of that button of `buttons`, or its name where it
// has none. The width it takes; with `draw` false, only that.
int Pad_DrawText(QPainter& painter, int x, int y, int height, const QString& text,
                 const std::vector<int>& buttons, QColor color, QColor shadow, bool draw = true);
// Whether the player's hands are on a pad: one is connected and gave the last input.
bool Pad_InHand();
// The pad's controls in one line at the foot of the title, while a pad is connected.
void Pad_DrawTitleLine();

}  // namespace tarnix
