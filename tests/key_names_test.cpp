// Keys are shown by what the player's own keyboard layout calls them: the X server's layout,
// read again when it changes, else the one the environment names.
#include <gtest/gtest.h>

#include <QStandardPaths>
#include <QTemporaryDir>

#include <xcb/xcb.h>

#include <cstdlib>

#include "input/bindings.h"
#include "input/key_names.h"
#include "support/processes.h"

namespace tarnix::testing {
namespace {

// Scan codes of a PC keyboard under X11: the keys a US keyboard prints Q, Z, 1 on, and more.
constexpr std::uint32_t kScanQ = 24, kScanZ = 52, kScan1 = 10, kScanSpace = 65, kScanEnter = 36,
                        kScanUp = 111, kScanShift = 50;

// An X server of the test's own, stopped with the test.
class OwnXServer {
 public:
  explicit OwnXServer(const std::string& folder) {
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (xvfb.isEmpty() || pipe(number_) != 0) return;
    // Without -noreset the server would go back to its first layout whenever its last
    // client (setxkbmap) leaves.
    server_ = std::make_unique<GameProcess>(
        xvfb.toStdString(),
        std::vector<std::string>{"-displayfd", "3", "-nolisten", "tcp", "-noreset"},
        folder, std::map<std::string, std::optional<std::string>>{}, number_[1]);
    close(number_[1]);
    std::string digits;
    char c = 0;
    while (read(number_[0], &c, 1) == 1 && c != '\n') digits += c;
    close(number_[0]);
    if (!digits.empty()) display_ = ":" + digits;
  }
  ~OwnXServer() {
    if (server_) {
      server_->Signal(SIGTERM);
      server_->Wait(5000);
    }
  }
  const std::string& display() const { return display_; }

 private:
  int number_[2] = {-1, -1};
  std::unique_ptr<GameProcess> server_;
  std::string display_;
};

class KeyNamesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder_.isValid());
    setxkbmap_ = QStandardPaths::findExecutable(QStringLiteral("setxkbmap")).toStdString();
  }
  void TearDown() override {
    unsetenv("XKB_DEFAULT_LAYOUT");
    KeyNames_FromX11(nullptr);
    if (connection_ != nullptr) xcb_disconnect(connection_);
  }
  bool Layout(const std::string& display, const std::string& layout) {
    GameProcess run(setxkbmap_, {"-display", display, layout}, folder_.path().toStdString());
    return run.Wait(20000) && run.status() == 0;
  }

  QTemporaryDir folder_;
  std::string setxkbmap_;
  xcb_connection_t* connection_ = nullptr;
};

TEST_F(KeyNamesTest, AKeyIsNamedInTheLayoutTheXServerHas) {
  if (setxkbmap_.empty()) GTEST_SKIP() << "setxkbmap is not installed";
  OwnXServer server(folder_.path().toStdString());
  if (server.display().empty()) GTEST_SKIP() << "Xvfb is not installed or did not start";
  ASSERT_TRUE(Layout(server.display(), "fr"));
  connection_ = xcb_connect(server.display().c_str(), nullptr);
  ASSERT_EQ(xcb_connection_has_error(connection_), 0);

  KeyNames_FromX11(connection_);
  EXPECT_EQ(Key_Name(kScanQ), "A") << "a French keyboard prints A where a US one prints Q";
  EXPECT_EQ(Key_Name(kScanZ), "W");
  EXPECT_EQ(Key_Name(kScan1), "&") << "the first shift level, as the key types it";
  EXPECT_EQ(Key_Name(kScanSpace), "Space");
  EXPECT_EQ(Key_Name(kScanEnter), "Enter");
  EXPECT_EQ(Key_Name(kScanUp), "\xe2\x86\x91");
  EXPECT_EQ(Key_Name(kScanShift), "Shift");

  ASSERT_TRUE(Layout(server.display(), "us"));
  EXPECT_EQ(Key_Name(kScanQ), "A") << "read when the settings screen opens, not at every draw";
  KeyNames_FromX11(connection_);
  EXPECT_EQ(Key_Name(kScanQ), "Q");
  EXPECT_EQ(Key_Name(kScanZ), "Z");

  // Without an X server (Wayland, offscreen): the layout the environment names, else the
  // names the game knew before.
  setenv("XKB_DEFAULT_LAYOUT", "fr", 1);
  KeyNames_FromX11(nullptr);
  EXPECT_EQ(Key_Name(kScanQ), "A");
  EXPECT_EQ(Key_Name(kScanZ), "W");
  unsetenv("XKB_DEFAULT_LAYOUT");
  KeyNames_FromX11(nullptr);
  EXPECT_EQ(KeyNames_Lookup(kScanQ), "") << "no layout known";
  EXPECT_EQ(Key_Name(kScanZ), "Z") << "a US keyboard's name";
}

}  // namespace
}  // namespace tarnix::testing
