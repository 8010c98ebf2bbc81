// The canvas's key handlers in every phase: the screens they lead to, the held-key flags,
// and the focus that keeps coming back to the canvas.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QTest>

#include <string>
#include <vector>

#include "playfield/playfield.h"
#include "shell/shell.h"
#include "support/fixture.h"

namespace tarnix::testing {
namespace {

constexpr Long kEnter = 13;
constexpr Long kSpace = 32;
constexpr Long kLeft = 37;
constexpr Long kUp = 38;
constexpr Long kRight = 39;
constexpr Long kDown = 40;
constexpr Long kZ = 90;
constexpr Long kX = 88;

using Names = std::vector<std::string>;

class KeyboardTest : public GameTest {
 protected:
  void Down(Long key) { Picture1_KeyDown(key, 0); }
  void Up(Long key) { Picture1_KeyUp(key, 0); }

  // True when the canvas shows the title picture with the cursor at (72, y) and nowhere else.
  bool TitleWithCursorAt(int y) {
    const QImage& canvas = form().Picture1.Image();
    const QImage title = form().Picture5[5].Picture();
    const int other = y == 204 ? 236 : 204;
    return Differs(canvas, title, y) && !Differs(canvas, title, other) &&
           canvas.copy(0, 0, 264, 200) == title.copy(0, 0, 264, 200);
  }
  static bool Differs(const QImage& a, const QImage& b, int y) {
    return a.copy(72, y, 24, 24) != b.copy(72, y, 24, 24);
  }
  void Scribble() {
    QImage dot(264, 324, QImage::Format_RGB32);
    dot.fill(0xFF00FF00);
    form().Picture1.PaintPicture(dot, 0, 0);
  }
};

TEST_F(KeyboardTest, TitleCursorMovesWithASoundOnlyWhenItMoves) {
  Module1.GamePhase = kTitle;
  Scribble();
  Down(kUp);  // already on the first item
  EXPECT_TRUE(sound.played.empty()) << "the cursor did not move";
  EXPECT_TRUE(TitleWithCursorAt(204)) << "but the title is drawn again";
  Down(kDown);
  EXPECT_EQ(sound.Names(), Names{"cursor"});
  EXPECT_EQ(Module1.MenuCursor, 1);
  EXPECT_TRUE(TitleWithCursorAt(236));
  Scribble();
  Down(kDown);
  EXPECT_EQ(sound.Names(), Names{"cursor"});
  EXPECT_TRUE(TitleWithCursorAt(236));
  Down(kUp);
  EXPECT_EQ(sound.Names(), (Names{"cursor", "cursor"}));
  EXPECT_EQ(Module1.MenuCursor, 0);
  EXPECT_TRUE(TitleWithCursorAt(204));
  EXPECT_TRUE(Module1.KeyFlags.empty()) << "title keys do not touch the held-key flags";
}

TEST_F(KeyboardTest, OtherKeysOnTheTitleDoNothing) {
  Module1.GamePhase = kTitle;
  for (Long key : {kSpace, kLeft, kRight, kZ, kX, Long{27}}) Down(key);
  EXPECT_TRUE(sound.played.empty());
  EXPECT_EQ(Module1.GamePhase, kTitle);
  EXPECT_EQ(Module1.MenuCursor, 0);
}

TEST_F(KeyboardTest, EnterOnTheStartItemStartsAGame) {
  Module1.GamePhase = kTitle;
  Module1.WaitMs = 25;
  Down(kEnter);
  EXPECT_EQ(Module1.GamePhase, kPlaying);
  EXPECT_EQ(sound.Names(), Names{"select"}) << "the start itself is silent";
  EXPECT_EQ(Module1.RowsToLevel, 17);
  EXPECT_EQ(form().Picture2.Left(), 120);
  EXPECT_EQ(clock.waits.size(), 24u);
}

TEST_F(KeyboardTest, ScoreViewOpensFromTheTitleAndReturns) {
  Module1.GamePhase = kTitle;
  Module1.MenuCursor = 1;
  Module1.HiScore[0] = HiScoreEntry{"ゆう", 12, "34567"};
  Down(kEnter);
  EXPECT_EQ(Module1.GamePhase, kScoreView);
  EXPECT_TRUE(form().Picture8.Visible());
  EXPECT_EQ(form().Label3[0].Caption(), "ゆう") << "the rows are filled before the panel shows";
  EXPECT_EQ(form().Label4[2].Caption(), "34567");
  EXPECT_EQ(form().Label3[15].Caption(), "Push Enter Key");
  EXPECT_EQ(form().Label4[15].Caption(), "Push Enter Key");

  for (Long key : {kUp, kDown, kSpace, kLeft}) Down(key);
  EXPECT_EQ(Module1.GamePhase, kScoreView) << "only Enter leaves the panel";
  EXPECT_EQ(Module1.MenuCursor, 1);

  form().Picture6.SetVisible(true);
  form().Label2[0].SetVisible(true);
  Down(kEnter);
  EXPECT_EQ(Module1.GamePhase, kTitle);
  EXPECT_EQ(Module1.MenuCursor, 0);
  EXPECT_FALSE(form().Picture8.Visible());
  EXPECT_TRUE(form().Picture2.Visible());
  EXPECT_FALSE(form().Picture6.Visible());
  EXPECT_FALSE(form().Label2[0].Visible());
  EXPECT_TRUE(TitleWithCursorAt(204));
  EXPECT_EQ(sound.Names(), (Names{"select", "select"}));
}

TEST_F(KeyboardTest, EnterPausesAndResumesPlay) {
  StartPlaying();
  Down(kEnter);
  EXPECT_EQ(Module1.GamePhase, kPaused);
  for (const Label& label : form().Label2) {
    EXPECT_EQ(label.Caption(), "Pause");
    EXPECT_TRUE(label.Visible());
  }
  Down(kSpace);
  EXPECT_EQ(Module1.RiseCountdown, 80) << "Space does nothing while paused";
  Down(kEnter);
  EXPECT_EQ(Module1.GamePhase, kPlaying);
  EXPECT_FALSE(form().Label2[0].Visible());
  EXPECT_FALSE(form().Label2[1].Visible());
  EXPECT_EQ(sound.Names(), (Names{"select", "select"}));
}

TEST_F(KeyboardTest, HeldKeysSetAndClearTheirOwnFlags) {
  StartPlaying();
  const struct {
    Long key;
    const char* flags;
  } keys[] = {{kLeft, "100000"}, {kUp, "010000"}, {kRight, "001000"},
              {kDown, "000100"}, {kZ, "000010"},  {kX, "000001"}};
  for (const auto& k : keys) {
    Down(k.key);
    EXPECT_EQ(Module1.KeyFlags, k.flags) << "key " << k.key;
    Down(k.key);  // auto-repeat
    EXPECT_EQ(Module1.KeyFlags, k.flags);
    Up(k.key);
    EXPECT_EQ(Module1.KeyFlags, "000000");
  }
  Down(kLeft);
  Down(kX);
  Up(kLeft);
  EXPECT_EQ(Module1.KeyFlags, "000001");
  Down(Long{65});  // A: not a game key
  Up(kSpace);
  EXPECT_EQ(Module1.KeyFlags, "000001");
}

TEST_F(KeyboardTest, FlagsSurviveAPauseUntilResumeClearsThemAll) {
  StartPlaying();
  Down(kRight);
  Down(kZ);
  Down(kEnter);
  Up(kRight);  // released while paused
  Down(kLeft);  // pressed while paused
  EXPECT_EQ(Module1.KeyFlags, "001010") << "the pause ignores key changes";
  Down(kEnter);
  EXPECT_EQ(Module1.KeyFlags, "000000") << "resuming counts every key as released";
  Down(kZ);
  EXPECT_EQ(Module1.KeyFlags, "000010") << "until its next key-down";
}

TEST_F(KeyboardTest, ReleasesOutsidePlayKeepTheirFlags) {
  StartPlaying();
  Down(kRight);
  for (Long phase : {kTitle, kScoreView, kGameOverView, kNameEntry}) {
    Module1.GamePhase = phase;
    Up(kRight);
    EXPECT_EQ(Module1.KeyFlags, "001000") << "phase " << phase;
  }
}

TEST_F(KeyboardTest, SpaceTwiceBetweenPassesRaisesOneRow) {
  StartPlaying();
  Down(kSpace);
  Down(kSpace);
  EXPECT_EQ(Module1.RiseCountdown, 1);
  Main_Prog();
  EXPECT_NE(At(10, 0), '0');
  EXPECT_EQ(At(9, 0), '0') << "exactly one row rose";
  EXPECT_EQ(Module1.RiseCountdown, 58);
  Main_Prog();
  EXPECT_EQ(At(9, 0), '0');
}

TEST_F(KeyboardTest, GameOverViewReturnsToTheTitleOnEnterOnly) {
  Module1.GamePhase = kGameOverView;
  Module1.MenuCursor = 1;
  form().Picture2.SetVisible(false);
  form().Picture6.SetVisible(true);
  form().Label2[1].SetVisible(true);
  for (Long key : {kUp, kDown, kSpace}) Down(key);
  EXPECT_EQ(Module1.GamePhase, kGameOverView);
  EXPECT_TRUE(sound.played.empty());
  Down(kEnter);
  EXPECT_EQ(Module1.GamePhase, kTitle);
  EXPECT_EQ(Module1.MenuCursor, 0);
  EXPECT_TRUE(form().Picture2.Visible());
  EXPECT_FALSE(form().Picture6.Visible());
  EXPECT_FALSE(form().Label2[1].Visible());
  EXPECT_TRUE(TitleWithCursorAt(204));
  EXPECT_EQ(sound.Names(), Names{"select"});
}

TEST_F(KeyboardTest, NameEntryIgnoresTheCanvasKeys) {
  Module1.GamePhase = kNameEntry;
  for (Long key : {kEnter, kUp, kDown, kSpace, kLeft}) Down(key);
  EXPECT_EQ(Module1.GamePhase, kNameEntry);
  EXPECT_TRUE(sound.played.empty());
}

TEST_F(KeyboardTest, FocusComesBackToTheCanvasExceptInNameEntry) {
  form().show();
  QApplication::setActiveWindow(&form());
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form()));
  form().Picture1.SetFocus();
  ASSERT_TRUE(form().Picture1.hasFocus());
  form().Picture8.SetVisible(true);
  form().Text1.SetVisible(true);

  Module1.GamePhase = kPlaying;
  form().Text1.SetFocus();
  EXPECT_TRUE(form().Picture1.hasFocus()) << "the canvas takes the focus straight back";

  Module1.GamePhase = kNameEntry;
  form().Text1.SetFocus();
  EXPECT_TRUE(form().Text1.hasFocus()) << "the name box keeps it while a name is typed";
}

}  // namespace
}  // namespace tarnix::testing
