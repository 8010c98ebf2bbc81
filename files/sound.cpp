#include <SDL.h>
#include <SDL_mixer.h>

#include <sys/stat.h>

#include <map>

#include "files/files.h"
#include "playfield/form1.h"
#include "shell/platform.h"

namespace tarnix {

namespace {

// SDL_mixer mixes on a thread of its own and keeps one device open, so playing an effect
// never blocks a pass. Each file is decoded once and kept.
class MixerSound final : public SoundOutput {
 public:
  ~MixerSound() override {
    if (!open_) return;
    Mix_HaltChannel(-1);
    for (auto& [path, chunk] : chunks_) {
      if (chunk) Mix_FreeChunk(chunk);
    }
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
  }

  void Play(const std::string& path) override {
    if (!Open()) return;
    Mix_Chunk* chunk = Chunk(path);
    if (!chunk) return;
    Mix_HaltChannel(-1);
    Mix_PlayChannel(0, chunk, 0);
  }

 private:
  bool Open() {
    if (tried_) return open_;
    tried_ = true;
    // SDL must leave SIGINT and SIGTERM to the game; set before any part of SDL starts.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    if (Mix_OpenAudio(22050, AUDIO_S16SYS, 1, 512) != 0) {
      SDL_QuitSubSystem(SDL_INIT_AUDIO);
      return false;
    }
    Mix_AllocateChannels(1);
    open_ = true;
    return true;
  }

  Mix_Chunk* Chunk(const std::string& path) {
    const auto found = chunks_.find(path);
    if (found != chunks_.end()) return found->second;
    // Null for a missing or unreadable file; not kept, so a file put back later plays.
    Mix_Chunk* chunk = Mix_LoadWAV(path.c_str());
    if (chunk) chunks_.emplace(path, chunk);
    return chunk;
  }

  bool tried_ = false;
  bool open_ = false;
  std::map<std::string, Mix_Chunk*> chunks_;
};

constexpr const char* kCheckedEffects[] = {"bomb", "cursor", "get", "height", "over", "select"};

}  // namespace

SoundOutput& RealSound() {
  static MixerSound sound;
  return sound;
}

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
