// The real tarnix-board, started on a free loopback port for a test, and a throwaway
// PostgreSQL cluster for the suite against PostgreSQL.
#pragma once

#include <httplib.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>
#include <string>
#include <vector>

namespace tarnix::board::testing {

class BoardProcess {
 public:
  ~BoardProcess() { Stop(); }
  // Empty when the server came up; what went wrong otherwise.
  std::string Start(const std::string& database, const QStringList& extra = {},
                    const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment());
  // SIGTERM, as systemd stops it.
  void Stop();
  // SIGKILL, as a power cut or the OOM killer would.
  void Kill();
  int port() const { return port_; }
  int pid() const { return process_ ? static_cast<int>(process_->processId()) : 0; }
  // The server's re-play workers.
  std::vector<int> Workers() const;
  std::unique_ptr<httplib::Client> Client() const;

 private:
  std::unique_ptr<QProcess> process_;
  QTemporaryDir home_;  // whatever the server's libraries keep for a user goes here
  int port_ = 0;
};

class PostgresCluster {
 public:
  static PostgresCluster& Get();
  // Starts the cluster on first use; empty and `why` set when this machine cannot.
  std::string NewDatabaseUrl(std::string& why);
  void Stop();

 private:
  bool Start(std::string& why);
  bool started_ = false;
  std::string failure_;
  std::string bin_;
  std::unique_ptr<QTemporaryDir> folder_;
  QString data_;
  int port_ = 0;
  int databases_ = 0;
};

int FreeLoopbackPort();
// `env` with the user's folders moved into `folder`.
QProcessEnvironment HomeIn(QProcessEnvironment env, const QString& folder);
// True once `pid` has ended (or waits only to be reaped), within `ms`.
bool Ended(int pid, int ms);

}  // namespace tarnix::board::testing
