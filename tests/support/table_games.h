// Games played through the doors for the tests of the replays and their files: started from
// the title with Enter, ended quickly by a row rising on every pass.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "core/module1.h"
#include "scores/scores.h"
#include "shell/shell.h"
#include "window/form1.h"

namespace tarnix::testing {

inline void StartFromTitle() {
  Module1.GamePhase = kTitle;
  Module1.MenuCursor = 0;
  Picture1_KeyDown(13, 0);
  Picture1_KeyUp(13, 0);
}

// A game that ends with `score`; when it enters the table, `name` is typed into the name box.
inline ::testing::AssertionResult PlayToTheEnd(Long score, const std::string& name = "") {
  StartFromTitle();
  Module1.Score = score;
  for (int pass = 0; pass < 400 && Module1.GamePhase == kPlaying; ++pass) {
    Picture1_KeyDown(32, 0);
    Main_Prog();
  }
  if (Module1.GamePhase == kGameOverView) return ::testing::AssertionSuccess();
  if (Module1.GamePhase != kNameEntry) {
    return ::testing::AssertionFailure() << "the game did not end: phase " << Module1.GamePhase;
  }
  Form1->Text1.SetText(name);
  Text1_KeyDown(13, 0);
  return ::testing::AssertionSuccess();
}

inline std::string FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void PutBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

}  // namespace tarnix::testing
