// The end of a game: the raised well, the animation, the ranking and the name entry.
#include <gtest/gtest.h>

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QImage>
#include <QStyleHints>
#include <QTest>

#include "core/doors.h"
#include "playfield/playfield.h"
#include "scores/scores.h"
#include "support/fixture.h"

namespace tarnix::testing {
namespace {

// Counts the events that reach it, to see whether a step let the window's events through.
class EventCounter : public QObject {
 public:
  int count = 0;

 protected:
  bool event(QEvent* e) override {
    if (e->type() == QEvent::User) ++count;
    return QObject::event(e);
  }
};

class GameOverTest : public GameTest {
 protected:
  // A game in progress whose top row is occupied, so that the next rise ends it.
  void StartToppedOut(Long score) {
    StartPlaying();
    Module1.Score = score;
    Module1.Level = 7;
    for (int k = 0; k < 11; ++k) Put(0, k, '1');
    Block_Paint();
  }

  void SetTable(std::initializer_list<HiScoreEntry> entries) {
    int i = 0;
    for (const HiScoreEntry& e : entries) Module1.HiScore[i++] = e;
  }

  // The pending row as the rise builds it: three pads, then the eleven cells.
  static std::string FullRow(char digit) { return "000" + std::string(11, digit); }

  void RunGameOver(std::string row = FullRow('1')) { Game_Over(row); }

  void ShowActive() {
    form().show();
    QApplication::setActiveWindow(&form());
    form().activateWindow();
    QApplication::processEvents();
  }

  bool Black(int x, int y) { return form().Picture1.Point(x, y) == 0; }

  // The table as "name/level/score" lines, rank 0 first.
  static std::vector<std::string> Table() {
    std::vector<std::string> lines;
    for (const HiScoreEntry& e : Module1.HiScore) {
      lines.push_back(e.Name + "/" + std::to_string(e.Level) + "/" + e.Score);
    }
    return lines;
  }

