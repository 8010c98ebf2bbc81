// Collecting gifts: which two slots the player's position reaches, the stocks and their cap,
// one sound per gift and one refresh of the labels per pass.
#include <gtest/gtest.h>

#include <set>

#include "bombs/bombs.h"
#include "shell/shell.h"
#include "support/bomb_scene.h"

namespace tarnix::testing {
namespace {

// Notes what the red-stock label showed each time a sound started.
class LabelAtSound final : public SoundOutput {
 public:
  std::vector<std::string> redLabel;
  void Play(const std::string&) override { redLabel.push_back(Form1->Label1[4].Caption()); }
};

class GiftsTest : public BombTest {
 protected:
  void FillGifts(Long kind) {
    for (GiftRecord& gift : Module1.Gifts) gift = GiftRecord{1, kind, 40};
  }
  std::set<int> Taken() const {
    std::set<int> taken;
    for (int k = 0; k < kGiftSlots; ++k) {
      if (Module1.Gifts[k].Active == 0) taken.insert(k);
    }
    return taken;
  }
};

TEST_F(GiftsTest, TheSlotsAtTheLeftEdgeAndJustPastTheRightEdgeAreTaken) {
  const struct {
    int left;
    std::set<int> expected;
  } cases[] = {
      {0, {0, 2}},     // slot 1 lies wholly under the player and is not looked at
      {12, {1, 3}},    //
      {23, {1, 3}},    // x 47 is still slot 3
      {24, {2, 4}},    //
      {228, {19, 21}}, //
      {240, {20, 21}}, // slot 22 does not exist: capped to 21
  };
  for (const auto& c : cases) {
    FillGifts(0);
    form().Picture2.SetLeft(c.left);
    Module1.RedStock = 30;
    sound.played.clear();
    Gift_GetCheck();
    EXPECT_EQ(Taken(), c.expected) << "left edge " << c.left;
    EXPECT_EQ(Module1.RedStock, 30 + static_cast<Long>(c.expected.size())) << "left " << c.left;
    EXPECT_EQ(sound.Names(), std::vector<std::string>(c.expected.size(), "get"))
        << "one sound per gift, left edge " << c.left;
  }
}

TEST_F(GiftsTest, EachKindFillsItsOwnStock) {
  form().Picture2.SetLeft(0);
  Module1.Gifts[0] = GiftRecord{1, 1, 10};
  Module1.Gifts[2] = GiftRecord{1, 1, 10};
  Gift_GetCheck();
  EXPECT_EQ(Module1.BlueStock, 32);
  EXPECT_EQ(Module1.RedStock, 30);
  EXPECT_EQ(form().Label1[6].Caption(), "32");
}

TEST_F(GiftsTest, StocksStopAt999ButTheSoundStillPlays) {
  form().Picture2.SetLeft(120);
  Module1.RedStock = 999;
  Module1.BlueStock = 999;
  Module1.Gifts[10] = GiftRecord{1, 0, 10};
  Module1.Gifts[12] = GiftRecord{1, 1, 10};
  Gift_GetCheck();
  EXPECT_EQ(Module1.RedStock, 999);
  EXPECT_EQ(Module1.BlueStock, 999);
  EXPECT_EQ(sound.Names(), (std::vector<std::string>{"get", "get"}));
  EXPECT_EQ(form().Label1[4].Caption(), "999");
  EXPECT_EQ(Module1.Gifts[10].Active, 0) << "the gift is used up all the same";
}

TEST_F(GiftsTest, TwoGiftsInOnePassTwoSoundsOneRefreshAfterBoth) {
  LabelAtSound probe;
  Platform().sound = &probe;
  form().Picture2.SetLeft(120);
  form().Label1[4].SetCaption("old");
  Module1.Gifts[10] = GiftRecord{1, 0, 10};
  Module1.Gifts[12] = GiftRecord{1, 0, 10};
  Gift_GetCheck();
  EXPECT_EQ(probe.redLabel, (std::vector<std::string>{"old", "old"}))
      << "the labels are refreshed once, after both gifts";
  EXPECT_EQ(form().Label1[4].Caption(), "32");
}

TEST_F(GiftsTest, NothingToTakeTouchesNothing) {
  form().Picture2.SetLeft(120);
  Module1.Gifts[11] = GiftRecord{1, 0, 10};  // under the player, but not looked at
  form().Label1[4].SetCaption("old");
  Gift_GetCheck();
  EXPECT_TRUE(sound.Names().empty());
  EXPECT_EQ(form().Label1[4].Caption(), "old") << "no refresh when nothing was taken";
  EXPECT_EQ(Module1.Gifts[11].Active, 1);
  EXPECT_EQ(Module1.RedStock, 30);
}

TEST_F(GiftsTest, AGiftFallingOntoThePlayerIsTakenInItsFirstPass) {
  form().Picture2.SetLeft(120);
  Module1.Gifts[10] = GiftRecord{1, 1, 60};
  Main_Prog();
  EXPECT_EQ(Module1.Gifts[10].Active, 0);
  EXPECT_EQ(Module1.BlueStock, 31);
  EXPECT_EQ(Count("get"), 1);
}

}  // namespace
}  // namespace tarnix::testing
