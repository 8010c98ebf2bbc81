// The sound effects through SDL_mixer (SDL's audio subsystem only).
#pragma once

#include <QObject>

#include <atomic>
#include <map>
#include <string>

#include "shell/platform.h"

struct Mix_Chunk;

namespace tarnix {

// Mixes on SDL's audio thread, so playing an effect never blocks a pass. Once no effect
// has sounded for `lingerMs` the device is closed and its thread ends; the next effect
// opens it again. Each file is decoded once and kept across the sleeps.
class MixerSound final : public SoundOutput {
 public:
  explicit MixerSound(int lingerMs = 500);
  ~MixerSound() override;
  MixerSound(const MixerSound&) = delete;
  MixerSound& operator=(const MixerSound&) = delete;

  void Play(const std::string& path) override;
  // True while the device is open (an effect sounds, or sounded less than lingerMs ago).
  bool Awake() const { return awake_; }

 private:
  bool Wake();
  void SleepIfSilent();
  Mix_Chunk* Chunk(const std::string& path);
  static void CountSilence(void* self, unsigned char* stream, int len);

  const int lingerMs_;
  bool initialised_ = false;
  bool failed_ = false;
  bool awake_ = false;
  int frequency_ = 0;
  unsigned short format_ = 0;
  int channels_ = 0;
  long lingerBytes_ = 0;
  std::map<std::string, Mix_Chunk*> chunks_;
  // Written on the audio thread, read on the game's.
  std::atomic<long> silentBytes_{0};
  std::atomic<bool> sleepPosted_{false};
  QObject mainThread_;  // receives the audio thread's call to sleep
};

// The one mixer behind RealSound(): SDL_mixer is one per process.
MixerSound& RealMixer();

}  // namespace tarnix
