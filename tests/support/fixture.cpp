#include "support/fixture.h"

#include "playfield/playfield.h"
#include "shell/shell.h"
#include "files/language.h"
#include "shell/command_line.h"
#include "files/options.h"
#include "core/platform.h"

namespace tarnix::testing {

void GameTest::SetUp() {
  Module1_Reset();
  Port_Reset();
  // A game folder of the test's own: whatever the test saves lands there and goes with it.
  folder_ = std::make_unique<QTemporaryDir>();
  ASSERT_TRUE(folder_->isValid());
  Module1.AppPath = QFile::encodeName(folder_->path()).toStdString() + "/";
  PlatformSeams& p = Platform();
  p.clock = &clock;
  p.sound = &sound;
  p.messages = &messages;
  p.launcher = &launcher;
  p.random = &random;
  p.events = &events;
  random.Randomize(12345);
  // The suites compare with the game's own Japanese texts, whatever the machine's language.
  Language_Install(QStringLiteral("ja"));
  // Whatever tarnix.conf a run of the game left in the build folder, tests see a window at x1.
  RunOptions().Scale = 1;
  RunOptions().Windowed = true;
  window_ = std::make_unique<Form1Window>();
  // What start-up hands down: the keyboard on the window, the pads' line and rumble.
  Form_HandDown();
  window_->mnuO1.SetChecked(true);
}

void GameTest::TearDown() {
  window_.reset();
  Platform() = PlatformSeams{};
  Module1_Reset();
  Port_Reset();
  folder_.reset();
}

void GameTest::StartPlaying() {
  Module1.GamePhase = kPlaying;
  Module1.KeyFlags = "000000";
  Module1.HeldBomb = "";
  Module1.ActionState = kIdle;
  Module1.RedStock = 30;
  Module1.BlueStock = 30;
  Module1.Level = 1;
  Module1.RowsToLevel = 20;
  Module1.RiseCountdown = 80;
  Module1.WaitMs = 50;
  Module1.Board = EmptyBoard();
  form().Picture6.SetVisible(true);
  form().Picture2.SetLeft(120);
  form().Picture2.SetTop(32);
  form().Picture2.SetVisible(true);
  Block_Paint();
}

}  // namespace tarnix::testing
