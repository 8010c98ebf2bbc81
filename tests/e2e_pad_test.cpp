// A whole game with the virtual pad alone: started from the title, a bomb taken and dropped,
// rows forced up until the well tops out, a name entered on the pad, the table left.
#include <gtest/gtest.h>

#include <SDL.h>

#include <QFile>
#include <QTemporaryDir>

#include "input/input.h"
#include "input/pad.h"
#include "input/bindings.h"
#include "input/settings_screen.h"
#include "core/keys.h"
#include "files/options.h"
#include "files/files.h"
#include "shell/shell.h"
#include "support/fixture.h"

namespace tarnix::testing {
namespace {

class PadE2ETest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    ASSERT_TRUE(dir_.isValid());
    ASSERT_TRUE(CopySounds(dir_.path()));
    Input_Reset();
  }
  void TearDown() override {
    if (joystick_) SDL_JoystickDetachVirtual(index_);
    Pad_Stop();
    GameTest::TearDown();
  }

  void PlugIn() {
    index_ = Pad_AttachVirtual();
    ASSERT_GE(index_, 0) << SDL_GetError();
    Pad_PollNow();  // a virtual pad makes no device node for the loop to notice
    joystick_ = SDL_JoystickFromInstanceID(SDL_JoystickGetDeviceInstanceID(index_));
    ASSERT_NE(joystick_, nullptr);
  }
  // A button pressed for one turn of the main loop, released in the next.
  void Press(int button) {
    SDL_JoystickSetVirtualButton(joystick_, button, 1);
    Main_LoopTurn();
    SDL_JoystickSetVirtualButton(joystick_, button, 0);
    Main_LoopTurn();
  }
  // A bomb taken with `button` (held for one turn), then the stick pushed down to drop it.
  void TakeAndDrop(int button) {
    SDL_JoystickSetVirtualButton(joystick_, button, 1);
    Main_LoopTurn();
    SDL_JoystickSetVirtualButton(joystick_, button, 0);
    SDL_JoystickSetVirtualAxis(joystick_, SDL_CONTROLLER_AXIS_LEFTY, 32767);
    Main_LoopTurn();
    SDL_JoystickSetVirtualAxis(joystick_, SDL_CONTROLLER_AXIS_LEFTY, 0);
  }
  template <typename Done>
  bool TurnUntil(Done done, int limit) {
    for (int i = 0; i < limit && !done(); ++i) Main_LoopTurn();
    return done();
  }

  QTemporaryDir dir_;
  int index_ = -1;
  SDL_Joystick* joystick_ = nullptr;
};

