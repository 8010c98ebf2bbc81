#include <SDL.h>

#include <sys/stat.h>

#include <QCoreApplication>

#include <algorithm>
#include <climits>
#include <cstring>

#include "files/file_io.h"
#include "files/files.h"
#include "files/mixer.h"
#include "core/hooks.h"
#include "core/platform.h"

namespace tarnix {

namespace {

// What the effects are recorded in; a device that cannot take it directly gets them converted.
constexpr int kFrequency = 22050;
constexpr SDL_AudioFormat kFormat = AUDIO_S16SYS;
constexpr int kChannels = 1;
// An effect is a fraction of a second; a file this big is none of the game's.
constexpr std::size_t kMaxEffectBytes = 16u << 20;

}  // namespace

MixerSound::MixerSound(int lingerMs) : lingerMs_(lingerMs) {}

MixerSound::~MixerSound() {
  // Closing waits for SDL's thread, so nothing reads the effects once they go.
  if (device_ != 0) SDL_CloseAudioDevice(device_);
  if (initialised_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void MixerSound::Play(const std::string& path) {
  if (!Wake()) return;
  if (const Effect* effect = Find(path)) {
    const auto& pcm = effect->sameAsDevice ? effect->decoded : effect->converted;
    SDL_LockAudioDevice(device_);
    playing_ = pcm.data();
    left_ = pcm.size();
    silentBytes_ = 0;
    SDL_UnlockAudioDevice(device_);
  }
  // A device just woken starts once it has something to play, so its first buffer is the effect.
  if (!started_) {
    SDL_PauseAudioDevice(device_, 0);
    started_ = true;
  }
}

bool MixerSound::Playing() const {
  if (device_ == 0) return false;
  SDL_LockAudioDevice(device_);
  const bool playing = left_ > 0;
  SDL_UnlockAudioDevice(device_);
  return playing;
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
  SDL_AudioSpec obtained{};
  if (!OpenDevice(SDL_AUDIO_ALLOW_ANY_CHANGE, obtained)) {
    failed_ = true;
    return false;
  }
  SDL_AudioCVT probe;
  if (SDL_BuildAudioCVT(&probe, kFormat, kChannels, kFrequency, obtained.format, obtained.channels,
                        obtained.freq) < 0) {
    // A layout the effects cannot be converted to: SDL then takes them as they are recorded.
    SDL_CloseAudioDevice(device_);
    device_ = 0;
    if (!OpenDevice(0, obtained)) {
      failed_ = true;
      return false;
    }
  }
  if (obtained.freq != frequency_ || obtained.format != format_ || obtained.channels != channels_) {
    frequency_ = obtained.freq;
    format_ = obtained.format;
    channels_ = obtained.channels;
    for (auto it = effects_.begin(); it != effects_.end();) {
      it = Convert(it->second) ? std::next(it) : effects_.erase(it);
    }
  }
  silence_ = obtained.silence;
  lingerBytes_ = static_cast<long>(frequency_) * channels_ * (SDL_AUDIO_BITSIZE(format_) / 8) *
                 lingerMs_ / 1000;
  // The device is open but paused: its thread has not called Fill yet.
  playing_ = nullptr;
  left_ = 0;
  silentBytes_ = 0;
  sleepPosted_ = false;
  started_ = false;
  awake_ = true;
  return true;
}

bool MixerSound::OpenDevice(int allowedChanges, SDL_AudioSpec& obtained) {
  SDL_AudioSpec wanted{};
  wanted.freq = kFrequency;
  wanted.format = kFormat;
  wanted.channels = kChannels;
  wanted.samples = 512;
  wanted.callback = &MixerSound::Fill;
  wanted.userdata = this;
  device_ = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, allowedChanges);
  return device_ != 0;
}

// On the audio thread, under the device's lock: the playing effect, then silence. Silence is
// counted in bytes of output, and the game's thread is asked once to close the device when
// enough has passed.
void MixerSound::Fill(void* self, std::uint8_t* stream, int len) {
  auto* mixer = static_cast<MixerSound*>(self);
  const std::size_t copied = std::min(static_cast<std::size_t>(len), mixer->left_);
  if (copied > 0) {
    std::memcpy(stream, mixer->playing_, copied);
    mixer->playing_ += copied;
    mixer->left_ -= copied;
  }
  std::memset(stream + copied, mixer->silence_, static_cast<std::size_t>(len) - copied);
  if (copied > 0) {
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
  if (!awake_ || Playing() || silentBytes_ < lingerBytes_) return;
  SDL_CloseAudioDevice(device_);
  device_ = 0;
  playing_ = nullptr;
  left_ = 0;
  awake_ = false;
}

const MixerSound::Effect* MixerSound::Find(const std::string& path) {
  const auto found = effects_.find(path);
  if (found != effects_.end()) return &found->second;
  // A missing, unreadable or garbled file is silence and is not kept, so a file put back
  // later plays.
  // Through the game's one reader: a pipe or a device under an effect's name never blocks.
  const FileRead file = File_Read(path, kMaxEffectBytes);
  if (file.kind != FileRead::kRegular || file.bytes.size() > kMaxEffectBytes) return nullptr;
  SDL_AudioSpec recorded{};
  Uint8* buffer = nullptr;
  Uint32 length = 0;
  if (!SDL_LoadWAV_RW(SDL_RWFromConstMem(file.bytes.data(), static_cast<int>(file.bytes.size())),
                      1, &recorded, &buffer, &length)) {
    return nullptr;
  }
  Effect effect;
  effect.frequency = recorded.freq;
  effect.format = recorded.format;
  effect.channels = recorded.channels;
  effect.decoded.assign(buffer, buffer + length);
  SDL_FreeWAV(buffer);
  if (effect.decoded.empty() || !Convert(effect)) return nullptr;
  return &effects_.emplace(path, std::move(effect)).first->second;
}

// Into the open device's format; an effect already in it is played as decoded.
bool MixerSound::Convert(Effect& effect) const {
  SDL_AudioCVT cvt;
  const int built = SDL_BuildAudioCVT(&cvt, effect.format, static_cast<Uint8>(effect.channels),
                                      effect.frequency, format_, static_cast<Uint8>(channels_),
                                      frequency_);
  if (built < 0) return false;
  effect.sameAsDevice = built == 0;
  std::vector<std::uint8_t>().swap(effect.converted);
  if (effect.sameAsDevice) return true;
  const std::size_t size = effect.decoded.size();
  if (cvt.len_mult <= 0 || size > static_cast<std::size_t>(INT_MAX / cvt.len_mult)) return false;
  std::vector<std::uint8_t> work(size * static_cast<std::size_t>(cvt.len_mult));
  std::copy(effect.decoded.begin(), effect.decoded.end(), work.begin());
  cvt.buf = work.data();
  cvt.len = static_cast<int>(size);
  if (SDL_ConvertAudio(&cvt) != 0 || cvt.len_cvt <= 0) return false;
  effect.converted.assign(work.begin(), work.begin() + cvt.len_cvt);
  return true;
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
  if (!Hook().SoundTicked || !Hook().SoundTicked()) return;
  Platform().sound->Play(Module1.AppPath + name + ".wav");
}

void Sound_CheckFiles() {
  for (const char* name : kCheckedEffects) {
    struct stat info {};
    const std::string path = Module1.AppPath + name + ".wav";
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
      if (Hook().SoundUnavailable) Hook().SoundUnavailable();
      return;
    }
  }
}

}  // namespace tarnix
