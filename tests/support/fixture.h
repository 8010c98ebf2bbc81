// The fixture every game test builds on: a fresh window, the state as before start-up,
// and doubles in every seam.
#pragma once

#include <gtest/gtest.h>

#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <memory>
#include <string>

#include "window/form1.h"
#include "core/module1.h"
#include "support/doubles.h"

namespace tarnix::testing {

class GameTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  Form1Window& form() { return *window_; }

  // A board of empty cells.
  static std::string EmptyBoard() { return std::string(kBoardLength, '0'); }
  // 1-based Board position of row r (0..13) and well column k (0..10).
  static int Pos(int r, int k) { return r * kRowLength + k + 4; }
  static void Put(int r, int k, char digit) { Module1.Board[Pos(r, k) - 1] = digit; }
  static char At(int r, int k) { return Module1.Board[Pos(r, k) - 1]; }

  // Copies the game's seven effects into `folder`, as they lie beside the executable.
  static ::testing::AssertionResult CopySounds(const QString& folder) {
    for (const char* name : {"up", "bomb", "get", "over", "height", "cursor", "select"}) {
      const QString file = QString::fromLatin1(name) + QStringLiteral(".wav");
      if (!QFile::copy(QStringLiteral(TARNIX_SOURCE_DIR "/assets/") + file,
                       folder + QStringLiteral("/") + file)) {
        return ::testing::AssertionFailure() << "could not copy " << file.toStdString();
      }
    }
    return ::testing::AssertionSuccess();
  }

  // The state a game is in right after its start, with an empty well.
  void StartPlaying();

  FakeClock clock;
  SoundRecorder sound;
  MessageRecorder messages;
  LauncherRecorder launcher;
  ScriptedRandom random;
  RecordedEvents events;

 private:
  std::unique_ptr<QTemporaryDir> folder_;
  std::unique_ptr<Form1Window> window_;
};

// A test that begins on the title at the normal wait, as a player's first game does.
class TitleGameTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    Module1.GamePhase = kTitle;
    Module1.KeyFlags = "000000";
    Module1.WaitMs = 50;
  }
};

}  // namespace tarnix::testing
