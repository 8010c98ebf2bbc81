#include <SDL.h>
#include <SDL_mixer.h>

#include <sys/stat.h>

#include <QCoreApplication>

#include "files/files.h"
#include "files/mixer.h"
#include "playfield/form1.h"
#include "shell/platform.h"

namespace tarnix {

MixerSound::MixerSound(int lingerMs) : lingerMs_(lingerMs) {}

MixerSound::~MixerSound() {
  if (awake_) {
    Mix_HaltChannel(-1);
    Mix_CloseAudio();
  }
  for (auto& [path, chunk] : chunks_) Mix_FreeChunk(chunk);
  if (initialised_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void MixerSound::Play(const std::string& path) {
  if (!Wake()) return;
  Mix_Chunk* chunk = Chunk(path);
  if (!chunk) return;
  Mix_HaltChannel(-1);
  silentBytes_ = 0;
  Mix_PlayChannel(0, chunk, 0);
}

bool MixerSound::Wake() {
  if (awake_) return true;
  if (failed_) return false;
  if (!initialised_) {
    // SDL must leave SIGINT and SIGTERM to the game; set before any part of SDL starts.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
      failed_ = true;
      return false;
    }
    initialised_ = true;
  }
  // No audio device (CI, a server) is silence for the rest of the run, not an error.
  if (Mix_OpenAudio(22050, AUDIO_S16SYS, 1, 512) != 0) {
    failed_ = true;
    return false;
  }
  int frequency = 0;
  Uint16 format = 0;
  int channels = 0;
  Mix_QuerySpec(&frequency, &format, &channels);
  if (frequency != frequency_ || format != format_ || channels != channels_) {
    // The decoded effects are in the device's format; a device that opens in another
    // one needs them decoded again.
    for (auto& [p, chunk] : chunks_) Mix_FreeChunk(chunk);
    chunks_.clear();
    frequency_ = frequency;
    format_ = format;
    channels_ = channels;
  }
  lingerBytes_ = static_cast<long>(frequency) * channels * (SDL_AUDIO_BITSIZE(format) / 8) *
                 lingerMs_ / 1000;
  Mix_AllocateChannels(1);
  silentBytes_ = 0;
  sleepPosted_ = false;
  Mix_SetPostMix(&MixerSound::CountSilence, this);
  awake_ = true;
  return true;
}

// On the audio thread, once per mixed buffer: silence is counted in bytes of output, and
// the game's thread is asked once to close the device when enough has passed.
void MixerSound::CountSilence(void* self, unsigned char* /*stream*/, int len) {
  auto* mixer = static_cast<MixerSound*>(self);
  if (Mix_Playing(0)) {
    mixer->silentBytes_ = 0;
    return;
  }
  if ((mixer->silentBytes_ += len) < mixer->lingerBytes_) return;
  if (mixer->sleepPosted_.exchange(true)) return;
  QMetaObject::invokeMethod(&mixer->mainThread_, [mixer] { mixer->SleepIfSilent(); },
                            Qt::QueuedConnection);
}

void MixerSound::SleepIfSilent() {
  sleepPosted_ = false;
  if (!awake_ || Mix_Playing(0) || silentBytes_ < lingerBytes_) return;
  Mix_CloseAudio();
  awake_ = false;
}

Mix_Chunk* MixerSound::Chunk(const std::string& path) {
  const auto found = chunks_.find(path);
  if (found != chunks_.end()) return found->second;
  // Null for a missing or unreadable file; not kept, so a file put back later plays.
  Mix_Chunk* chunk = Mix_LoadWAV(path.c_str());
  if (chunk) chunks_.emplace(path, chunk);
  return chunk;
}

namespace {

constexpr const char* kCheckedEffects[] = {"bomb", "cursor", "get", "height", "over", "select"};

}  // namespace

MixerSound& RealMixer() {
  static MixerSound mixer;
  return mixer;
}

SoundOutput& RealSound() { return RealMixer(); }

void Sound(const std::string& name) {
  if (!Form1->mnuO1.Checked()) return;
  Platform().sound->Play(Module1.AppPath + name + ".wav");
}

void Sound_CheckFiles() {
  for (const char* name : kCheckedEffects) {
    struct stat info {};
    const std::string path = Module1.AppPath + name + ".wav";
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
      Form1->mnuO1.SetChecked(false);
      Form1->mnuO1.SetEnabled(false);
      return;
    }
  }
}

}  // namespace tarnix
