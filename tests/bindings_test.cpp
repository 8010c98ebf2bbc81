// The player's own keys: the swap and refusal rules, tarnix.conf, and a remapped game that
// the rules, and so the replay, cannot tell from one played with the defaults.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <SDL.h>

#include "core/doors.h"
#include "files/options.h"
#include "input/bindings.h"
#include "replay/replay.h"
#include "support/fixture.h"
#include "support/table_games.h"

namespace tarnix::testing {
namespace {

// Scan codes of a PC keyboard under X11 (the kernel's number plus 8).
constexpr std::uint32_t kScanW = 25, kScanP = 33, kScanA = 38, kScanS = 39, kScanD = 40,
                        kScanJ = 44, kScanK = 45, kScanL = 46, kScanZ = 52, kScanX = 53,
                        kScanLeft = 113, kScanEnter = 36;

class BindingsTest : public GameTest {};

TEST_F(BindingsTest, ABoundKeySwapsAndNoActionIsLeftWithoutOne) {
  EXPECT_EQ(Bindings_KeyOf(kScanZ), 90);
  EXPECT_EQ(Bind_Key(kActRedBomb, 0, kScanX), BindResult::kSwapped);
  EXPECT_EQ(Bindings_KeyOf(kScanX), 90) << "the key now drops the red bomb";
  EXPECT_EQ(Bindings_KeyOf(kScanZ), 88) << "and the blue bomb took the red one's old key";

  EXPECT_EQ(Bind_Key(kActThrow, 1, kScanZ), BindResult::kRefused)
      << "the blue bomb would be left with no key";
  EXPECT_EQ(Bindings_KeyOf(kScanZ), 88) << "a refusal changes nothing";
  EXPECT_EQ(Unbind_Key(kActWalkRight, 0), BindResult::kRefused) << "its only key";
  EXPECT_EQ(Unbind_Key(kActPause, 1), BindResult::kBound) << "Enter stays on the other slot";
  EXPECT_EQ(Bind_Key(kActNextRow, 1, 9), BindResult::kRefused) << "Escape opens the settings";
  EXPECT_EQ(Bind_Key(kActWalkLeft, 1, kScanA), BindResult::kBound);
  EXPECT_EQ(Bindings_KeyOf(kScanA), 37);
  EXPECT_EQ(Bindings_KeyOf(kScanLeft), 37) << "two keys for one action";

  EXPECT_EQ(Bind_Button(kActRedBomb, 0, SDL_CONTROLLER_BUTTON_X), BindResult::kBound);
  EXPECT_EQ(Bindings_ButtonOf(SDL_CONTROLLER_BUTTON_X), 90);
  EXPECT_EQ(Bindings_ButtonOf(SDL_CONTROLLER_BUTTON_A), 0) << "A no longer plays";
  EXPECT_EQ(Bind_Button(kActPause, 0, SDL_CONTROLLER_BUTTON_Y), BindResult::kRefused)
      << "the settings button is the game's";
  EXPECT_EQ(Unbind_Button(kActRedBomb, 0), BindResult::kRefused);

  // Kept in tarnix.conf, and back to the defaults.
  ASSERT_TRUE(Options_Save(Module1.AppPath));
  const Bindings remapped = Bindings_Current();
  Bindings_Reset();
  EXPECT_EQ(Bindings_KeyOf(kScanZ), 90);
  EXPECT_EQ(Bindings_KeyOf(kScanA), 0);
  Options_Load(Module1.AppPath);
  Bindings_FromOptions();
  EXPECT_EQ(Bindings_Current().keys, remapped.keys);
  EXPECT_EQ(Bindings_Current().buttons, remapped.buttons);
}

TEST_F(BindingsTest, AGarbledSetInTarnixConfMeansTheDefaults) {
  Options().Bindings["Keys/RedBomb"] = "53,0";  // the blue bomb's key as well
  Bindings_FromOptions();
  EXPECT_EQ(Bindings_KeyOf(kScanZ), 90);
  EXPECT_EQ(Bindings_KeyOf(kScanX), 88);
  Options().Bindings = {{"Keys/RedBomb", "0,0"}};
  Bindings_FromOptions();
  EXPECT_EQ(Bindings_KeyOf(kScanZ), 90) << "an action without a key";
  Options().Bindings = {{"Keys/RedBomb", "44,46"}, {"Keys/NextRow", "65,0"}};
  Bindings_FromOptions();
  EXPECT_EQ(Bindings_KeyOf(kScanJ), 90) << "a valid set is taken";
  EXPECT_EQ(Bindings_KeyOf(kScanL), 90);
}

// A game driven by physical keys: the same presses by action, whichever keys they sit on.
class RemappedGameTest : public GameTest {
 protected:
  void Key(QEvent::Type type, std::uint32_t scan) {
    QKeyEvent event(type, Qt::Key_unknown, Qt::NoModifier, scan, 0, 0);
    QApplication::sendEvent(&form().Picture1, &event);
  }
  // Plays from the title until the game ends; what the recorder kept.
  ReplayRecord Play(const std::array<std::uint32_t, kActions>& keyOf) {
    Replay_Reset();
    random.Randomize(777);
    Module1.GamePhase = kTitle;
    Module1.MenuCursor = 0;
    Module1.WaitMs = 0;
    Key(QEvent::KeyPress, keyOf[kActPause]);  // the start item, as Enter chooses it
    Key(QEvent::KeyRelease, keyOf[kActPause]);
    EXPECT_EQ(Module1.GamePhase, kPlaying);
    const int script[] = {kActWalkLeft, kActRedBomb, kActDrop,  kActWalkRight, kActBlueBomb,
                          kActThrow,    kActNextRow, kActPause, kActPause,     kActRedBomb};
    for (int pass = 0; pass < 5000 && (Module1.GamePhase == kPlaying ||
                                       Module1.GamePhase == kPaused); ++pass) {
      const int action = script[(pass / 7) % std::size(script)];
      if (pass % 7 == 0) Key(QEvent::KeyPress, keyOf[action]);
      if (pass % 7 == 3) Key(QEvent::KeyRelease, keyOf[action]);
      if (Module1.GamePhase == kPaused && pass % 7 == 5) Key(QEvent::KeyPress, keyOf[kActPause]);
      if (pass % 25 == 10) {
        Key(QEvent::KeyPress, keyOf[kActNextRow]);
        Key(QEvent::KeyRelease, keyOf[kActNextRow]);
      }
      Main_Prog();
    }
    EXPECT_GE(Module1.GamePhase, kGameOverView) << "rows rose until the game ended";
    return Replay_Recording();
  }
};

TEST_F(RemappedGameTest, RecordsTheSameReplayAsTheDefaultKeys) {
  const ReplayRecord defaults =
      Play({kScanLeft, 114, kScanZ, kScanX, 111, 116, kScanEnter, 65});

  const std::string folder = Module1.AppPath;
  Module1_Reset();
  Module1.AppPath = folder;
  // A left-handed player's keys, and WASD.
  const std::array<std::uint32_t, kActions> mine = {kScanA, kScanD, kScanJ, kScanK,
                                                    kScanW, kScanS, kScanP, kScanL};
  for (int a = 0; a < kActions; ++a) ASSERT_NE(Bind_Key(a, 0, mine[a]), BindResult::kRefused);
  EXPECT_EQ(Bindings_KeyOf(kScanZ), 0) << "the old keys are free again";
  const ReplayRecord remapped = Play(mine);

  ASSERT_GT(defaults.events.size(), 50u);
  EXPECT_GT(defaults.score, 0);
  ASSERT_EQ(remapped.events.size(), defaults.events.size());
  for (std::size_t i = 0; i < defaults.events.size(); ++i) {
    ASSERT_EQ(remapped.events[i].pass, defaults.events[i].pass) << "event " << i;
    ASSERT_EQ(remapped.events[i].code, defaults.events[i].code) << "event " << i;
  }
  EXPECT_EQ(remapped.passes, defaults.passes);
  EXPECT_EQ(remapped.score, defaults.score);

  // The old keys are silent now, even the ones whose letters the game knew.
  Module1.GamePhase = kPlaying;
  Module1.KeyFlags = "000000";
  QKeyEvent z(QEvent::KeyPress, Qt::Key_Z, Qt::NoModifier, kScanZ, 0, 0, QStringLiteral("z"));
  QApplication::sendEvent(&form().Picture1, &z);
  EXPECT_EQ(Module1.KeyFlags, "000000");
  Key(QEvent::KeyPress, kScanJ);
  EXPECT_EQ(Module1.KeyFlags, "000010");
}

// The name box hears the key that pauses as Enter, which did both; Enter itself stays.
TEST_F(RemappedGameTest, TheKeyThatPausesEntersTheNameAsEnterDid) {
  // A short game into the table, then "a" and the key typed in the name box.
  const auto nameThen = [this](std::uint32_t scan, int qtKey, const char* text) {
    Replay_Reset();
    StartFromTitle();
    Module1.Score = 4000;
    for (int pass = 0; pass < 400 && Module1.GamePhase == kPlaying; ++pass) {
      Picture1_KeyDown(32, 0);
      Main_Prog();
    }
    form().Text1.clear();
    for (const auto& [s, k, t] : {std::tuple(kScanA, int(Qt::Key_A), "a"),
                                  std::tuple(scan, qtKey, text)}) {
      QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier, s, 0, 0, QString::fromUtf8(t));
      QApplication::sendEvent(&form().Text1, &press);
    }
    return Replay_Recording().events;
  };
  const std::vector<ReplayEvent> byEnter = nameThen(kScanEnter, Qt::Key_Return, "\r");
  ASSERT_EQ(Bind_Key(kActPause, 0, kScanP), BindResult::kBound);
  const std::vector<ReplayEvent> byP = nameThen(kScanP, Qt::Key_P, "p");
  EXPECT_EQ(Module1.GamePhase, kScoreView) << "the key that pauses entered the name";
  EXPECT_EQ(form().Text1.text(), QStringLiteral("a")) << "and typed nothing";
  ASSERT_EQ(byP.size(), byEnter.size());
  for (std::size_t i = 0; i < byP.size(); ++i) EXPECT_EQ(byP[i].code, byEnter[i].code) << i;
  nameThen(kScanEnter, Qt::Key_Return, "\r");
  EXPECT_EQ(Module1.GamePhase, kScoreView) << "Enter too, though it no longer pauses";
  nameThen(kScanZ, Qt::Key_Z, "z");
  EXPECT_EQ(form().Text1.text(), QStringLiteral("az")) << "the red bomb's key is a letter here";
}

}  // namespace
}  // namespace tarnix::testing
