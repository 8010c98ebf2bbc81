#include "server/submission.h"

#include <QCryptographicHash>
#include <QString>

#include <cstdio>

namespace tarnix::board {

namespace {

SubmissionRead Refuse(const char* code, std::string reason) {
  SubmissionRead r;
  r.code = code;
  r.reason = std::move(reason);
  return r;
}

std::string GameIdentity(const ReplayRecord& rec) {
  ReplayRecord game = rec;
  game.name.clear();
  game.stamp.clear();
  game.game.clear();
  const std::string text = Replay_Format(game);
  return QCryptographicHash::hash(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())),
                                  QCryptographicHash::Sha256)
      .toHex()
      .toStdString();
}

bool ValidName(const std::string& name) {
  if (name.size() > kNameMaxBytes) return false;
  const QString text = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
  if (text.toUtf8().toStdString() != name) return false;  // not UTF-8
  for (const QChar c : text) {
    if (c.category() == QChar::Other_Control) return false;
  }
  return true;
}

}  // namespace

std::string Submission_SeedText(std::uint64_t seed) {
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(seed));
  return text;
}

SubmissionRead Submission_Read(std::string_view body) {
  if (body.empty()) return Refuse("empty", "the request carries no replay file");
  ReplayReadResult read = Replay_Parse(body);
  if (!read.record) {
    switch (read.error) {
      case ReplayError::kRulesVersion:
        return Refuse("rules_version", "the game was played under rules " +
                                           std::to_string(read.version) + "; this board runs rules " +
                                           std::to_string(kRulesVersion));
      case ReplayError::kFormatVersion:
        return Refuse("format_version", "replay format " + std::to_string(read.version) +
                                            "; this board reads format " +
                                            std::to_string(kReplayFormatVersion));
      case ReplayError::kTooLarge: return Refuse("too_large", "the replay file is too large");
      case ReplayError::kNotReplay: return Refuse("not_replay", "the body is not a replay file");
      default: return Refuse("damaged", "the replay file is truncated or garbled");
    }
  }
  ReplayRecord& rec = *read.record;
  if (rec.ending != ReplayEnding::kGameOver) {
    return Refuse("unfinished", "only games that ended in a game over are ranked");
  }
  if (!rec.challenge.empty()) {
    // Its rows came from the file, not from the seed: anyone could write easy ones.
    return Refuse("challenge", "a race against another game rises that game's rows; only games "
                               "whose rows come from their seed are ranked");
  }
  if (rec.score < 0 || rec.level < 0) return Refuse("damaged", "a negative score or level");
  if (!ValidName(rec.name)) {
    return Refuse("name", "the name must be UTF-8 text of at most " +
                              std::to_string(kNameMaxBytes) + " bytes without control characters");
  }
  SubmissionRead r;
  r.submission = Submission{std::move(rec), {}};
  r.submission->game = GameIdentity(r.submission->record);
  return r;
}

}  // namespace tarnix::board
