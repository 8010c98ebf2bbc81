// The gamepad on SDL's virtual controller: no hardware, no display. Each test plugs a pad in,
// presses its buttons and moves its stick, and looks at what the game's handlers made of it.
#include <gtest/gtest.h>

#include <SDL.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/keys.h"
#include "input/input.h"
#include "input/pad.h"
#include "playfield/playfield.h"
#include "replay/replay.h"
#include "scores/scores.h"
#include "files/options.h"
#include "shell/shell.h"
#include "support/bomb_scene.h"
#include "support/virtual_pad.h"

namespace tarnix::testing {
namespace {

constexpr int kA = SDL_CONTROLLER_BUTTON_A;
constexpr int kB = SDL_CONTROLLER_BUTTON_B;
constexpr int kStart = SDL_CONTROLLER_BUTTON_START;
constexpr int kBack = SDL_CONTROLLER_BUTTON_BACK;
constexpr int kShoulder = SDL_CONTROLLER_BUTTON_RIGHTSHOULDER;
constexpr int kPadUp = SDL_CONTROLLER_BUTTON_DPAD_UP;
constexpr int kPadDown = SDL_CONTROLLER_BUTTON_DPAD_DOWN;
constexpr int kPadLeft = SDL_CONTROLLER_BUTTON_DPAD_LEFT;
constexpr int kPadRight = SDL_CONTROLLER_BUTTON_DPAD_RIGHT;
constexpr int kStickX = SDL_CONTROLLER_AXIS_LEFTX;
constexpr int kStickY = SDL_CONTROLLER_AXIS_LEFTY;

class PadTest : public BombTest {
 protected:
  void SetUp() override {
    BombTest::SetUp();
    ASSERT_TRUE(dir_.isValid());
    Module1.AppPath = dir_.path().toStdString() + "/";
    Options_Reset();
    Input_Reset();
    rumbles.clear();
    Pad_Start();
  }
  void TearDown() override {
    QEvent back(QEvent::WindowActivate);
    QApplication::sendEvent(&form(), &back);
    Pad_Stop();
    Pad_WatchFolders({});
    Input_Reset();
    BombTest::TearDown();
  }

  // The title line is drawn over the band between the high-score item and the credits.
  bool TitleLineShown() {
    return form().Picture1.Image().copy(0, 266, 264, 16) !=
           form().Picture5[5].Picture().copy(0, 266, 264, 16);
  }

