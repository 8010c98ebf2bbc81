// The options that let anyone see the game: bombs told apart without colour, and explosion
// flashes a photosensitive player can bear.
#include <gtest/gtest.h>

#include <QImage>

#include <cmath>

#include "files/options.h"
#include "playfield/playfield.h"
#include "support/bomb_scene.h"
#include "window/flashes.h"

namespace tarnix::testing {
namespace {

double Linear(int channel) {
  const double c = channel / 255.0;
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double Luminance(QRgb p) {
  return 0.2126 * Linear(qRed(p)) + 0.7152 * Linear(qGreen(p)) + 0.0722 * Linear(qBlue(p));
}

// What a player without green-sensitive cones sees (a full deuteranopia), in linear light.
QRgb Deuteranope(QRgb p) {
  const double r = Linear(qRed(p)), g = Linear(qGreen(p)), b = Linear(qBlue(p));
  const auto back = [](double v) {
    v = std::clamp(v, 0.0, 1.0);
    const double c = v <= 0.0031308 ? 12.92 * v : 1.055 * std::pow(v, 1 / 2.4) - 0.055;
    return static_cast<int>(std::lround(255 * c));
  };
  return qRgb(back(0.367322 * r + 0.860646 * g - 0.227968 * b),
              back(0.280085 * r + 0.672501 * g + 0.047413 * b),
              back(-0.011820 * r + 0.042940 * g + 0.968881 * b));
}

// Pixels where the two sprites differ in lightness by more than a glance needs.
int ClearlyDifferent(const QImage& a, const QImage& b, QRgb (*seen)(QRgb)) {
  int n = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      n += std::abs(Luminance(seen(a.pixel(x, y))) - Luminance(seen(b.pixel(x, y)))) > 0.25;
    }
  }
  return n;
}

QRgb AsIs(QRgb p) { return p; }

class ViewOptionsTest : public BombTest {
 protected:
  // The sprite a resting bomb of `kind` shows.
  QImage Sprite(Long kind) {
    PlaceBomb(0, kBombResting, 100, 200, kind);
    Bomb_Paint(0);
    return form().Picture3[0].Image().copy();
  }
  // The figure carrying a bomb of `kind` over its head.
  QImage Carrying(Long kind) {
    Module1.ActionState = kHolding;
    Module1.HeldBomb = kind == 0 ? "00" : "01";
    Module1.Facing = 1;
    Player_Draw(4 * 24);
    return form().Picture2.Image().copy();
  }
};

TEST_F(ViewOptionsTest, MarkedBombsDifferInGreyAndForAColourBlindPlayer) {
  ASSERT_FALSE(BombMarks_Picture().isNull()) << "bomb_marks.png is built into the game";
  BombMarks_Apply(false);
  const QImage red = Sprite(0), blue = Sprite(1);
  ASSERT_NE(red, blue);
  EXPECT_LE(ClearlyDifferent(red, blue, AsIs), 1) << "without marks only the hue differs";
  EXPECT_LE(ClearlyDifferent(red, blue, Deuteranope), 1);

  BombMarks_Apply(true);
  const QImage markedRed = Sprite(0), markedBlue = Sprite(1);
  EXPECT_GE(ClearlyDifferent(markedRed, markedBlue, AsIs), 8) << "a vertical line, a flat bar";
  EXPECT_GE(ClearlyDifferent(markedRed, markedBlue, Deuteranope), 8);
  for (int y = 0; y < 12; ++y) {
    for (int x = 0; x < 12; ++x) {
      ASSERT_EQ(red.pixel(x, y) == qRgb(0, 0, 0), markedRed.pixel(x, y) == qRgb(0, 0, 0))
          << "a mark recolours the bomb and never changes its outline, at " << x << "," << y;
    }
  }
}

TEST_F(ViewOptionsTest, MarksReachTheStocksTheHandsAndTheMenuAndGoAway) {
  Form1Window& f = form();
  const QImage stripBefore = f.Picture6.Picture().copy();
  const QImage redInHands = Carrying(0);
  ASSERT_TRUE(Options().BombMarks) << "on unless tarnix.conf turns it off";
  EXPECT_NE(redInHands, Carrying(1)) << "the carried bomb shows its kind";

  // Through the menu: the stocks in the strip on screen and in the stores lose their marks.
  f.mnuBombMarks.SetChecked(true);
  BombMarks_Apply(true);
  const QImage markedStrip = f.Picture6.Picture().copy();
  EXPECT_NE(markedStrip.copy(kStockIconX[0], kStockIconY, 12, 12),
            stripBefore.copy(kStockIconX[0], kStockIconY, 12, 12));
  EXPECT_EQ(markedStrip.copy(0, 22, 264, 38), stripBefore.copy(0, 22, 264, 38))
      << "only the icons change";
  f.mnuBombMarks.Action()->trigger();
  EXPECT_FALSE(Options().BombMarks);
  EXPECT_FALSE(f.mnuBombMarks.Checked());
  EXPECT_EQ(f.Picture6.Picture(), stripBefore);
  EXPECT_EQ(f.Picture5[3].Picture(), stripBefore);
  EXPECT_EQ(Carrying(0), Carrying(1)) << "the original's figure carries a plain bomb";
}

// Six generations: a blue bomb sets off a crate, which sets off the next, down the well.
class GentleFlashesTest : public ViewOptionsTest {
 protected:
  void LongChain() {
    for (int r : {1, 3, 5, 7, 9}) Put(r, 5, '4');
    Block_Paint();
    Fuse(0, 0, 3, 1);
    Module1.WaitMs = 25;
    Bomb_Refresh();
  }
  // The ticks at which a flash covering at least two cells was on screen, and the lightness
  // of its pixels.
  std::vector<std::int32_t> FullFlashes(double* lightness = nullptr) {
    std::vector<std::int32_t> at;
    for (const PauseShot& shot : photos.shots) {
      int lit = 0;
      double sum = 0;
      for (int y = 60; y < shot.canvas.height(); ++y) {
        for (int x = 0; x < shot.canvas.width(); ++x) {
          const QRgb p = shot.canvas.pixel(x, y);
          if (qRed(p) > 2 * qGreen(p) && qRed(p) > 2 * qBlue(p) && qRed(p) >= 0x40) {
            ++lit;
            sum += Luminance(p);
          }
        }
      }
      if (lit >= 2 * 24 * 24) {
        at.push_back(shot.at);
        if (lightness != nullptr) *lightness = sum / lit;
      }
    }
    return at;
  }
};

TEST_F(GentleFlashesTest, TheOriginalFlashesEveryGeneration) {
  LongChain();
  double lightness = 0;
  const std::vector<std::int32_t> flashes = FullFlashes(&lightness);
  ASSERT_EQ(flashes.size(), 6u);
  EXPECT_LT(flashes[3] - flashes[0], 1000) << "four flashes within a second";
  EXPECT_GT((lightness + 0.05) / 0.05, 3.0) << "a glaring red against the black well";
}

TEST_F(GentleFlashesTest, NoMoreThanThreeFullFlashesInAnySecondAndLessContrast) {
  form().mnuGentleFlashes.Action()->trigger();
  ASSERT_TRUE(Options().GentleFlashes);
  ASSERT_TRUE(form().mnuGentleFlashes.Checked());
  LongChain();
  double lightness = 0;
  const std::vector<std::int32_t> flashes = FullFlashes(&lightness);
  ASSERT_EQ(flashes.size(), 3u) << "the first three of a fast chain, then outlines";
  for (std::size_t i = kFullFlashesPerSecond; i < flashes.size(); ++i) {
    EXPECT_GE(flashes[i] - flashes[i - kFullFlashesPerSecond], 1000);
  }
  EXPECT_LT((lightness + 0.05) / 0.05, 2.0) << "a dim red, a small step from the well";
  EXPECT_LT(lightness, 0.1) << "below the change the flash guidelines count as a flash";
  // Where a full flash would come too soon, the outline of the blast still shows.
  ASSERT_EQ(photos.shots.size(), 11u) << "two pauses a generation, one after the last";
  const PauseShot& sixth = photos.shots[10];  // the sixth generation's first pause
  const QRect crate(24 * 5 - 48, 60 + 24 * 9 - 48, 120, 120);
  EXPECT_EQ(sixth.canvas.pixel(crate.left(), crate.top() + 60), kGentleFlash);
  ExpectQuiet();

  // The rules saw the same chain as without the option.
  EXPECT_EQ(Count("bomb"), 6);
  EXPECT_EQ(Module1.Board.find('4'), std::string::npos);
}

}  // namespace
}  // namespace tarnix::testing
