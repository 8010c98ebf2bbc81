// The settings screen, driven by the keyboard and by the virtual pad: every change goes
// through its menu item's handler, so the menu bar's ticks and a replay agree with it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QTemporaryDir>

#include "core/doors.h"
#include "core/hooks.h"
#include "core/keys.h"
#include "files/options.h"
#include "input/bindings.h"
#include "input/input.h"
#include "input/settings_screen.h"
#include "playfield/playfield.h"
#include "replay/replay.h"
#include "support/fixture.h"
#include "support/virtual_pad.h"

namespace tarnix::testing {
namespace {

constexpr std::uint32_t kScanEscape = 9, kScanUp = 111, kScanDown = 116, kScanLeft = 113,
                        kScanRight = 114, kScanZ = 52, kScanX = 53, kScanJ = 44;

class SettingsScreenTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    Input_Reset();
    Module1.GamePhase = kTitle;
    Module1.MenuCursor = 0;
    Module1.WaitMs = 50;
    form().mnuO6.SetChecked(true);
    Title_Draw(kTitleStartY);
  }
  void TearDown() override {
    Settings_Reset();
    GameTest::TearDown();
  }
  void Key(std::uint32_t scan, int qtKey = Qt::Key_unknown) {
    QKeyEvent press(QEvent::KeyPress, qtKey, Qt::NoModifier, scan, 0, 0);
    QApplication::sendEvent(&form().Picture1, &press);
    QKeyEvent release(QEvent::KeyRelease, qtKey, Qt::NoModifier, scan, 0, 0);
    QApplication::sendEvent(&form().Picture1, &release);
  }
  void Down(int times) {
    for (int i = 0; i < times; ++i) Key(kScanDown);
  }
  // Exactly one wait item ticked, the one for the wait in force.
  void ExpectWaitTicks(int item) {
    const MenuItem* items[4] = {&form().mnuO4, &form().mnuO5, &form().mnuO6, &form().mnuO7};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(items[i]->Checked(), i == item) << "item " << i;
    EXPECT_EQ(Module1.WaitMs, 25 * item);
  }
};

TEST_F(SettingsScreenTest, KeysChangeEachOptionThroughItsMenuItem) {
  const QImage title = form().Picture1.Image().copy();
  Key(kScanEscape, Qt::Key_Escape);
  ASSERT_TRUE(Settings_IsOpen()) << "Escape on the title, which the original ignores";
  EXPECT_NE(form().Picture1.Image(), title) << "drawn over the canvas";

  Key(kScanZ);  // sound
  EXPECT_FALSE(form().mnuO1.Checked());
  Key(kScanZ);
  EXPECT_TRUE(form().mnuO1.Checked());
  Down(1);  // the wait
  Key(kScanRight);
  ExpectWaitTicks(3);
  Key(kScanRight);
  ExpectWaitTicks(0);  // round to the first
  Key(kScanLeft);
  ExpectWaitTicks(3);
  Down(1);
  Key(kScanZ);
  EXPECT_FALSE(Options().PauseWhenInactive);
  EXPECT_FALSE(form().mnuPauseInactive.Checked());
  Down(1);  // the size: only what the screen holds is offered
  Key(kScanRight);
  EXPECT_TRUE(form().mnuScale[form().WindowScale() - 1].Checked());
  EXPECT_TRUE(form().mnuScale[form().WindowScale() - 1].Enabled());
  Down(2);
  Key(kScanZ);
  EXPECT_FALSE(Options().Rumble);
  EXPECT_FALSE(form().mnuRumble.Checked());
  Down(1);
  Key(kScanZ);
  EXPECT_FALSE(Options().BombMarks);
  EXPECT_FALSE(form().mnuBombMarks.Checked());
  Down(1);
  Key(kScanZ);
  EXPECT_TRUE(Options().GentleFlashes);
  EXPECT_TRUE(form().mnuGentleFlashes.Checked());
  Down(1);  // the language
  Key(kScanRight);
  EXPECT_EQ(Options().Language, "en");
  EXPECT_EQ(form().mnuO1.Action()->text(), QStringLiteral("&Sound Effects"))
      << "the menu bar follows";
  Key(kScanLeft);
  EXPECT_EQ(Options().Language, "ja");

  Key(kScanX);
  EXPECT_FALSE(Settings_IsOpen());
  EXPECT_EQ(Module1.GamePhase, kTitle);
  EXPECT_EQ(form().Picture1.Image(), title) << "the title as it was";
  // The menu bar works as before, and the screen shows what it did.
  form().mnuO5.Action()->trigger();
  Key(kScanEscape, Qt::Key_Escape);
  Down(1);
  Key(kScanRight);
  ExpectWaitTicks(2);
}

