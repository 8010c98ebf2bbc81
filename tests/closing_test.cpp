// The command line, the start without a display, and the desktop's signals to end the game.
#include <gtest/gtest.h>

#include <QFile>
#include <QMessageBox>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <csignal>

#include "files/files.h"
#include "scores/scores.h"
#include "files/options.h"
#include "shell/shell.h"
#include "shell/signals.h"
#include "support/fixture.h"

namespace tarnix::testing {
namespace {

struct GameRun {
  int status = -1;
  QString out, err;
};

// The game's executable, run with `env` in place of the test's display settings.
GameRun RunGame(const QStringList& args, const QProcessEnvironment& env) {
  QProcess game;
  game.setProcessEnvironment(env);
  game.start(QStringLiteral(TARNIX_GAME_DIR "/tarnix"), args);
  GameRun run;
  if (!game.waitForFinished(20000)) {
    game.kill();
    game.waitForFinished();
    return run;
  }
  if (game.exitStatus() == QProcess::NormalExit) run.status = game.exitCode();
  run.out = QString::fromLocal8Bit(game.readAllStandardOutput());
  run.err = QString::fromLocal8Bit(game.readAllStandardError());
  return run;
}

QProcessEnvironment Offscreen() {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  return env;
}

TEST(CommandLine, HelpVersionAndBadOptions) {
  const GameRun help = RunGame({QStringLiteral("--help")}, Offscreen());
  EXPECT_EQ(help.status, 0);
  EXPECT_TRUE(help.out.startsWith(QStringLiteral("Usage: tarnix [options]\n"))) << help.out.toStdString();
  for (const char* option : {"--version", "--fullscreen", "--windowed", "--scale N"}) {
    EXPECT_TRUE(help.out.contains(QLatin1String(option))) << option;
  }
  const GameRun version = RunGame({QStringLiteral("--version")}, Offscreen());
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, QStringLiteral("Tarnix Ver1.01\n"));

  const QList<QStringList> bad = {{QStringLiteral("--bogus")},
                                  {QStringLiteral("--scale"), QStringLiteral("5")},
                                  {QStringLiteral("--scale=x")},
                                  {QStringLiteral("--scale")},
                                  {QStringLiteral("stray")}};
  for (const QStringList& args : bad) {
    const GameRun run = RunGame(args, Offscreen());
    EXPECT_EQ(run.status, 2) << args.join(u' ').toStdString();
    const QStringList lines = run.err.split(u'\n');
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("tarnix: "))) << run.err.toStdString();
    EXPECT_EQ(lines.value(1), QStringLiteral("Usage: tarnix [options]")) << "then the usage";
    EXPECT_TRUE(run.out.isEmpty());
  }
}

TEST(CommandLine, NoDisplayIsOneLineAndStatusOne) {
  QProcessEnvironment none = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    none.remove(QLatin1String(name));
  }
  const GameRun run = RunGame({}, none);
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(run.err.startsWith(QStringLiteral("tarnix: no usable display")));
  EXPECT_EQ(run.err.count(u'\n'), 1) << run.err.toStdString();

  // A display named but not there: the platform plugin fails, and still no abort.
  none.insert(QStringLiteral("DISPLAY"), QStringLiteral(":97"));
  none.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
  const GameRun gone = RunGame({}, none);
  EXPECT_EQ(gone.status, 1) << gone.err.toStdString();
  EXPECT_TRUE(gone.err.contains(QStringLiteral("tarnix: no usable display")));
  EXPECT_FALSE(gone.err.contains(QStringLiteral("Reinstalling")));
}

TEST(Signals, SigtermClosesTheRealGameAsItsQuitItemDoes) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  const QString game = folder.filePath(QStringLiteral("tarnix"));
  ASSERT_TRUE(QFile::copy(QStringLiteral(TARNIX_GAME_DIR "/tarnix"), game));
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
    QFile::remove(folder.filePath(QStringLiteral("Tarnix.ini")));
    QProcess process;
    process.setProcessEnvironment(Offscreen());
    process.start(game, {});
    ASSERT_TRUE(process.waitForStarted());
    QTest::qWait(2000);
    ::kill(static_cast<pid_t>(process.processId()), signal);
    ASSERT_TRUE(process.waitForFinished(20000)) << "signal " << signal << " ended nothing";
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit) << "signal " << signal;
    EXPECT_EQ(process.exitCode(), 0);
    EXPECT_TRUE(QFile::exists(folder.filePath(QStringLiteral("Tarnix.ini"))));
    EXPECT_TRUE(QFile::exists(folder.filePath(QStringLiteral("tarnix.conf"))));
  }
}

class SignalsInGameTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    ASSERT_TRUE(dir_.isValid());
    Module1.AppPath = dir_.path().toStdString() + "/";
    Settings_Load();
    form().MarkLoaded();
    Signals_Install();
  }
  void TearDown() override {
    Signals_Uninstall();
    GameTest::TearDown();
  }
  QByteArray SavedTable() {
    QFile file(dir_.filePath(QStringLiteral("Tarnix.ini")));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }
  QTemporaryDir dir_;
};

TEST_F(SignalsInGameTest, DuringNameEntryTheTableIsSaved) {
  StartPlaying();
  Module1.Score = 4321;
  std::string row = std::string(kRowLength, '1');
  Game_Over(row);
  ASSERT_EQ(Module1.GamePhase, kNameEntry);
  ::raise(SIGTERM);
  EXPECT_TRUE(QTest::qWaitFor([] { return Form1->Unloaded(); }, 5000)) << "the quit item's path";
  EXPECT_TRUE(SavedTable().contains("4321")) << "the score just reached is kept";
}

TEST_F(SignalsInGameTest, OverAnOpenMessageBox) {
  StartPlaying();
  QTimer::singleShot(100, [] { ::raise(SIGTERM); });
  QMessageBox box(&form());
  box.setText(QStringLiteral("open"));
  box.exec();  // returns only when something closes it
  EXPECT_TRUE(QTest::qWaitFor([] { return Form1->Unloaded(); }, 5000));
  EXPECT_FALSE(SavedTable().isEmpty());
}

}  // namespace
}  // namespace tarnix::testing
