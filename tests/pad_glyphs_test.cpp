// The pad's buttons shown as the pad prints them, from SDL's controller type: virtual pads
// that say they are an Xbox, a PlayStation, a Nintendo pad or something else.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "core/hooks.h"
#include "core/keys.h"
#include "input/input.h"
#include "input/settings_screen.h"
#include "playfield/playfield.h"
#include "replay/replay.h"
#include "replay/theatre.h"
#include "support/fixture.h"
#include "support/games.h"
#include "support/virtual_pad.h"

namespace tarnix::testing {
namespace {

struct Kind {
  Uint16 vendor, product;
  PadFamily family;
  const char* south;  // what the south, east and north buttons are called
  const char* east;
  const char* north;
};

class PadGlyphsTest : public GameTest, public ::testing::WithParamInterface<Kind> {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    ASSERT_TRUE(dir_.isValid());
    Module1.AppPath = dir_.path().toStdString() + "/";
    Input_Reset();
    Pad_Start();
  }
  void TearDown() override {
    Settings_Reset();
    Pad_Stop();
    GameTest::TearDown();
  }
  // Where on the title's line a glyph sits: the first column of the line holding it whole.
  static bool LineHolds(const QImage& line, const QImage& glyph) {
    for (int x = 0; x + glyph.width() <= line.width(); ++x) {
      if (line.copy(x, 2, glyph.width(), glyph.height()) == glyph) return true;
    }
    return false;
  }
  QTemporaryDir dir_;
};

TEST_P(PadGlyphsTest, TitleLineAndSettingsShowTheButtonsAsPrinted) {
  const Kind kind = GetParam();
  VirtualPad pad(SDL_JOYSTICK_TYPE_GAMECONTROLLER, -1, -1, 0, kind.product, kind.vendor);
  EXPECT_EQ(Pad_Family(), kind.family);
  EXPECT_EQ(Pad_ButtonName(SDL_CONTROLLER_BUTTON_A), QString::fromUtf8(kind.south));
  EXPECT_EQ(Pad_ButtonName(SDL_CONTROLLER_BUTTON_B), QString::fromUtf8(kind.east));
  EXPECT_EQ(Pad_ButtonName(SDL_CONTROLLER_BUTTON_Y), QString::fromUtf8(kind.north));

  Module1.GamePhase = kTitle;
  Title_Draw(kTitleStartY);
  const QImage line = form().Picture1.Image().copy(0, 266, 264, 16).convertToFormat(
      QImage::Format_RGB32);
  const QImage south = Pad_Glyph(SDL_CONTROLLER_BUTTON_A).convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(south.size(), QSize(kGlyphSize, kGlyphSize));
  EXPECT_TRUE(LineHolds(line, south)) << "the red bomb's button, drawn";
  EXPECT_TRUE(LineHolds(line, Pad_Glyph(SDL_CONTROLLER_BUTTON_B).convertToFormat(
                                  QImage::Format_RGB32)));
  EXPECT_TRUE(LineHolds(line, Pad_Glyph(SDL_CONTROLLER_BUTTON_Y).convertToFormat(
                                  QImage::Format_RGB32)))
      << "and the settings button";

  Settings_Open();
  Settings_Key(kUp);
  Settings_Key(kUp);
  Settings_Key(kKeyZ);  // the keys and buttons
  const QImage screen = form().Picture1.Image().convertToFormat(QImage::Format_RGB32);
  bool found = false;
  for (int y = 40; y < 240 && !found; ++y) {
    found = LineHolds(screen.copy(0, y - 2, 264, kGlyphSize + 2), south);
  }
  EXPECT_TRUE(found) << "the settings screen shows the red bomb's button as printed";
  Settings_Close();

  // Watching a game with the pad in hand: the theatre's hints show its buttons, and the west
  // button, which plays nothing, shows the figures.
  ReplayRecord record = PlayRecorded(7, [](int p) { BotPass(p, 0); }, 400);
  Module1.GamePhase = kScoreView;
  Replay_Watch(record, "pad");
  ASSERT_TRUE(Replay_IsPlaying());
  Picture1_KeyUp(kKeyZ, 0);
  pad.Click(SDL_CONTROLLER_BUTTON_X);
  EXPECT_TRUE(Theatre_StatsVisible());
  int videos = 0;
  Theatre_SetExporter([&videos](const ReplayRecord&) { return ++videos > 0; });
  pad.Click(SDL_CONTROLLER_BUTTON_LEFTSHOULDER);
  EXPECT_EQ(videos, 1) << "the left shoulder makes the video";
  QWidget* bar = form().Picture1.findChild<QWidget*>(QStringLiteral("theatreBar"));
  ASSERT_NE(bar, nullptr);
  const QImage hints = bar->grab().toImage().scaled(bar->width() / form().Scale(),
                                                    bar->height() / form().Scale())
                           .convertToFormat(QImage::Format_RGB32);
  bool shown = false;
  for (int y = 16; y + kGlyphSize <= hints.height() && !shown; ++y) {
    for (int x = 0; x + kGlyphSize <= hints.width() && !shown; ++x) {
      shown = hints.copy(x, y, kGlyphSize, kGlyphSize) == south;
    }
  }
  EXPECT_TRUE(shown) << "the next mark's button, drawn as printed";
  Replay_Unload(true);
}

std::string FamilyName(const ::testing::TestParamInfo<Kind>& info) {
  static const char* const kNames[] = {"Xbox", "PlayStation", "Nintendo", "Other"};
  return kNames[static_cast<int>(info.param.family)];
}

INSTANTIATE_TEST_SUITE_P(
    Pads, PadGlyphsTest,
    ::testing::Values(Kind{0x045E, 0x02EA, PadFamily::kXbox, "A", "B", "Y"},
                      Kind{0x054C, 0x09CC, PadFamily::kPlayStation, "\u2715", "\u25cb", "\u25b3"},
                      Kind{0x057E, 0x2009, PadFamily::kNintendo, "B", "A", "X"},
                      Kind{0, 0, PadFamily::kOther, "S", "E", "N"}),
    FamilyName);

}  // namespace
}  // namespace tarnix::testing