TEST_F(SettingsScreenTest, InPauseTheGameComesBackAsItWasAndTheReplayHeardTheWait) {
  Replay_Reset();
  Module1.MenuCursor = 0;
  Key(36, Qt::Key_Return);  // start
  ASSERT_EQ(Module1.GamePhase, kPlaying);
  for (int i = 0; i < 5; ++i) Main_Prog();
  Key(36, Qt::Key_Return);
  ASSERT_EQ(Module1.GamePhase, kPaused);
  const QImage paused = form().Picture1.Image().copy();
  ASSERT_TRUE(form().Label2[0].isVisible() || !form().isVisible());
  const std::size_t events = Replay_Recording().events.size();

  Key(kScanEscape, Qt::Key_Escape);
  ASSERT_TRUE(Settings_IsOpen());
  EXPECT_TRUE(form().Label2[0].isHidden()) << "the pause message is under the screen";
  Down(1);
  Key(kScanRight);
  ExpectWaitTicks(3);
  ASSERT_EQ(Replay_Recording().events.size(), events + 1) << "the wait change, recorded";
  EXPECT_EQ(Replay_Recording().events.back().code, '3');
  Key(kScanEscape, Qt::Key_Escape);
  EXPECT_FALSE(Settings_IsOpen());
  EXPECT_EQ(form().Picture1.Image(), paused) << "the well the rules read, untouched";
  EXPECT_FALSE(form().Label2[0].isHidden());
  EXPECT_EQ(Module1.GamePhase, kPaused);
  Key(36, Qt::Key_Return);
  EXPECT_EQ(Module1.GamePhase, kPlaying);
  // Escape in play means nothing, as in the original.
  Key(kScanEscape, Qt::Key_Escape);
  EXPECT_FALSE(Settings_IsOpen());
}

TEST_F(SettingsScreenTest, TheMenuBarTakingTheGameElsewhereClosesTheScreenWithoutRestoring) {
  Key(36, Qt::Key_Return);
  Key(36, Qt::Key_Return);
  ASSERT_EQ(Module1.GamePhase, kPaused);
  Key(kScanEscape, Qt::Key_Escape);
  ASSERT_TRUE(Settings_IsOpen());
  form().mnuG1.Action()->trigger();  // back to the title, under the screen
  ASSERT_EQ(Module1.GamePhase, kTitle);
  const QImage title = form().Picture1.Image().copy();
  Key(kScanDown);
  EXPECT_FALSE(Settings_IsOpen());
  EXPECT_EQ(form().Picture1.Image(), title) << "the title stays; the pause is not put back";
  EXPECT_TRUE(form().Label2[0].isHidden());
}

TEST_F(SettingsScreenTest, KeysPageBindsSwapsAndGoesBackToTheDefaults) {
  Key(kScanEscape, Qt::Key_Escape);
  Key(kScanUp);
  Key(kScanUp);  // round to the keys
  Key(kScanZ);
  Down(2);  // the red bomb, first key
  Key(kScanZ);
  ASSERT_TRUE(Settings_Capturing());
  Key(kScanJ);
  EXPECT_FALSE(Settings_Capturing());
  EXPECT_EQ(Bindings_KeyOf(kScanJ), kKeyZ);
  EXPECT_EQ(Bindings_KeyOf(kScanZ), 0);
  // Z still confirms here, whatever the red bomb's key has become.
  Down(1);
  Key(kScanZ);
  Key(kScanJ);
  EXPECT_EQ(Bindings_KeyOf(kScanJ), kKeyX) << "the blue bomb took J, the red one its key";
  EXPECT_EQ(Bindings_KeyOf(kScanX), kKeyZ);
  // Delete empties a place, but not an action's last key.
  Key(kScanRight);  // the blue bomb's second key, empty
  Key(kScanZ);
  Key(119, Qt::Key_Delete);
  EXPECT_EQ(Bindings_Current().keys[kActBlueBomb][1], 0u);
  Key(kScanLeft);
  Key(kScanZ);
  Key(119, Qt::Key_Delete);
  EXPECT_EQ(Bindings_KeyOf(kScanJ), kKeyX) << "refused: the blue bomb's only key";
  Down(kActions - 3);  // back to the defaults
  Key(kScanZ);
  EXPECT_EQ(Bindings_KeyOf(kScanZ), kKeyZ);
  EXPECT_EQ(Bindings_KeyOf(kScanJ), 0);
  EXPECT_EQ(Options().Bindings.at("Keys/RedBomb"), "52,0") << "kept for tarnix.conf";
  Key(kScanX);
  Key(kScanX);
  EXPECT_FALSE(Settings_IsOpen());
}