TEST_F(PadE2ETest, StartPlayTopOutAndEnterANameWithThePadOnly) {
  Form1Window& f = form();
  Form_LoadSteps(dir_.path().toStdString());
  random.Randomize(20240611);
  Pad_Start();
  PlugIn();
  ASSERT_EQ(Pad_Count(), 1);
  ASSERT_EQ(Module1.GamePhase, kTitle);
  EXPECT_TRUE(f.mnuRumble.Checked()) << "rumble is on unless tarnix.conf turns it off";

  Press(SDL_CONTROLLER_BUTTON_START);
  ASSERT_EQ(Module1.GamePhase, kPlaying);

  TakeAndDrop(SDL_CONTROLLER_BUTTON_A);
  ASSERT_EQ(Module1.RedStock, 29) << "A took a red bomb";
  ASSERT_TRUE(TurnUntil([] { return Module1.Score > 0; }, 200))
      << "the stick dropped it; it lands, burns and breaks blocks";

  int rises = 0;
  while (Module1.GamePhase == kPlaying && rises < 40) {
    Press(SDL_CONTROLLER_BUTTON_RIGHTSHOULDER);
    ++rises;
  }
  ASSERT_EQ(Module1.GamePhase, kNameEntry) << "after " << rises << " forced rises";
  f.Text1.clear();

  // "PAD": sixteen turns up from an empty place make P, one makes A, four make D.
  for (int i = 0; i < 16; ++i) Press(SDL_CONTROLLER_BUTTON_DPAD_UP);
  Press(SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
  Press(SDL_CONTROLLER_BUTTON_DPAD_UP);
  Press(SDL_CONTROLLER_BUTTON_A);
  for (int i = 0; i < 4; ++i) Press(SDL_CONTROLLER_BUTTON_DPAD_UP);
  EXPECT_EQ(f.Text1.text(), QStringLiteral("PAD"));
  Press(SDL_CONTROLLER_BUTTON_START);
  ASSERT_EQ(Module1.GamePhase, kScoreView);
  EXPECT_EQ(Module1.HiScore[0].Name, "PAD");
  EXPECT_EQ(f.Label3[0].Caption(), "PAD");
  EXPECT_EQ(f.Label3[2].Caption(), std::to_string(Module1.Score));

  Press(SDL_CONTROLLER_BUTTON_START);
  EXPECT_EQ(Module1.GamePhase, kTitle);
  EXPECT_FALSE(f.Picture8.Visible());
}

// A pad-only player from the first start to quitting: the settings screen by the north
// button (the speed, the window's size, a button rebound), a game played and a name entered
// with the pad, then quit from the settings screen. Also run under Xvfb on a real display.
TEST_F(PadE2ETest, SettingsAGameAndQuittingWithThePadOnly) {
  Form1Window& f = form();
  Form_LoadSteps(dir_.path().toStdString());
  random.Randomize(20240611);
  Pad_Start();
  PlugIn();
  ASSERT_EQ(Module1.GamePhase, kTitle);
  const int scale = f.WindowScale();

  Press(SDL_CONTROLLER_BUTTON_Y);
  ASSERT_TRUE(Settings_IsOpen());
  Press(SDL_CONTROLLER_BUTTON_DPAD_DOWN);
  Press(SDL_CONTROLLER_BUTTON_A);  // the wait, one heavier
  EXPECT_TRUE(f.mnuO7.Checked() || f.mnuO4.Checked());
  const Long wait = Module1.WaitMs;
  Press(SDL_CONTROLLER_BUTTON_DPAD_DOWN);
  Press(SDL_CONTROLLER_BUTTON_DPAD_DOWN);
  Press(SDL_CONTROLLER_BUTTON_DPAD_LEFT);  // the next smaller size the screen holds, round
  EXPECT_TRUE(f.mnuScale[f.WindowScale() - 1].Checked());
  int offered = 0;
  for (const MenuItem& item : f.mnuScale) offered += item.Enabled();
  EXPECT_EQ(f.WindowScale() != scale, offered > 1) << "a size changes where another fits";
  EXPECT_EQ(Options().Scale, f.WindowScale()) << "kept for the next start";

  // to the keys, past the language and the world table's two lines
  for (int i = 0; i < 8; ++i) Press(SDL_CONTROLLER_BUTTON_DPAD_DOWN);
  Press(SDL_CONTROLLER_BUTTON_A);
  Press(SDL_CONTROLLER_BUTTON_DPAD_DOWN);
  Press(SDL_CONTROLLER_BUTTON_DPAD_DOWN);      // the red bomb
  Press(SDL_CONTROLLER_BUTTON_DPAD_LEFT);      // its button
  Press(SDL_CONTROLLER_BUTTON_A);
  Press(SDL_CONTROLLER_BUTTON_LEFTSHOULDER);   // taken by the left shoulder
  EXPECT_EQ(Bindings_ButtonOf(SDL_CONTROLLER_BUTTON_LEFTSHOULDER), kKeyZ);
  Press(SDL_CONTROLLER_BUTTON_B);
  Press(SDL_CONTROLLER_BUTTON_B);
  ASSERT_FALSE(Settings_IsOpen());

  Press(SDL_CONTROLLER_BUTTON_START);
  ASSERT_EQ(Module1.GamePhase, kPlaying);
  EXPECT_EQ(Module1.WaitMs, wait);
  TakeAndDrop(SDL_CONTROLLER_BUTTON_LEFTSHOULDER);
  ASSERT_EQ(Module1.RedStock, 29) << "the rebound button took a red bomb";
  ASSERT_TRUE(TurnUntil([] { return Module1.Score > 0; }, 400));
  for (int rises = 0; Module1.GamePhase == kPlaying && rises < 40; ++rises) {
    Press(SDL_CONTROLLER_BUTTON_RIGHTSHOULDER);
  }
  ASSERT_EQ(Module1.GamePhase, kNameEntry);
  f.Text1.clear();
  Press(SDL_CONTROLLER_BUTTON_DPAD_UP);  // "A"
  Press(SDL_CONTROLLER_BUTTON_START);
  ASSERT_EQ(Module1.GamePhase, kScoreView);
  EXPECT_EQ(Module1.HiScore[0].Name, "A");
  Press(SDL_CONTROLLER_BUTTON_START);
  ASSERT_EQ(Module1.GamePhase, kTitle);

  Press(SDL_CONTROLLER_BUTTON_Y);
  Press(SDL_CONTROLLER_BUTTON_DPAD_UP);  // round to the last item: quit
  Press(SDL_CONTROLLER_BUTTON_A);  // A confirms here, whatever the red bomb's button is
  EXPECT_TRUE(f.Unloaded()) << "quit as the Game menu quits";
  EXPECT_TRUE(QFile::exists(dir_.filePath(QStringLiteral("tarnix.conf"))) ||
              QFile::exists(QString::fromStdString(Settings_FolderUtf8()) +
                            QStringLiteral("tarnix.conf")));
}

}  // namespace
}  // namespace tarnix::testing
