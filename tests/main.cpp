#include <QApplication>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

#include <gtest/gtest.h>

int main(int argc, char* argv[]) {
  // Nothing here needs a display.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // The player's own folders are never the suite's: whatever a test writes without a folder
  // of its own lands in a home made for this run, gone when it ends.
  QTemporaryDir home;
  if (!home.isValid()) {
    std::fprintf(stderr, "tarnix_tests: no temporary folder for the suite's home\n");
    return 1;
  }
  const QByteArray path = home.path().toUtf8();
  qputenv("HOME", path);
  qputenv("XDG_CONFIG_HOME", path + "/.config");
  qputenv("XDG_DATA_HOME", path + "/.local/share");
  qputenv("XDG_CACHE_HOME", path + "/.cache");
  // And the runtime folder the suite's own child games fall back to, owner-only as it must be.
  QDir().mkpath(home.path() + QStringLiteral("/.runtime"));
  QFile::setPermissions(home.path() + QStringLiteral("/.runtime"),
                        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  qputenv("XDG_RUNTIME_DIR", path + "/.runtime");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