  QTemporaryDir dir_;
};

TEST_F(PadTest, IdleGameSleepsUntilADeviceNodeChangesThenLooksForAWhile) {
  Pad_Stop();
  QTemporaryDir devices;
  Pad_WatchFolders({devices.path().toStdString() + "/input", devices.path().toStdString()});
  Pad_Start();
  Pad_Poll();
  EXPECT_EQ(Main_IdleTimeout(), -1) << "no pad, nothing changed: no timer at all";

  QDir(devices.path()).mkdir("input");  // the kernel makes the folder with the first device
  ASSERT_TRUE(QTest::qWaitFor([] { return Main_IdleTimeout() >= 0; }, 5000));
  EXPECT_LT(Main_IdleTimeout(), 1000) << "frequent looks while the new node settles";
  {
    VirtualPad pad;
    EXPECT_EQ(Main_IdleTimeout(), std::max(0, 20 - static_cast<int>(Module1.WaitMs)))
        << "an open pad answers at once";
  }

  Pad_Stop();
  Pad_WatchFolders({"/nonexistent-tarnix-folder"});
  Pad_Start();
  Pad_Poll();
  EXPECT_GE(Main_IdleTimeout(), 0) << "nothing to watch: a look every while instead";
}

TEST_F(PadTest, ButtonsAreTheKeysTheyStandFor) {
  VirtualPad pad;
  ASSERT_EQ(Pad_Count(), 1);
  const struct { int button; const char* flags; } held[] = {
      {kPadLeft, "100000"}, {kPadUp, "010000"}, {kPadRight, "001000"},
      {kPadDown, "000100"}, {kA, "000010"},     {kB, "000001"}};
  for (const auto& h : held) {
    pad.Button(h.button, true);
    EXPECT_EQ(Module1.KeyFlags, h.flags) << "button " << h.button << " held";
    pad.Button(h.button, false);
    EXPECT_EQ(Module1.KeyFlags, "000000") << "button " << h.button << " released";
  }
  pad.Click(kShoulder);
  EXPECT_EQ(Module1.RiseCountdown, 1) << "the shoulder is Space: the next row at once";

  pad.Button(kPadLeft, true);
  pad.Click(kStart);
  EXPECT_EQ(Module1.GamePhase, kPaused) << "Start is Enter";
  EXPECT_EQ(form().Label2[0].Caption(), "Pause");
  pad.Click(kStart);
  EXPECT_EQ(Module1.GamePhase, kPlaying);
  EXPECT_EQ(Module1.KeyFlags, "000000") << "resuming forgets held keys, as it does for Enter";

  pad.Click(kBack);
  EXPECT_EQ(Module1.GamePhase, kTitle) << "Back is the Game menu's return to the title";
  EXPECT_FALSE(form().Picture6.Visible());
  EXPECT_TRUE(messages.shown.empty()) << "asking nothing";
}

TEST_F(PadTest, PadIsIgnoredWhileThePlayerIsInAnotherWindow) {
  VirtualPad pad;
  QEvent away(QEvent::WindowDeactivate);
  QApplication::sendEvent(&form(), &away);
  ASSERT_EQ(Module1.GamePhase, kPaused) << "looking away pauses";
  pad.Click(kStart);
  EXPECT_EQ(Module1.GamePhase, kPaused) << "Start pressed meanwhile resumes nothing";
  QEvent back(QEvent::WindowActivate);
  QApplication::sendEvent(&form(), &back);
  pad.Click(kStart);
  EXPECT_EQ(Module1.GamePhase, kPlaying) << "back in the window, the pad plays again";
}

TEST_F(PadTest, StickWalksBeyondItsDeadZone) {
  VirtualPad pad;
  pad.Axis(kStickX, -12000);
  EXPECT_EQ(Module1.KeyFlags, "000000") << "a stick resting off centre walks nowhere";
  pad.Axis(kStickX, -20000);
  EXPECT_EQ(Module1.KeyFlags, "100000");
  pad.Axis(kStickX, -14000);
  EXPECT_EQ(Module1.KeyFlags, "100000") << "no flicker on the way back";
  pad.Axis(kStickX, 30000);
  EXPECT_EQ(Module1.KeyFlags, "001000") << "straight across: left let go, right held";
  pad.Axis(kStickX, 0);
  pad.Axis(kStickY, 32767);
  EXPECT_EQ(Module1.KeyFlags, "000100") << "stick down drops";
  pad.Button(kPadDown, true);
  pad.Axis(kStickY, 0);
  EXPECT_EQ(Module1.KeyFlags, "000100") << "the d-pad still holds the same key";
  pad.Button(kPadDown, false);
  EXPECT_EQ(Module1.KeyFlags, "000000");
}

TEST_F(PadTest, KeyHeldOnKeyboardAndPadIsReleasedWhenBothLetGo) {
  VirtualPad pad;
  QTest::keyPress(&form().Picture1, Qt::Key_Left);
  pad.Button(kPadLeft, true);
  QTest::keyRelease(&form().Picture1, Qt::Key_Left);
  EXPECT_EQ(Module1.KeyFlags, "100000") << "the pad still holds it";
  pad.Button(kPadLeft, false);
  EXPECT_EQ(Module1.KeyFlags, "000000");

  pad.Button(kA, true);
  QTest::keyPress(&form().Picture1, Qt::Key_Z);
  pad.Button(kA, false);
  EXPECT_EQ(Module1.KeyFlags, "000010") << "the keyboard still holds it";
  QTest::keyRelease(&form().Picture1, Qt::Key_Z);
  EXPECT_EQ(Module1.KeyFlags, "000000");
}

TEST_F(PadTest, TitleShowsTheLineAndTheCursorFollowsThePad) {
  Module1.GamePhase = kTitle;
  Title_Draw(204);
  EXPECT_FALSE(TitleLineShown()) << "no pad, the title as it always was";
  {
    VirtualPad pad;
    EXPECT_TRUE(TitleLineShown()) << "a pad plugged in on the title shows its controls";
    pad.Button(kPadLeft, true);
    pad.Button(kPadLeft, false);
    EXPECT_EQ(Module1.MenuCursor, 0);
    pad.Click(kPadDown);
    EXPECT_EQ(Module1.MenuCursor, 1);
    EXPECT_TRUE(TitleLineShown()) << "and keeps them when the cursor moves";
    pad.Axis(kStickY, -30000);
    EXPECT_EQ(Module1.MenuCursor, 0) << "the stick moves the cursor too";
    pad.Axis(kStickY, 0);
    EXPECT_EQ(Module1.KeyFlags, "000000") << "title keys do not touch the held-key flags";
  }
  EXPECT_FALSE(TitleLineShown()) << "unplugged, the line goes";
  VirtualPad again;
  again.Click(kStart);
  EXPECT_EQ(Module1.GamePhase, kPlaying) << "Start chooses the first item";
}

TEST_F(PadTest, UnpluggingThePlayingPadPausesAndReleasesItsKeys) {
  VirtualPad idle;
  {
    VirtualPad playing;
    playing.Button(kPadRight, true);
    ASSERT_EQ(Module1.KeyFlags, "001000");
    sound.played.clear();
  }
  EXPECT_EQ(Pad_Count(), 1);
  EXPECT_EQ(Module1.GamePhase, kPaused) << "the same pause as Enter";
  EXPECT_EQ(sound.Names(), std::vector<std::string>{"select"});
  EXPECT_EQ(Module1.KeyFlags, "000000") << "released before the pause";
  idle.Click(kStart);
  ASSERT_EQ(Module1.GamePhase, kPlaying) << "any pad resumes";
  QTest::keyClick(&form().Picture1, Qt::Key_Space);
  idle.Unplug();
  EXPECT_EQ(Module1.GamePhase, kPlaying) << "the keyboard played last: no reason to stop";
  VirtualPad third;
  third.Unplug();
  EXPECT_EQ(Module1.GamePhase, kPlaying) << "a pad that did not play is unplugged quietly";
}

TEST_F(PadTest, UnknownDeviceIsPlayedWithItsHatAndFirstButtonsOrLeftAlone) {
  VirtualPad sensor(SDL_JOYSTICK_TYPE_UNKNOWN, 6, 0, 0, 0x0101);
  EXPECT_EQ(Pad_Count(), 0) << "no buttons: nothing to play with";
  VirtualPad odd(SDL_JOYSTICK_TYPE_UNKNOWN, 2, 4, 1, 0x0102);
  ASSERT_EQ(Pad_Count(), 1);
  odd.Hat(SDL_HAT_LEFTUP);
  EXPECT_EQ(Module1.KeyFlags, "110000");
  odd.Hat(SDL_HAT_CENTERED);
  odd.Button(0, true);
  EXPECT_EQ(Module1.KeyFlags, "000010") << "the first button is A";
  odd.Button(0, false);
  odd.Axis(0, 25000);
  EXPECT_EQ(Module1.KeyFlags, "001000") << "the first axis walks";
  odd.Axis(0, 0);
  odd.Click(2);
  EXPECT_EQ(Module1.GamePhase, kPaused) << "the third button is Start";
}

TEST_F(PadTest, MappingsFromTheSettingsFolderAndTheEnvironment) {
  // SDL knows no mapping for this device until one is given.
  VirtualPad probe(SDL_JOYSTICK_TYPE_UNKNOWN, 2, 4, 0, 0x0103);
  char guid[64];
  SDL_JoystickGetGUIDString(probe.Guid(), guid, sizeof guid);
  probe.Unplug();
  Pad_Stop();
  QFile db(dir_.filePath(QStringLiteral("gamecontrollerdb.txt")));
  ASSERT_TRUE(db.open(QIODevice::WriteOnly));
  db.write("# a comment line\nnot a mapping\n");
  db.write(QByteArray(guid) + ",Test pad,a:b3,b:b2,start:b0,leftx:a0,lefty:a1,platform:Linux,\n");
  db.close();

  Pad_Start();
  {
    VirtualPad pad(SDL_JOYSTICK_TYPE_UNKNOWN, 2, 4, 0, 0x0103);
    pad.Button(3, true);
    EXPECT_EQ(Module1.KeyFlags, "000010") << "the file's mapping: button 3 is A";
  }
  Pad_Stop();
  ASSERT_EQ(Module1.GamePhase, kPaused) << "the pad that played was unplugged";
  Picture1_KeyDown(13, 0);
  const std::string env = std::string(guid) + ",Test pad,a:b1,start:b0,platform:Linux,";
  ASSERT_EQ(setenv("SDL_GAMECONTROLLERCONFIG", env.c_str(), 1), 0);
  Pad_Start();
  unsetenv("SDL_GAMECONTROLLERCONFIG");
  VirtualPad pad(SDL_JOYSTICK_TYPE_UNKNOWN, 2, 4, 0, 0x0103);
  pad.Button(1, true);
  EXPECT_EQ(Module1.KeyFlags, "000010") << "the environment has the last word";
}

TEST_F(PadTest, ChainsRumbleStrongerForLaterGenerationsUnlessTurnedOff) {
  VirtualPad pad;
  EXPECT_TRUE(form().mnuRumble.Action()->isCheckable());
  Put(5, 2, '4');
  Put(7, 2, '4');
  Put(6, 0, '4');
  Block_Paint();
  Fuse(0, 6, 4, 1);
  Bomb_Refresh();
  ASSERT_EQ(rumbles.size(), 3u) << "one rumble for each of three generations";
  EXPECT_LT(rumbles[0].low, rumbles[1].low);
  EXPECT_LT(rumbles[1].low, rumbles[2].low);
  EXPECT_LT(rumbles[0].high, rumbles[2].high);

  form().mnuRumble.SetChecked(true);
  mnuRumble_Click();
  EXPECT_FALSE(Options().Rumble);
  EXPECT_FALSE(form().mnuRumble.Checked());
  rumbles.clear();
  Fuse(0, 6, 4, 0);
  Bomb_Refresh();
  EXPECT_TRUE(rumbles.empty()) << "the Options item turns it off";
}

TEST_F(PadTest, NameIsEnteredArcadeStyleWhileTheKeyboardStillTypes) {
  VirtualPad pad;
  Module1.Score = 700;
  for (HiScoreEntry& e : Module1.HiScore) e.Score = "0";
  std::string row(kRowLength, '1');
  Game_Over(row);
  ASSERT_EQ(Module1.GamePhase, kNameEntry);
  TextBox& box = form().Text1;
  box.clear();

  pad.Click(kPadUp);  // A
  pad.Click(kPadUp);  // B
  pad.Click(kA);
  pad.Click(kPadDown);  // the last of the wheel
  EXPECT_EQ(box.text(), QStringLiteral("B&"));
  pad.Click(kPadDown);
  pad.Click(kPadRight);
  pad.Click(kPadRight);
  EXPECT_EQ(box.text(), QStringLiteral("B?")) << "right on the empty place does nothing";
  pad.Click(kB);
  EXPECT_EQ(box.text(), QStringLiteral("B")) << "B takes back";
  QTest::keyClicks(&box, QStringLiteral("ob"));
  EXPECT_EQ(box.text(), QStringLiteral("Bob")) << "typing works at the same time";
  pad.Click(kPadLeft);
  pad.Click(kPadUp);
  EXPECT_EQ(box.text(), QStringLiteral("BoA")) << "left takes back too; up fills the empty place";
  for (int i = 0; i < 12; ++i) {
    pad.Click(kA);
    pad.Click(kPadUp);
  }
  EXPECT_EQ(box.text().size(), 10) << "ten characters at most";
  EXPECT_EQ(Module1.KeyFlags, "000000") << "no key of play is held by the name entry";
  pad.Click(kBack);
  EXPECT_EQ(Module1.GamePhase, kNameEntry) << "Back is off, as the menu item is";
  pad.Click(kStart);
  EXPECT_EQ(Module1.GamePhase, kScoreView);
  EXPECT_EQ(Module1.HiScore[0].Name, box.text().toStdString());
  EXPECT_EQ(form().Label3[0].Caption(), "BoAAAAAAAF") << "the tenth place still turns";
}

// Every source knocks on the same doors, and the one tap in front of them records each call
// that changed the game, at the pass it came in: the keyboard, the pad, the menu bar, the name
// box. The test keeps its own list of what it did and holds the recording to it.
TEST_F(PadTest, AGameThroughEveryDoorIsRecordedExactlyAsItWasPlayed) {
  Replay_Reset();
  VirtualPad pad;
  Module1.GamePhase = kTitle;
  Module1.MenuCursor = 0;
  Module1.KeyFlags = "000000";
  std::vector<ReplayEvent> made;
  std::uint32_t pass = 0;
  auto run = [&](int passes) {
    for (int i = 0; i < passes && Module1.GamePhase == kPlaying; ++i, ++pass) Main_Prog();
  };
  auto did = [&](char code) { made.push_back({pass, code}); };

  pad.Click(kStart);
  ASSERT_EQ(Module1.GamePhase, kPlaying) << "the pad's Start chose the start item";
  ASSERT_TRUE(Replay_IsRecording());
  run(5);
  QTest::keyPress(&form().Picture1, Qt::Key_Left);
  did('L');
  run(3);
  pad.Button(kPadRight, true);
  did('R');
  run(2);
  QTest::keyRelease(&form().Picture1, Qt::Key_Left);
  did('l');
  pad.Button(kPadRight, false);
  did('r');
  pad.Button(kA, true);
  did('Z');
  run(4);
  pad.Button(kA, false);
  did('z');
  form().mnuO5.Action()->trigger();
  did('1');
  run(6);
  QTest::keyClick(&form().Picture1, Qt::Key_Down);
  did('D');
  did('d');
  run(8);
  QTest::keyClick(&form().Picture1, Qt::Key_Return);
  did('E');  // the pause; Enter's release changes nothing and is not kept
  pad.Click(kStart);
  did('E');
  Module1.Score = 4321;
  // The right shoulder raises the next row at once, until the well is full.
  for (int i = 0; i < 400 && Module1.GamePhase == kPlaying; ++i) {
    pad.Click(kShoulder);
    did('S');
    run(1);
  }
  ASSERT_EQ(Module1.GamePhase, kNameEntry);
  QTest::keyClicks(&form().Text1, QStringLiteral("Ann"));
  QTest::keyClick(&form().Text1, Qt::Key_Return);
  ASSERT_EQ(Module1.GamePhase, kScoreView);

  const ReplayRecord& record = Replay_Recording();
  ASSERT_EQ(record.events.size(), made.size());
  for (std::size_t i = 0; i < made.size(); ++i) {
    EXPECT_EQ(record.events[i].pass, made[i].pass) << "event " << i;
    EXPECT_EQ(record.events[i].code, made[i].code) << "event " << i;
  }
  EXPECT_EQ(record.passes, pass);
  EXPECT_EQ(record.name, "Ann") << "the name box's Enter reached the recording";
  EXPECT_EQ(record.ending, ReplayEnding::kGameOver);
  EXPECT_EQ(record.score, 4321);
}

// Holding Left on the keyboard, looking away and back, then pressing and releasing Left on the
// pad: the keyboard let go through the input layer, so the pad's release is the last one and
// the figure stops.
TEST_F(PadTest, LookingAwayLetsGoOfTheKeyboardSoAPadsReleaseIsHeard) {
  VirtualPad pad;
  StartPlaying();
  QTest::keyPress(&form().Picture1, Qt::Key_Left);
  ASSERT_EQ(Module1.KeyFlags, "100000");
  QEvent away(QEvent::WindowDeactivate);
  QApplication::sendEvent(&form(), &away);
  EXPECT_EQ(Module1.KeyFlags, "000000");
  ASSERT_EQ(Module1.GamePhase, kPaused);
  QEvent back(QEvent::WindowActivate);
  QApplication::sendEvent(&form(), &back);
  pad.Click(kStart);
  ASSERT_EQ(Module1.GamePhase, kPlaying);

  pad.Button(kPadLeft, true);
  EXPECT_EQ(Module1.KeyFlags, "100000");
  pad.Button(kPadLeft, false);
  EXPECT_EQ(Module1.KeyFlags, "000000") << "no source holds Left any more";
  const Long left = form().Picture2.Left();
  Main_Prog();
  EXPECT_EQ(form().Picture2.Left(), left) << "the figure does not walk on a key nobody holds";
}

}  // namespace
}  // namespace tarnix::testing
