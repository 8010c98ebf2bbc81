#include <cstdio>

#include "window/form1.h"
#include "replay/library.h"
#include "replay/quiet.h"
#include "core/hooks.h"
#include "replay/replay.h"
#include "replay/stats.h"
#include "core/platform.h"

namespace tarnix {

namespace {

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

int Replay_StatsFile(const std::string& path, bool json) {
  const ReplayReadResult r = ReplayLibrary_Read(path);
  if (!r.record) {
    std::fprintf(stderr, "tarnix: %s: %s\n", path.c_str(), Replay_ErrorText(r).c_str());
    return 1;
  }
  const ReplayOutcome out = Replay_Run(*r.record);
  const std::string text = json ? Stats_Json(Stats_Current())
                                : Stats_Text(Stats_Current());
  std::fputs(text.c_str(), stdout);
  return out.matches ? 0 : 1;
}

namespace {

void Headless_Seams() {
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

}  // namespace

int Replay_VerifyMain(const std::string& path) {
  Headless_Seams();
  Form1Window form;
  return Replay_VerifyFile(path);
}

int Replay_StatsMain(const std::string& path, bool json) {
  Headless_Seams();
  Hook().ChainGeneration = Stats_ChainGeneration;
  Form1Window form;
  return Replay_StatsFile(path, json);
}

}  // namespace tarnix
