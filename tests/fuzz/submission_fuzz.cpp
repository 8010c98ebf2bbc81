// libFuzzer entry for the board server's upload reader: any body is refused with a reason
// or read into a game whose identity does not depend on the name or the time it was saved.
// Built by scripts/fuzz.sh submission; the ordinary build replays submission_corpus/ and
// replay_corpus/.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "server/submission.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tarnix::board;
  const SubmissionRead read =
      Submission_Read(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!read.submission) {
    if (read.code.empty() || read.reason.empty()) std::abort();
    return 0;
  }
  const Submission& s = *read.submission;
  if (s.game.size() != 64 || s.record.name.size() > kNameMaxBytes ||
      s.record.ending != tarnix::ReplayEnding::kGameOver) {
    std::abort();
  }
  tarnix::ReplayRecord renamed = s.record;
  renamed.name = renamed.name.empty() ? "x" : "";
  renamed.stamp = "20000101000000000";
  const SubmissionRead again = Submission_Read(tarnix::Replay_Format(renamed));
  if (!again.submission || again.submission->game != s.game) std::abort();
  return 0;
}
