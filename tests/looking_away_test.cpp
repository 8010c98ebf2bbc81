// The window losing the focus: held keys let go in every phase, play paused as Enter pauses
// it unless the player turned that off; Z and X found by their place on the keyboard.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>

#include "files/options.h"
#include "shell/shell.h"
#include "support/fixture.h"

namespace tarnix::testing {
namespace {

constexpr quint32 kScanZ = 52;
constexpr quint32 kScanLeft = 113;
// Qt names a Cyrillic key by its capital letter.
constexpr int kKeyYa = 0x042F;
constexpr int kKeyChe = 0x0427;

class LookingAwayTest : public GameTest {
 protected:
  void Key(QEvent::Type type, int qtKey, quint32 scan, const QString& text = {},
           QWidget* to = nullptr) {
    QKeyEvent event(type, qtKey, Qt::NoModifier, scan, 0, 0, text);
    QApplication::sendEvent(to ? to : &form().Picture1, &event);
  }
  void LookAway() {
    QEvent event(QEvent::WindowDeactivate);
    QApplication::sendEvent(&form(), &event);
  }
};

TEST_F(LookingAwayTest, DuringPlayPausesAsEnterDoesAndLetsGoOfEveryKey) {
  StartPlaying();
  Key(QEvent::KeyPress, Qt::Key_Left, kScanLeft);
  Key(QEvent::KeyPress, Qt::Key_Z, kScanZ, QStringLiteral("z"));
  ASSERT_EQ(Module1.KeyFlags, "100010");
  LookAway();
  EXPECT_EQ(Module1.KeyFlags, "000000") << "a release made in another window never arrives";
  EXPECT_EQ(Module1.GamePhase, kPaused);
  EXPECT_TRUE(form().Label2[0].isVisibleTo(&form()));
  EXPECT_EQ(form().Label2[0].Caption(), "Pause");
  EXPECT_EQ(sound.Names(), std::vector<std::string>{"select"}) << "the pause of the Enter key";

  const Long left = form().Picture2.Left();
  Key(QEvent::KeyPress, Qt::Key_Return, 36);
  Key(QEvent::KeyRelease, Qt::Key_Return, 36);
  ASSERT_EQ(Module1.GamePhase, kPlaying) << "Enter resumes";
  Main_Prog();
  EXPECT_EQ(form().Picture2.Left(), left) << "no figure walks on a key nobody holds";
}

TEST_F(LookingAwayTest, OptionOffKeepsPlayingButStillLetsGo) {
  StartPlaying();
  form().mnuPauseInactive.Action()->trigger();
  EXPECT_FALSE(Options().PauseWhenInactive);
  EXPECT_FALSE(form().mnuPauseInactive.Checked());
  Key(QEvent::KeyPress, Qt::Key_Right, 114);
  LookAway();
  EXPECT_EQ(Module1.GamePhase, kPlaying);
  EXPECT_EQ(Module1.KeyFlags, "000000");
  EXPECT_TRUE(sound.played.empty());
}

TEST_F(LookingAwayTest, TitleChangesNothingButTheKeys) {
  Module1.GamePhase = kTitle;
  Module1.MenuCursor = 1;
  Module1.KeyFlags = "001000";  // left over from the last game
  Key(QEvent::KeyPress, Qt::Key_Down, 116);
  LookAway();
  EXPECT_EQ(Module1.GamePhase, kTitle);
  EXPECT_EQ(Module1.MenuCursor, 1);
  EXPECT_EQ(Module1.KeyFlags, "000000");
  EXPECT_TRUE(sound.played.empty());
}

TEST_F(LookingAwayTest, ZAndXByTheirPlaceOnAnyLayout) {
  StartPlaying();
  // A Russian layout prints я on the key left of X.
  Key(QEvent::KeyPress, kKeyYa, kScanZ, QStringLiteral("я"));
  EXPECT_EQ(Module1.KeyFlags, "000010");
  Main_Prog();
  EXPECT_EQ(Module1.HeldBomb.substr(1), "0") << "Z takes a red bomb";
  EXPECT_EQ(Module1.RedStock, 29);
  // The layout switched while the key was down: the release still lets go of Z.
  Key(QEvent::KeyRelease, Qt::Key_W, kScanZ, QStringLiteral("w"));
  EXPECT_EQ(Module1.KeyFlags, "000000");

  // The letter X wherever the layout puts it (the key at Z's place on AZERTY prints W).
  Key(QEvent::KeyPress, Qt::Key_X, 0, QStringLiteral("x"));
  EXPECT_EQ(Module1.KeyFlags, "000001");
  Key(QEvent::KeyRelease, Qt::Key_X, 0, QStringLiteral("x"));
  Key(QEvent::KeyPress, Qt::Key_W, kScanZ, QStringLiteral("w"));
  EXPECT_EQ(Module1.KeyFlags, "000010");
}

TEST_F(LookingAwayTest, TheNameBoxGetsTheLayoutsCharacters) {
  form().Picture8.SetVisible(true);
  form().Text1.SetVisible(true);
  Module1.GamePhase = kNameEntry;
  Key(QEvent::KeyPress, kKeyYa, kScanZ, QStringLiteral("я"), &form().Text1);
  Key(QEvent::KeyPress, kKeyChe, 53, QStringLiteral("ч"), &form().Text1);
  EXPECT_EQ(form().Text1.Text(), "яч");
  LookAway();
  EXPECT_EQ(Module1.GamePhase, kNameEntry);
}

}  // namespace
}  // namespace tarnix::testing