  void SetFullTable() {
    SetTable({{"A", 9, "900"}, {"B", 8, "700"}, {"C", 6, "500"}, {"D", 4, "300"},
              {"E", 2, "100"}});
  }
};

TEST_F(GameOverTest, WellIsRedrawnOneRowHigherWithThePendingRowAtTheBottom) {
  StartToppedOut(0);
  Module1.Board = EmptyBoard();
  Put(0, 0, '1');  // top row: a block at the left, a bomb digit in column 5
  Put(0, 5, '7');
  Put(10, 10, '3');
  Module1.Board[201] = '5';  // the three right pads of row 11 (characters 202 to 204)
  Module1.Board[202] = '6';
  Module1.Board[203] = '9';
  // Something on the canvas that a missing clear would leave behind.
  QImage white(264, 324, QImage::Format_RGB32);
  white.fill(0xFFFFFFFF);
  form().Picture1.PaintPicture(white, 0, 0);

  std::string row = "000" + std::string("20000000004");
  Game_Over(row);

  EXPECT_EQ(Module1.Board.size(), static_cast<std::size_t>(kBoardLength));
  EXPECT_EQ(Module1.Board.substr(187, 14), row) << "the pending row lands from character 188";
  EXPECT_EQ(Module1.Board.substr(201, 3), "569") << "the right pads of row 11 keep their content";

  EXPECT_FALSE(Black(12, 36 + 12)) << "row 0 stands at y 36, one row above its place in play";
  EXPECT_TRUE(Black(12, 60 + 12)) << "row 1 (empty) at y 60: row 0 is not drawn at its play height";
  EXPECT_TRUE(Black(24 * 5 + 12, 36 + 12)) << "a bomb digit is not drawn, the cleared canvas shows";
  EXPECT_TRUE(Black(24 * 1 + 12, 36 + 12)) << "an empty cell shows the black tile";
  EXPECT_FALSE(Black(24 * 10 + 12, 36 + 240 + 12)) << "row 10 at y 276";
  EXPECT_FALSE(Black(12, 300 + 12)) << "the pending row's first cell at the bottom, y 300";
  EXPECT_TRUE(Black(24 * 5 + 12, 300 + 12));
  EXPECT_FALSE(Black(24 * 10 + 12, 300 + 12)) << "the pending row's last cell";
  EXPECT_TRUE(Black(5, 5)) << "the canvas was cleared before the well was drawn";
}

TEST_F(GameOverTest, ShortStripRaisedPlayerAndMessage) {
  StartToppedOut(0);
  for (PictureBox& bomb : form().Picture3) bomb.SetVisible(true);
  form().Label2[0].SetCaption("Pause");
  RunGameOver();

  for (int i = 0; i < 5; ++i) EXPECT_FALSE(form().Picture3[i].Visible()) << "bomb box " << i;
  EXPECT_EQ(form().Picture6.height(), 36) << "the strip shrinks to the short picture";
  EXPECT_EQ(form().Picture6.Picture().size(), QSize(264, 36));
  EXPECT_EQ(form().Picture2.Top(), 8) << "the player stands on the raised floor";
  EXPECT_FALSE(form().Picture2.Visible()) << "the player is hidden when the animation ends";
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(form().Label2[i].Caption(), "Game Over");
    EXPECT_TRUE(form().Label2[i].Visible()) << "with no new high score the message stays";
  }
  EXPECT_EQ(Module1.GamePhase, kGameOverView);
}

TEST_F(GameOverTest, FourFramesOfAHundredMillisecondsWithoutEvents) {
  StartToppedOut(0);
  EventCounter counter;
  QCoreApplication::postEvent(&counter, new QEvent(QEvent::User));
  RunGameOver();
  EXPECT_EQ(clock.waits, (std::vector<std::int32_t>{100, 100, 100, 100}))
      << "four frames, each held for more than 100 ms, whatever the wait setting";
  EXPECT_GE(clock.now, 4 * 101);
  EXPECT_EQ(counter.count, 0) << "the sequence runs to its end without delivering events";
  QCoreApplication::processEvents();
  EXPECT_EQ(counter.count, 1);
  // The last frame's figure is in the box: not all of it is the strip's black.
  bool figure = false;
  for (int y = 0; y < 24 && !figure; ++y) {
    for (int x = 0; x < 24 && !figure; ++x) figure = form().Picture2.Point(x, y) != 0;
  }
  EXPECT_TRUE(figure) << "the frames are drawn into the player box";
}

TEST_F(GameOverTest, GiftsAreDeactivatedButKeepTheirOtherFields) {
  StartToppedOut(0);
  for (int i = 0; i < kGiftSlots; ++i) Module1.Gifts[i] = GiftRecord{1, i % 10, 40 + i};
  RunGameOver();
  for (int i = 0; i < kGiftSlots; ++i) {
    EXPECT_EQ(Module1.Gifts[i].Active, 0) << "gift " << i;
    EXPECT_EQ(Module1.Gifts[i].Kind, i % 10) << "gift " << i;
    EXPECT_EQ(Module1.Gifts[i].Timer, 40 + i) << "gift " << i;
  }
}

// --- ranking ---

TEST_F(GameOverTest, ZeroScoreIsNeverRankedEvenInAnEmptyTable) {
  StartToppedOut(0);
  SetTable({{"", 0, "0"}, {"", 0, "0"}, {"", 0, "0"}, {"", 0, "0"}, {"", 0, "0"}});
  RunGameOver();
  EXPECT_EQ(sound.Names(), std::vector<std::string>{"over"});
  EXPECT_EQ(Module1.GamePhase, kGameOverView);
  for (const HiScoreEntry& e : Module1.HiScore) EXPECT_EQ(e.Score, "0") << "nothing inserted";
  EXPECT_FALSE(form().Picture8.Visible());
  EXPECT_FALSE(form().Text1.Visible());
}

TEST_F(GameOverTest, EmptyTableGivesRankZero) {
  StartToppedOut(1);
  SetTable({{"", 0, "0"}, {"", 0, "0"}, {"", 0, "0"}, {"", 0, "0"}, {"", 0, "0"}});
  RunGameOver();
  EXPECT_EQ(sound.Names(), std::vector<std::string>{"height"});
  EXPECT_EQ(Module1.HiScore[0].Score, "1");
  EXPECT_EQ(Module1.HiScore[0].Level, 7);
  EXPECT_EQ(Module1.HiScore[0].Name, "");
  EXPECT_EQ(form().Text1.Tag, "0");
  EXPECT_EQ(Module1.GamePhase, kNameEntry);
}


TEST_F(GameOverTest, EqualToRankTwoGoesAboveTheOlderEntry) {
  StartToppedOut(500);
  SetFullTable();
  RunGameOver();
  EXPECT_EQ(Table(), (std::vector<std::string>{"A/9/900", "B/8/700", "/7/500", "C/6/500",
                                               "D/4/300"}))
      << "a tie goes above the older entry, the rest move down and rank 4 is lost";
  EXPECT_EQ(sound.Names(), std::vector<std::string>{"height"});
  EXPECT_EQ(form().Text1.Tag, "2");
}

TEST_F(GameOverTest, EqualToRankFourReplacesTheLastEntry) {
  StartToppedOut(100);
  SetFullTable();
  RunGameOver();
  EXPECT_EQ(Table(), (std::vector<std::string>{"A/9/900", "B/8/700", "C/6/500", "D/4/300",
                                               "/7/100"}));
  EXPECT_EQ(Module1.GamePhase, kNameEntry);
  EXPECT_EQ(form().Text1.Tag, "4");
}

TEST_F(GameOverTest, AboveEveryEntryTakesRankZeroAndPushesAllDown) {
  StartToppedOut(999999);
  SetFullTable();
  RunGameOver();
  EXPECT_EQ(Table(), (std::vector<std::string>{"/7/999999", "A/9/900", "B/8/700", "C/6/500",
                                               "D/4/300"}));
}

TEST_F(GameOverTest, BelowRankFourIsNotEntered) {
  StartToppedOut(99);
  SetFullTable();
  const std::vector<std::string> before = Table();
  RunGameOver();
  EXPECT_EQ(Table(), before);
  EXPECT_EQ(sound.Names(), std::vector<std::string>{"over"});
  EXPECT_EQ(Module1.GamePhase, kGameOverView);
  EXPECT_FALSE(form().Picture8.Visible());
  EXPECT_TRUE(form().Label2[0].Visible()) << "the game-over screen keeps its message";
}

TEST_F(GameOverTest, ScoresCompareAsNumbersNotAsText) {
  StartToppedOut(1000);
  SetTable({{"A", 9, "5000"}, {"B", 8, "999"}, {"C", 6, "90"}, {"D", 4, "9"}, {"E", 2, "0"}});
  RunGameOver();
  EXPECT_EQ(form().Text1.Tag, "1") << "\"999\" is less than 1000 although it sorts after \"1000\"";
}

// --- name entry ---

TEST_F(GameOverTest, NameEntryOpensOverTheNewRank) {
  StartToppedOut(500);
  SetFullTable();
  form().Label3[15].SetCaption("Push Enter Key");
  RunGameOver();

  Form1Window& f = form();
  for (auto* labels : {&f.Label3, &f.Label4}) {
    EXPECT_EQ((*labels)[15].Caption(), "Please your name");
    EXPECT_EQ((*labels)[6].Caption(), "") << "the new entry is shown with an empty name";
    EXPECT_EQ((*labels)[7].Caption(), "7");
    EXPECT_EQ((*labels)[8].Caption(), "500");
    EXPECT_EQ((*labels)[9].Caption(), "C") << "the panel shows the table after the shift";
    EXPECT_EQ((*labels)[12].Caption(), "D");
  }
  EXPECT_TRUE(f.Picture8.Visible());
  EXPECT_TRUE(f.Text1.Visible());
  EXPECT_EQ(f.Text1.Tag, "2");
  EXPECT_EQ(f.Text1.Top(), f.Label3[6].Top() - 1) << "one pixel above the rank's name label";
  EXPECT_EQ(f.Text1.Top(), 151);
  EXPECT_FALSE(f.Label2[0].Visible());
  EXPECT_FALSE(f.Label2[1].Visible());
  EXPECT_FALSE(f.Picture6.Visible());
  EXPECT_EQ(Module1.GamePhase, kNameEntry);
}

TEST_F(GameOverTest, NameBoxTakesTheFocusFromTheCanvas) {
  ShowActive();
  StartToppedOut(500);
  form().Picture1.SetFocus();
  ASSERT_TRUE(form().Picture1.hasFocus());
  RunGameOver();
  QApplication::processEvents();
  EXPECT_EQ(QApplication::focusWidget(), &form().Text1)
      << "the canvas gives up the focus only once the phase is NameEntry";
  EXPECT_TRUE(form().Text1.hasFocus());
}

TEST_F(GameOverTest, NameBoxCursorRestsWhenNothingHappensAndBlinksAgainForAKey) {
  ShowActive();
  StartToppedOut(500);
  RunGameOver();
  QApplication::processEvents();
  TextBox& box = form().Text1;
  ASSERT_TRUE(box.hasFocus());
  const int desktop = QGuiApplication::styleHints()->cursorFlashTime();
  ASSERT_GT(desktop, 0);
  EXPECT_FALSE(box.CursorResting()) << "it blinks while the player may be typing";

  box.RestCursor();  // what a while without anything in the box brings
  EXPECT_EQ(QGuiApplication::styleHints()->cursorFlashTime(), 0) << "steady: no timer wakes";
  QTest::keyClick(&box, Qt::Key_A);
  EXPECT_EQ(box.text(), QStringLiteral("a"));
  EXPECT_EQ(QGuiApplication::styleHints()->cursorFlashTime(), desktop) << "a key wakes it";

  box.RestCursor();
  box.setText(QStringLiteral("AB"));  // as the pad's wheel turns a letter
  EXPECT_EQ(QGuiApplication::styleHints()->cursorFlashTime(), desktop);
  box.RestCursor();
  form().Picture1.SetFocus();
  EXPECT_EQ(QGuiApplication::styleHints()->cursorFlashTime(), desktop)
      << "the desktop's blinking everywhere else";
}

TEST_F(GameOverTest, EnterStoresTheTextUnchanged) {
  ShowActive();
  StartToppedOut(500);
  SetFullTable();
  RunGameOver();
  form().Text1.setText(QStringLiteral(" 太郎 \"x\""));
  Text1_KeyDown(13, 0);

  EXPECT_EQ(Module1.HiScore[2].Name, " 太郎 \"x\"") << "the name is neither trimmed nor escaped";
  EXPECT_EQ(Module1.HiScore[2].Score, "500");
  EXPECT_EQ(form().Label3[6].Caption(), " 太郎 \"x\"") << "the panel shows the name at once";
  EXPECT_EQ(form().Label4[6].Caption(), " 太郎 \"x\"");
  EXPECT_EQ(Module1.GamePhase, kScoreView);
  EXPECT_FALSE(form().Text1.Visible());
  EXPECT_TRUE(form().Picture8.Visible()) << "the table stays on screen";
  EXPECT_EQ(form().Label3[15].Caption(), "Push Enter Key");
  EXPECT_EQ(form().Label4[15].Caption(), "Push Enter Key");
}

TEST_F(GameOverTest, EnterOnAnEmptyBoxStoresAnEmptyName) {
  StartToppedOut(300);
  SetFullTable();
  RunGameOver();
  ASSERT_EQ(form().Text1.Tag, "3");
  Text1_KeyDown(13, 0);
  EXPECT_EQ(Table()[3], "/7/300") << "the rank keeps its level and score";
  EXPECT_EQ(Module1.GamePhase, kScoreView);
}

TEST_F(GameOverTest, OtherKeysLeaveTheEntryOpen) {
  ShowActive();
  StartToppedOut(500);
  RunGameOver();
  for (Long key : {27, 32, 37, 38, 40, 65, 90}) Text1_KeyDown(key, 0);
  EXPECT_EQ(Module1.GamePhase, kNameEntry) << "only Enter finishes the entry";
  EXPECT_TRUE(form().Text1.Visible());

  QTest::keyClick(&form().Text1, Qt::Key_Escape);
  QTest::keyClicks(&form().Text1, QStringLiteral("ab"));
  EXPECT_EQ(form().Text1.text(), QStringLiteral("ab")) << "other keys are the box's own editing";
  EXPECT_EQ(Module1.GamePhase, kNameEntry);
  EXPECT_EQ(Module1.HiScore[0].Name, "");
}

TEST_F(GameOverTest, TheBoxTakesAtMostTenCharacters) {
  ShowActive();
  StartToppedOut(500);
  RunGameOver();
  QTest::keyClicks(&form().Text1, QStringLiteral("ABCDEFGHIJKLMN"));
  EXPECT_EQ(form().Text1.text(), QStringLiteral("ABCDEFGHIJ"));
  QTest::keyClick(&form().Text1, Qt::Key_Return);
  EXPECT_EQ(Module1.HiScore[0].Name, "ABCDEFGHIJ");
  EXPECT_EQ(Module1.GamePhase, kScoreView);
}

TEST_F(GameOverTest, TheBoxOffersTheLastNameAtTheNextEntry) {
  ShowActive();
  StartToppedOut(500);
  RunGameOver();
  QTest::keyClicks(&form().Text1, QStringLiteral("Kei"));
  QTest::keyClick(&form().Text1, Qt::Key_Return);
  ASSERT_EQ(Module1.HiScore[0].Name, "Kei");

  StartToppedOut(800);
  RunGameOver();
  ASSERT_EQ(Module1.GamePhase, kNameEntry);
  EXPECT_EQ(form().Text1.text(), QStringLiteral("Kei")) << "the text is never cleared";
  QTest::keyClick(&form().Text1, Qt::Key_Return);
  EXPECT_EQ(Table()[0], "Kei/7/800");
  EXPECT_EQ(Table()[1], "Kei/7/500");
}

}  // namespace
}  // namespace tarnix::testing
