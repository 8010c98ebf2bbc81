// The mixer sleeps when the game is silent: SDL's device is closed and its thread gone,
// and the next effect opens it again. Run on SDL's silent driver.
#include <gtest/gtest.h>

#include <SDL.h>

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
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
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString cursorCopy = dir.filePath(QStringLiteral("cursor.wav"));
  ASSERT_TRUE(QFile::copy(QStringLiteral(TARNIX_GAME_DIR "/cursor.wav"), cursorCopy));
  const std::string cursor = cursorCopy.toStdString();
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
  ASSERT_TRUE(QFile::remove(cursorCopy));
  mixer.Play(cursor);
  EXPECT_TRUE(mixer.Playing()) << "an effect decoded before the sleep still plays after it";

  ASSERT_TRUE(QTest::qWaitFor([&] { return !mixer.Awake(); }, 20000)) << "and sleeps again";
}

// A PCM WAV of a tenth of a second of silence in the given layout.
QByteArray Wav(int frequency, int channels, int bits) {
  const int block = channels * bits / 8;
  const QByteArray data(frequency / 10 * block, bits == 8 ? '\x80' : '\0');
  QByteArray bytes;
  auto put = [&](quint32 value, int size) {
    for (int i = 0; i < size; ++i) bytes.append(static_cast<char>(value >> (8 * i)));
  };
  bytes.append("RIFF");
  put(36 + data.size(), 4);
  bytes.append("WAVEfmt ");
  put(16, 4);
  put(1, 2);
  put(channels, 2);
  put(frequency, 4);
  put(frequency * block, 4);
  put(block, 2);
  put(bits, 2);
  bytes.append("data");
  put(data.size(), 4);
  return bytes + data;
}

// Whatever lies in an effect's place, the game plays on in silence, and the real file put
// back afterwards plays; a file in another layout than the device's plays converted.
TEST(MixerTest, AFileThatIsNoSoundIsSilenceUntilTheSoundIsBack) {
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  MixerSound& mixer = RealMixer();
  QFile source(QStringLiteral(TARNIX_GAME_DIR "/up.wav"));
  ASSERT_TRUE(source.open(QIODevice::ReadOnly));
  const QByteArray good = source.readAll();
  ASSERT_GT(good.size(), 44);
  auto patched = [&](int offset, char value) {
    QByteArray bytes = good;
    bytes[offset] = value;
    return bytes;
  };
  const QByteArray bad[] = {
      QByteArray(),
      QByteArray("RIFF\x10\0\0\0WAVEnot a sound at all"),
      good.left(40),              // cut inside the header
      patched(20, '\x55'),        // a compressed encoding SDL does not decode
      patched(22, 0),             // no channels
      patched(34, 7),             // seven bits a sample
  };
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString path = dir.filePath(QStringLiteral("up.wav"));
  // A file that is no sound leaves what sounds alone, so each is tried in silence.
  auto silent = [&] { return QTest::qWaitFor([&] { return !mixer.Playing(); }, 5000); };
  ASSERT_TRUE(silent());
  int tried = 0;
  for (const QByteArray& bytes : bad) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
    file.close();
    mixer.Play(path.toStdString());
    if (!mixer.Awake()) GTEST_SKIP() << "no audio back end at all";
    EXPECT_FALSE(mixer.Playing()) << "bad file " << tried;
    ++tried;
  }
  ASSERT_TRUE(QFile::remove(path));
  ASSERT_TRUE(QFile::copy(source.fileName(), path));
  mixer.Play(path.toStdString());
  EXPECT_TRUE(mixer.Playing()) << "none of the bad files was kept in its place";

  for (const QByteArray& other : {Wav(44100, 2, 8), Wav(8000, 1, 16), Wav(48000, 2, 32)}) {
    const QString otherPath = dir.filePath(QStringLiteral("other%1.wav").arg(tried++));
    QFile file(otherPath);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(other), other.size());
    file.close();
    ASSERT_TRUE(silent());
    mixer.Play(otherPath.toStdString());
    EXPECT_TRUE(mixer.Playing()) << otherPath.toStdString();
  }
}

}  // namespace
}  // namespace tarnix::testing
