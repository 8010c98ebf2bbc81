#include <cstdio>

#include "window/form1.h"
#include "replay/library.h"
#include "replay/replay.h"
#include "core/platform.h"

namespace tarnix {

namespace {

// Waits end at once: the counter jumps to each deadline, so a game replays as fast as its
// passes can be computed.
class JumpClock final : public TickClock {
 public:
  std::int32_t GetTickCount() override { return now_; }
  void WaitPast(std::int32_t t0, std::int32_t ms) override {
    if (!TickPassed(now_, t0, ms)) {
      now_ = static_cast<std::int32_t>(static_cast<std::uint32_t>(t0) +
                                       static_cast<std::uint32_t>(ms) + 1u);
    }
  }

 private:
  std::int32_t now_ = 0;
};

class Silence final : public SoundOutput {
 public:
  void Play(const std::string&) override {}
};

class ToStderr final : public MessageBoxes {
 public:
  void Show(const std::string& text, MessageIcon) override {
    std::fprintf(stderr, "tarnix: %s\n", text.c_str());
  }
};

const char* Ending(ReplayEnding ending) {
  switch (ending) {
    case ReplayEnding::kGameOver: return "game over";
    case ReplayEnding::kTitle: return "back to the title";
    case ReplayEnding::kQuit: return "quit";
  }
  return "";
}

}  // namespace

int Replay_VerifyFile(const std::string& path) {
  const ReplayReadResult r = ReplayLibrary_Read(path);
  if (!r.record) {
    std::fprintf(stderr, "tarnix: %s: %s\n", path.c_str(), Replay_ErrorText(r).c_str());
    return 1;
  }
  const ReplayRecord& rec = *r.record;
  const ReplayOutcome out = Replay_Run(rec);
  std::printf("replayed: level %d, score %d, %s at pass %u\n", out.level, out.score,
              out.ended ? Ending(rec.ending) : "a different end", out.passes);
  std::printf("recorded: level %d, score %d, %s at pass %u\n", rec.level, rec.score,
              Ending(rec.ending), rec.passes);
  std::printf("%s\n", out.matches ? "match" : "MISMATCH");
  return out.matches ? 0 : 1;
}

void Replay_QuietSeams() {
  static JumpClock clock;
  static Silence silence;
  static ToStderr messages;
  PlatformSeams& p = Platform();
  p.clock = &clock;
  p.sound = &silence;
  p.messages = &messages;
  p.launcher = &RealLauncher();
  p.random = &RealRandom();
}

int Replay_VerifyMain(const std::string& path) {
  Replay_QuietSeams();
  Form1Window form;
  return Replay_VerifyFile(path);
}

}  // namespace tarnix