int addressChanges = 0;

TEST_F(SettingsScreenTest, TheWorldTableAddressIsTypedKeptAndWrittenToTheOptions) {
  addressChanges = 0;
  Hook().WorldAddressChanged = [] { ++addressChanges; };
  const auto type = [this](const QString& text) {
    for (const QChar c : text) {
      QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, 0, 0, 0, QString(c));
      QApplication::sendEvent(&form().Picture1, &press);
    }
  };
  Key(kScanEscape, Qt::Key_Escape);
  Down(9);
  Key(kScanZ);
  ASSERT_TRUE(Settings_Editing()) << "the world table's row opens its page";
  type(QStringLiteral("127.0.0.1:8080x"));
  Key(22, Qt::Key_Backspace);
  Key(0, Qt::Key_Return);
  EXPECT_FALSE(Settings_Editing());
  EXPECT_EQ(Options().WorldTable, "http://127.0.0.1:8080") << "typed letters are no keys here";
  EXPECT_EQ(addressChanges, 1);

  Key(kScanZ);
  ASSERT_TRUE(Settings_Editing());
  for (int i = 0; i < 30; ++i) Key(22, Qt::Key_Backspace);
  type(QStringLiteral("a b/?"));
  Key(0, Qt::Key_Return);
  EXPECT_TRUE(Settings_Editing()) << "no address of a host: kept on the page, with a line why";
  Key(kScanEscape, Qt::Key_Escape);
  EXPECT_FALSE(Settings_Editing());
  EXPECT_TRUE(Settings_IsOpen()) << "Escape leaves the page, not the screen";
  EXPECT_EQ(Options().WorldTable, "http://127.0.0.1:8080");
  EXPECT_EQ(addressChanges, 1);

  QTemporaryDir dir;
  const std::string folder = dir.path().toStdString() + "/";
  ASSERT_TRUE(Options_Save(folder));
  Options_Load(folder);
  EXPECT_EQ(Options().WorldTable, "http://127.0.0.1:8080");
  Options().WorldTable.clear();
  ASSERT_TRUE(Options_Save(folder));
  Options_Load(folder);
  EXPECT_EQ(Options().WorldTable, "") << "an emptied address does not come back from the file";
  Hook().WorldAddressChanged = nullptr;
}

class SettingsPadTest : public SettingsScreenTest {
 protected:
  void SetUp() override {
    SettingsScreenTest::SetUp();
    ASSERT_TRUE(dir_.isValid());
    Module1.AppPath = dir_.path().toStdString() + "/";
    Pad_Start();
  }
  void TearDown() override {
    pad_.reset();
    Pad_Stop();
    SettingsScreenTest::TearDown();
  }
  QTemporaryDir dir_;
  std::unique_ptr<VirtualPad> pad_;
};

TEST_F(SettingsPadTest, ThePadOpensChangesRebindsAndLeaves) {
  pad_ = std::make_unique<VirtualPad>();
  VirtualPad& pad = *pad_;
  pad.Click(SDL_CONTROLLER_BUTTON_Y);
  ASSERT_TRUE(Settings_IsOpen()) << "the north button, which does not play";
  pad.Click(SDL_CONTROLLER_BUTTON_DPAD_DOWN);
  pad.Click(SDL_CONTROLLER_BUTTON_A);
  ExpectWaitTicks(3);
  pad.Click(SDL_CONTROLLER_BUTTON_DPAD_UP);
  pad.Click(SDL_CONTROLLER_BUTTON_DPAD_UP);
  pad.Click(SDL_CONTROLLER_BUTTON_DPAD_UP);
  pad.Click(SDL_CONTROLLER_BUTTON_A);  // the keys
  pad.Click(SDL_CONTROLLER_BUTTON_DPAD_DOWN);
  pad.Click(SDL_CONTROLLER_BUTTON_DPAD_DOWN);
  pad.Click(SDL_CONTROLLER_BUTTON_DPAD_LEFT);  // round to the red bomb's second button
  pad.Click(SDL_CONTROLLER_BUTTON_DPAD_LEFT);  // its first
  pad.Click(SDL_CONTROLLER_BUTTON_A);
  ASSERT_TRUE(Settings_Capturing());
  pad.Click(SDL_CONTROLLER_BUTTON_X);
  EXPECT_EQ(Bindings_ButtonOf(SDL_CONTROLLER_BUTTON_X), kKeyZ);
  EXPECT_EQ(Bindings_ButtonOf(SDL_CONTROLLER_BUTTON_A), 0) << "A is free, and silent";
  pad.Click(SDL_CONTROLLER_BUTTON_B);  // out of the keys
  pad.Click(SDL_CONTROLLER_BUTTON_Y);  // and out
  EXPECT_FALSE(Settings_IsOpen());
  pad.Click(SDL_CONTROLLER_BUTTON_START);
  ASSERT_EQ(Module1.GamePhase, kPlaying);
  pad.Button(SDL_CONTROLLER_BUTTON_A, true);
  EXPECT_EQ(Module1.KeyFlags, "000000");
  pad.Button(SDL_CONTROLLER_BUTTON_X, true);
  EXPECT_EQ(Module1.KeyFlags, "000010") << "X takes the red bomb now";
}

