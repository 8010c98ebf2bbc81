// The mixer sleeps when the game is silent: SDL's device is closed and its thread gone,
// and the next effect opens it again. Run on SDL's silent driver.
#include <gtest/gtest.h>

#include <SDL.h>

#include <QTest>

#include <filesystem>
#include <fstream>
#include <string>

#include "files/mixer.h"

namespace tarnix::testing {
namespace {

// SDL's audio threads of this process, found by the names SDL gives them.
int AudioThreads() {
  int count = 0;
  for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
    std::ifstream comm(task.path() / "comm");
    std::string name;
    if (std::getline(comm, name) && name.rfind("SDLAudio", 0) == 0) ++count;
  }
  return count;
}

// SDL's audio devices open in this process, playing or paused.
int OpenDevices() {
  int count = 0;
  for (SDL_AudioDeviceID id = 1; id <= 16; ++id) {
    if (SDL_GetAudioDeviceStatus(id) != SDL_AUDIO_STOPPED) ++count;
  }
  return count;
}

TEST(MixerTest, SleepsAfterSilenceAndWakesForTheNextEffect) {
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  MixerSound& mixer = RealMixer();
  const std::string cursor = TARNIX_GAME_DIR "/cursor.wav";
  const std::string select = TARNIX_GAME_DIR "/select.wav";
  mixer.Play(cursor);
  if (!mixer.Awake()) GTEST_SKIP() << "no audio back end at all";
  EXPECT_TRUE(mixer.Playing());
  EXPECT_EQ(OpenDevices(), 1);
  // SDL's thread names itself once it runs.
  EXPECT_TRUE(QTest::qWaitFor([] { return AudioThreads() == 1; }, 5000))
      << "the effect sounds on SDL's own thread";

  ASSERT_TRUE(QTest::qWaitFor([&] { return !mixer.Awake(); }, 20000))
      << "once the effect has ended and a moment has passed in silence, the device sleeps";
  EXPECT_EQ(OpenDevices(), 0) << "the device is closed";
  EXPECT_EQ(AudioThreads(), 0) << "no thread is left to wake while the game is silent";

  mixer.Play(select);
  EXPECT_TRUE(mixer.Awake()) << "the next effect wakes the device";
  EXPECT_TRUE(mixer.Playing()) << "and sounds at once";
  EXPECT_TRUE(QTest::qWaitFor([] { return AudioThreads() == 1; }, 5000));
  mixer.Play(cursor);
  EXPECT_TRUE(mixer.Playing()) << "an effect decoded before the sleep still plays after it";

  ASSERT_TRUE(QTest::qWaitFor([&] { return !mixer.Awake(); }, 20000)) << "and sleeps again";
}

}  // namespace
}  // namespace tarnix::testing
