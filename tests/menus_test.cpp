// The menu bar: its items, the return to the title, the sound switch and the wait.
#include <gtest/gtest.h>

#include <algorithm>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>

#include "files/files.h"
#include "shell/shell.h"
#include "support/fixture.h"
#include "support/screens.h"

namespace tarnix::testing {
namespace {

class MenusTest : public GameTest {
 protected:
  QMenu* MenuOf(MenuItem& item) { return item.Action()->menu(); }

  std::vector<QAction*> Actions(std::initializer_list<MenuItem*> items) {
    std::vector<QAction*> actions;
    for (MenuItem* item : items) actions.push_back(item->Action());
    return actions;
  }

  static std::vector<QAction*> ActionsOf(const QWidget* w) {
    const QList<QAction*> list = w->actions();
    return {list.begin(), list.end()};
  }

  // Which of the four wait items are ticked, as "0010".
  std::string WaitTicks() {
    std::string ticks;
    for (MenuItem* item : {&form().mnuO4, &form().mnuO5, &form().mnuO6, &form().mnuO7}) {
      ticks += item->Checked() ? '1' : '0';
      EXPECT_EQ(item->Action()->isChecked(), item->Checked()) << "the shown tick is the game's";
    }
    return ticks;
  }
};

TEST_F(MenusTest, CaptionsAndAccessKeys) {
  Form1Window& f = form();
  const std::pair<MenuItem*, const char*> captions[] = {
      {&f.mnuG0, "ゲーム(&G)"},         {&f.mnuG1, "タイトルへ戻る(&T)"},
      {&f.mnuG3, "タールニックスの終了(&X)"}, {&f.mnuO0, "オプション(&O)"},
      {&f.mnuO1, "効果音(&S)"},          {&f.mnuO3, "ウエイト(&W)"},
      {&f.mnuO4, "なし(&1)"},            {&f.mnuO5, "軽い(&2)"},
      {&f.mnuO6, "普通(&3)"},            {&f.mnuO7, "重い(&4)"},
      {&f.mnuH0, "ヘルプ(&H)"},          {&f.mnuH1, "Ｒｅａｄｍｅ参照(&R)"},
  };
  for (const auto& [item, caption] : captions) {
    ASSERT_NE(item->Action(), nullptr) << caption;
    EXPECT_EQ(item->Caption(), caption);
  }
}

TEST_F(MenusTest, TreeOrderSeparatorsAndSubmenu) {
  Form1Window& f = form();
  EXPECT_EQ(ActionsOf(f.menuBar()), Actions({&f.mnuG0, &f.mnuO0, &f.mnuH0}));
  ASSERT_NE(MenuOf(f.mnuG0), nullptr);
  ASSERT_NE(MenuOf(f.mnuO0), nullptr);
  ASSERT_NE(MenuOf(f.mnuO3), nullptr) << "the wait is a submenu";
  ASSERT_NE(MenuOf(f.mnuH0), nullptr);
  EXPECT_EQ(ActionsOf(MenuOf(f.mnuG0)), Actions({&f.mnuG1, &f.mnuG2, &f.mnuG3}));
  const std::vector<QAction*> options = ActionsOf(MenuOf(f.mnuO0));
  ASSERT_GE(options.size(), 3u);
  EXPECT_EQ(std::vector<QAction*>(options.begin(), options.begin() + 3),
            Actions({&f.mnuO1, &f.mnuO2, &f.mnuO3}))
      << "the original's items first; the port's own come after them";
  EXPECT_NE(std::find(options.begin() + 3, options.end(), f.mnuRumble.Action()), options.end());
  EXPECT_EQ(ActionsOf(MenuOf(f.mnuO3)), Actions({&f.mnuO4, &f.mnuO5, &f.mnuO6, &f.mnuO7}));
  EXPECT_EQ(ActionsOf(MenuOf(f.mnuH0)), Actions({&f.mnuH1}));
  EXPECT_TRUE(f.mnuG2.Action()->isSeparator());
  EXPECT_TRUE(f.mnuO2.Action()->isSeparator());
  for (MenuItem* item : {&f.mnuG1, &f.mnuG3, &f.mnuO1, &f.mnuO4, &f.mnuO5, &f.mnuO6, &f.mnuO7,
                         &f.mnuH1}) {
    EXPECT_FALSE(item->Action()->isSeparator()) << item->Caption();
    EXPECT_TRUE(item->Enabled()) << item->Caption() << ": every item starts enabled";
  }
  EXPECT_TRUE(f.mnuO1.Action()->isCheckable()) << "the sound item shows a tick";
  EXPECT_EQ(WaitTicks(), "0000") << "no wait is ticked before start-up chooses one";
}

TEST_F(MenusTest, GameMenuDisablesReturnToTitleOnlyDuringNameEntry) {
  for (Long phase : {kTitle, kScoreView, kPlaying, kPaused, kGameOverView}) {
    Module1.GamePhase = phase;
    form().mnuG1.SetEnabled(false);
    mnuG0_Click();
    EXPECT_TRUE(form().mnuG1.Enabled()) << "phase " << phase;
  }
  Module1.GamePhase = kNameEntry;
  mnuG0_Click();
  EXPECT_FALSE(form().mnuG1.Enabled());
  EXPECT_TRUE(form().mnuG3.Enabled()) << "quitting works in every phase";
  Module1.GamePhase = kScoreView;
  mnuG0_Click();
  EXPECT_TRUE(form().mnuG1.Enabled()) << "decided afresh each time the menu opens";
}

TEST_F(MenusTest, OpeningTheGameMenuRunsItsHandler) {
  form().show();
  Module1.GamePhase = kNameEntry;
  QMenu* game = MenuOf(form().mnuG0);
  game->popup(QPoint(0, 0));
  QApplication::processEvents();
  EXPECT_FALSE(form().mnuG1.Enabled()) << "the item is disabled when the player sees it";
  game->hide();
  QApplication::processEvents();
  Module1.GamePhase = kPlaying;
  game->popup(QPoint(0, 0));
  QApplication::processEvents();
  EXPECT_TRUE(form().mnuG1.Enabled());
  game->hide();
}

TEST_F(MenusTest, ReturnToTitleFromPlaying) {
  StartPlaying();
  Module1.MenuCursor = 1;
  form().Picture3[0].SetVisible(true);
  form().Picture3[4].SetVisible(true);
  SmearCanvas(form());
  form().mnuG1.Action()->trigger();

  EXPECT_EQ(Module1.GamePhase, kTitle);
  EXPECT_EQ(Module1.MenuCursor, 0) << "the cursor is back on the start item";
  for (int i = 0; i < 5; ++i) EXPECT_FALSE(form().Picture3[i].Visible()) << "bomb box " << i;
  EXPECT_FALSE(form().Picture6.Visible());
  EXPECT_FALSE(form().Picture8.Visible());
  EXPECT_EQ(TitleMismatches(form(), 204), 0) << "the title with its cursor on the start item";
  EXPECT_TRUE(sound.played.empty()) << "returning to the title makes no sound";
}

TEST_F(MenusTest, ReturnToTitleFromPausedAndFromTheTable) {
  StartPlaying();
  Picture1_KeyDown(13, 0);  // pause
  ASSERT_EQ(Module1.GamePhase, kPaused);
  ASSERT_TRUE(form().Label2[0].Visible());
  SmearCanvas(form());
  mnuG1_Click();
  EXPECT_EQ(Module1.GamePhase, kTitle);
  EXPECT_FALSE(form().Label2[0].Visible()) << "the Pause message goes with the game";
  EXPECT_FALSE(form().Label2[1].Visible());
  EXPECT_FALSE(form().Picture6.Visible());
  EXPECT_EQ(TitleMismatches(form(), 204), 0);

  Module1.GamePhase = kScoreView;
  form().Picture8.SetVisible(true);
  mnuG1_Click();
  EXPECT_FALSE(form().Picture8.Visible()) << "the high-score panel would hide the title";
}

TEST_F(MenusTest, SoundItemTogglesTheSoundSwitch) {
  ASSERT_TRUE(form().mnuO1.Checked());
  mnuO1_Click();
  EXPECT_FALSE(form().mnuO1.Checked());
  Sound("up");
  EXPECT_TRUE(sound.played.empty()) << "unticked means silent";
  form().mnuO1.Action()->trigger();
  EXPECT_TRUE(form().mnuO1.Checked());
  EXPECT_TRUE(form().mnuO1.Action()->isChecked());
  Sound("up");
  EXPECT_EQ(sound.Names(), std::vector<std::string>{"up"});
  EXPECT_EQ(Module1.WaitMs, 0) << "the sound item changes nothing else";
}

TEST_F(MenusTest, DisabledSoundItemCannotBeTicked) {
  form().mnuO1.SetChecked(false);
  form().mnuO1.SetEnabled(false);
  form().mnuO1.Action()->trigger();
  EXPECT_FALSE(form().mnuO1.Checked()) << "a greyed item cannot be chosen";
  EXPECT_FALSE(form().mnuO1.Action()->isChecked());
}

TEST_F(MenusTest, WaitHandlersTickExactlyOneAndSetTheWait) {
  struct Case { void (*handler)(); const char* ticks; Long waitMs; };
  const Case cases[] = {{mnuO7_Click, "0001", 75}, {mnuO4_Click, "1000", 0},
                        {mnuO6_Click, "0010", 50}, {mnuO5_Click, "0100", 25},
                        {mnuO5_Click, "0100", 25}, {mnuO7_Click, "0001", 75}};
  for (const Case& c : cases) {
    c.handler();
    EXPECT_EQ(WaitTicks(), c.ticks);
    EXPECT_EQ(Module1.WaitMs, c.waitMs);
  }
}

TEST_F(MenusTest, WaitItemsChosenFromTheMenu) {
  Form1Window& f = form();
  const std::pair<MenuItem*, Long> items[] = {
      {&f.mnuO5, 25}, {&f.mnuO4, 0}, {&f.mnuO7, 75}, {&f.mnuO6, 50}};
  for (const auto& [item, waitMs] : items) {
    item->Action()->trigger();
    EXPECT_EQ(Module1.WaitMs, waitMs) << item->Caption();
    int ticked = 0;
    for (MenuItem* w : {&f.mnuO4, &f.mnuO5, &f.mnuO6, &f.mnuO7}) ticked += w->Checked();
    EXPECT_EQ(ticked, 1) << "the wait items act as radio items";
    EXPECT_TRUE(item->Checked());
  }
  f.mnuO6.Action()->trigger();
  EXPECT_TRUE(f.mnuO6.Checked()) << "choosing the ticked item again keeps it";
  EXPECT_EQ(WaitTicks(), "0010");
}

TEST_F(MenusTest, GameStandsStillWhileAMenuIsOpen) {
  form().show();
  StartPlaying();
  Module1.RiseCountdown = 80;
  QMenu* options = MenuOf(form().mnuO0);
  options->popup(QPoint(0, 0));
  QApplication::processEvents();
  ASSERT_EQ(form().MenusOpen(), 1);
  for (int i = 0; i < 5; ++i) Main_LoopTurn();
  EXPECT_EQ(Module1.RiseCountdown, 80) << "no pass of the game runs under an open menu";
  EXPECT_EQ(clock.waits.size(), 5u) << "the loop itself keeps turning so the menu works";

  QMenu* wait = MenuOf(form().mnuO3);
  wait->popup(QPoint(10, 10));
  QApplication::processEvents();
  wait->hide();
  QApplication::processEvents();
  Main_LoopTurn();
  EXPECT_EQ(Module1.RiseCountdown, 80) << "closing the submenu leaves its parent open";

  options->hide();
  QApplication::processEvents();
  EXPECT_EQ(form().MenusOpen(), 0);
  Main_LoopTurn();
  EXPECT_EQ(Module1.RiseCountdown, 79) << "the game goes on once the menu is closed";
}

}  // namespace
}  // namespace tarnix::testing
