#include <QCoreApplication>

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

QString Tr(const char* text) { return QCoreApplication::translate("Verify", text); }

QString Ending(ReplayEnding ending) {
  switch (ending) {
    case ReplayEnding::kGameOver: return Tr(QT_TRANSLATE_NOOP("Verify", "ゲームオーバー"));
    case ReplayEnding::kTitle: return Tr(QT_TRANSLATE_NOOP("Verify", "タイトルへ戻る"));
    case ReplayEnding::kQuit: return Tr(QT_TRANSLATE_NOOP("Verify", "ウィンドウを閉じる"));
    case ReplayEnding::kCut: return Tr(QT_TRANSLATE_NOOP("Verify", "記録の打ち切り"));
  }
  return {};
}

void Print(std::FILE* out, const QString& text) {
  const QByteArray bytes = (text + u'\n').toLocal8Bit();
  std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), out);
}

}  // namespace

int Replay_VerifyFile(const std::string& path) {
  const ReplayReadResult r = ReplayLibrary_Read(path);
  if (!r.record) {
    std::fprintf(stderr, "tarnix: %s: ", path.c_str());
    Print(stderr, QString::fromStdString(Replay_ErrorText(r)));
    return kVerifyMismatch;
  }
  const ReplayRecord& rec = *r.record;
  const ReplayOutcome out = Replay_Run(rec);
  const char* line = QT_TRANSLATE_NOOP("Verify", "%1: レベル %2、スコア %3、%4 パス目で%5");
  Print(stdout, Tr(line)
                    .arg(Tr(QT_TRANSLATE_NOOP("Verify", "再生")))
                    .arg(out.level)
                    .arg(out.score)
                    .arg(out.passes)
                    .arg(out.ended ? Ending(rec.ending)
                                   : Tr(QT_TRANSLATE_NOOP("Verify", "記録と違う終わり"))));
  Print(stdout, Tr(line)
                    .arg(Tr(QT_TRANSLATE_NOOP("Verify", "記録")))
                    .arg(rec.level)
                    .arg(rec.score)
                    .arg(rec.passes)
                    .arg(Ending(rec.ending)));
  // The verdict is a word for scripts, the same in every language.
  if (!out.matches) {
    std::puts("MISMATCH");
    return kVerifyMismatch;
  }
  if (rec.ending == ReplayEnding::kCut) {
    std::puts("cut");
    return kVerifyCut;
  }
  std::puts("match");
  return kVerifyMatch;
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