TEST_F(SettingsPadTest, APadWritesTheAddressWithTheWheel) {
  pad_ = std::make_unique<VirtualPad>();
  VirtualPad& pad = *pad_;
  pad.Click(SDL_CONTROLLER_BUTTON_Y);
  for (int i = 0; i < 9; ++i) pad.Click(SDL_CONTROLLER_BUTTON_DPAD_DOWN);
  pad.Click(SDL_CONTROLLER_BUTTON_A);
  ASSERT_TRUE(Settings_Editing());
  pad.Click(SDL_CONTROLLER_BUTTON_DPAD_UP);  // a new place: a
  pad.Click(SDL_CONTROLLER_BUTTON_DPAD_UP);  // b
  pad.Click(SDL_CONTROLLER_BUTTON_A);        // on
  pad.Click(SDL_CONTROLLER_BUTTON_DPAD_DOWN);  // _, from the wheel's other end
  pad.Click(SDL_CONTROLLER_BUTTON_B);          // taken back, the caret on b
  pad.Click(SDL_CONTROLLER_BUTTON_A);
  pad.Click(SDL_CONTROLLER_BUTTON_DPAD_UP);
  pad.Click(SDL_CONTROLLER_BUTTON_START);
  EXPECT_FALSE(Settings_Editing());
  EXPECT_EQ(Options().WorldTable, "http://ba");
}

TEST_F(SettingsPadTest, AnActionsSecondButtonIsBoundShownSwappedAndKept) {
  pad_ = std::make_unique<VirtualPad>();
  VirtualPad& pad = *pad_;
  const auto redSecond = [this] { return form().Picture1.Image().copy(218, 84, 42, 19); };
  const auto bind = [&pad](int button) {
    pad.Click(SDL_CONTROLLER_BUTTON_A);
    pad.Click(button);
  };
  pad.Click(SDL_CONTROLLER_BUTTON_Y);
  for (int i = 0; i < 2; ++i) pad.Click(SDL_CONTROLLER_BUTTON_DPAD_UP);
  pad.Click(SDL_CONTROLLER_BUTTON_A);  // the keys
  for (int i = 0; i < kActRedBomb; ++i) pad.Click(SDL_CONTROLLER_BUTTON_DPAD_DOWN);
  pad.Click(SDL_CONTROLLER_BUTTON_DPAD_LEFT);  // round to the red bomb's second button
  const QImage empty = redSecond();
  bind(SDL_CONTROLLER_BUTTON_X);
  EXPECT_EQ(Bindings_ButtonOf(SDL_CONTROLLER_BUTTON_X), kKeyZ);
  EXPECT_EQ(Bindings_ButtonOf(SDL_CONTROLLER_BUTTON_A), kKeyZ) << "the first button stays";
  EXPECT_NE(redSecond(), empty) << "shown where the - was";
  EXPECT_EQ(Options().Bindings.at("PadButtons/RedBomb"), "0,2") << "kept for tarnix.conf";

  pad.Click(SDL_CONTROLLER_BUTTON_DPAD_DOWN);
  bind(SDL_CONTROLLER_BUTTON_X);  // the blue bomb's second button takes it
  EXPECT_EQ(Bindings_ButtonOf(SDL_CONTROLLER_BUTTON_X), kKeyX);
  EXPECT_EQ(Bindings_Current().buttons[kActRedBomb][1], -1) << "swapped with the empty place";
  pad.Click(SDL_CONTROLLER_BUTTON_DPAD_LEFT);  // the blue bomb's first, B
  pad.Click(SDL_CONTROLLER_BUTTON_A);
  Key(119, Qt::Key_Delete);
  EXPECT_EQ(Bindings_ButtonOf(SDL_CONTROLLER_BUTTON_B), 0) << "emptied: X is left";
  pad.Click(SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
  pad.Click(SDL_CONTROLLER_BUTTON_A);
  Key(119, Qt::Key_Delete);
  EXPECT_EQ(Bindings_ButtonOf(SDL_CONTROLLER_BUTTON_X), kKeyX) << "refused: its last button";
}

}  // namespace
}  // namespace tarnix::testing
