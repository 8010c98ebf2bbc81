// The sound effects through SDL's own audio device: one short effect sounds at a time.
#pragma once

#include <QObject>

#include <atomic>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "core/platform.h"

struct SDL_AudioSpec;

namespace tarnix {

// Copies the playing effect out on SDL's audio thread, so playing one never blocks a pass.
// Once no effect has sounded for `lingerMs` the device is closed and its thread ends; the
// next effect opens it again. Each file is decoded once and kept across the sleeps.
class MixerSound final : public SoundOutput {
 public:
  explicit MixerSound(int lingerMs = 500);
  ~MixerSound() override;
  MixerSound(const MixerSound&) = delete;
  MixerSound& operator=(const MixerSound&) = delete;

  void Play(const std::string& path) override;
  // True while the device is open (an effect sounds, or sounded less than lingerMs ago).
  bool Awake() const { return awake_; }
  // True while an effect is still sounding.
  bool Playing() const;

 private:
  // A decoded file, and the same sound in the open device's format when that differs.
  struct Effect {
    int frequency = 0;
    std::uint16_t format = 0;
    int channels = 0;
    std::vector<std::uint8_t> decoded;
    std::vector<std::uint8_t> converted;
    bool sameAsDevice = false;
  };

  bool Wake();
  bool OpenDevice(int allowedChanges, SDL_AudioSpec& obtained);
  void SleepIfSilent();
  const Effect* Find(const std::string& path);
  bool Convert(Effect& effect) const;
  static void Fill(void* self, std::uint8_t* stream, int len);

  const int lingerMs_;
  bool initialised_ = false;
  bool failed_ = false;
  bool awake_ = false;
  bool started_ = false;  // unpaused since it was opened
  std::uint32_t device_ = 0;
  int frequency_ = 0;
  std::uint16_t format_ = 0;
  int channels_ = 0;
  std::uint8_t silence_ = 0;
  long lingerBytes_ = 0;
  std::map<std::string, Effect> effects_;
  // Handed to the audio thread under SDL's device lock.
  const std::uint8_t* playing_ = nullptr;
  std::size_t left_ = 0;
  // Written on the audio thread, read on the game's.
  std::atomic<long> silentBytes_{0};
  std::atomic<bool> sleepPosted_{false};
  QObject mainThread_;  // receives the audio thread's call to sleep
};

// The one mixer behind RealSound().
MixerSound& RealMixer();

}  // namespace tarnix
