// Keys are shown by what the player's own keyboard layout calls them.
#include <gtest/gtest.h>

#include <QStandardPaths>
#include <QTemporaryDir>

#include <xcb/xcb.h>

#include "input/bindings.h"
#include "input/key_names.h"
#include "support/processes.h"

namespace tarnix::testing {
namespace {

// Where a US keyboard prints Q, Z and 1 (X11's keycodes), and Space.
constexpr std::uint32_t kScanQ = 24, kScanZ = 52, kScan1 = 10, kScanSpace = 65;

TEST(KeyNames, FollowTheXServersLayoutElseTheEnvironmentsElseUs) {
  QTemporaryDir folder;
  const auto find = [](const char* name) {
    return QStandardPaths::findExecutable(QString::fromLatin1(name)).toStdString();
  };
  const std::string tool = find("setxkbmap");
  OwnXServer server(find("Xvfb"), folder.path().toStdString());
  if (tool.empty() || server.display().empty()) GTEST_SKIP() << "no Xvfb or setxkbmap";
  xcb_connection_t* connection = xcb_connect(server.display().c_str(), nullptr);
  const auto layout = [&](const char* name) {
    GameProcess run(tool, {"-display", server.display(), name}, folder.path().toStdString());
    ASSERT_TRUE(run.Wait(20000) && run.status() == 0) << run.err();
    KeyNames_FromX11(connection);  // as the settings screen does when it opens
  };
  layout("fr");
  EXPECT_EQ(Key_Name(kScanQ), "A") << "a French keyboard prints A where a US one prints Q";
  EXPECT_EQ(Key_Name(kScanZ), "W");
  EXPECT_EQ(Key_Name(kScan1), "&") << "the first shift level, as the key types it";
  EXPECT_EQ(Key_Name(kScanSpace), "Space");
  layout("us");
  EXPECT_EQ(Key_Name(kScanQ), "Q");
  xcb_disconnect(connection);

  setenv("XKB_DEFAULT_LAYOUT", "fr", 1);  // Wayland, offscreen: no X server to ask
  KeyNames_FromX11(nullptr);
  EXPECT_EQ(Key_Name(kScanZ), "W");
  unsetenv("XKB_DEFAULT_LAYOUT");
  KeyNames_FromX11(nullptr);
  EXPECT_EQ(KeyNames_Lookup(kScanZ), "") << "no layout known: the names the game knew before";
}

}  // namespace
}  // namespace tarnix::testing
