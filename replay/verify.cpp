#include <QCoreApplication>

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

int Replay_StatsMain(const std::string& path, bool json) {
  Replay_QuietSeams();
  Hook().ChainGeneration = Stats_ChainGeneration;
  Form1Window form;
  return Replay_StatsFile(path, json);
}

}  // namespace tarnix
