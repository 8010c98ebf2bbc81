#include "board_process.h"

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QThread>

#include <fstream>

namespace tarnix::board::testing {

int FreeLoopbackPort() {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof a;
  int port = 0;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) == 0) {
    port = ntohs(a.sin_port);
  }
  ::close(fd);
  return port;
}

QProcessEnvironment HomeIn(QProcessEnvironment env, const QString& folder) {
  env.insert(QStringLiteral("HOME"), folder);
  env.insert(QStringLiteral("XDG_CONFIG_HOME"), folder + QStringLiteral("/.config"));
  env.insert(QStringLiteral("XDG_CACHE_HOME"), folder + QStringLiteral("/.cache"));
  env.insert(QStringLiteral("XDG_DATA_HOME"), folder + QStringLiteral("/.local/share"));
  return env;
}

std::string BoardProcess::Start(const std::string& database, const QStringList& extra,
                                const QProcessEnvironment& env) {
  Stop();
  process_ = std::make_unique<QProcess>();
  process_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
  process_->setProcessEnvironment(HomeIn(env, home_.path()));
  QStringList args = {QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--database"),
                      QString::fromStdString(database), QStringLiteral("--rate"),
                      QStringLiteral("0")};
  args << extra;
  process_->start(QStringLiteral(TARNIX_BOARD), args);
  QByteArray out;
  while (!out.contains('\n') && process_->waitForReadyRead(60000)) out += process_->readAll();
  const QRegularExpressionMatch m =
      QRegularExpression(QStringLiteral("127\\.0\\.0\\.1:(\\d+)/")).match(QString::fromUtf8(out));
  if (!m.hasMatch()) {
    process_->kill();
    process_->waitForFinished();
    return "the server did not start: " + out.toStdString();
  }
  port_ = m.captured(1).toInt();
  return {};
}

void BoardProcess::Stop() {
  if (!process_) return;
  if (process_->state() != QProcess::NotRunning) {
    process_->terminate();
    if (!process_->waitForFinished(30000)) {
      process_->kill();
      process_->waitForFinished();
    }
  }
  process_.reset();
}

void BoardProcess::Kill() {
  if (!process_) return;
  process_->kill();
  process_->waitForFinished();
  process_.reset();
}

std::vector<int> BoardProcess::Workers() const {
  std::vector<int> pids;
  const std::string p = std::to_string(pid());
  std::ifstream children("/proc/" + p + "/task/" + p + "/children");
  for (int c; children >> c;) pids.push_back(c);
  return pids;
}

bool Ended(int pid, int ms) {
  for (int waited = 0;; waited += 20) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line)) return true;
    const std::size_t close = line.rfind(')');
    if (close != std::string::npos && close + 2 < line.size() && line[close + 2] == 'Z') return true;
    if (waited >= ms) return false;
    QThread::msleep(20);
  }
}

std::unique_ptr<httplib::Client> BoardProcess::Client() const {
  auto c = std::make_unique<httplib::Client>("127.0.0.1", port_);
  c->set_read_timeout(300, 0);
  c->set_connection_timeout(10, 0);
  return c;
}

PostgresCluster& PostgresCluster::Get() {
  static PostgresCluster cluster;
  return cluster;
}

namespace {

// Runs `program` as the cluster's owner: initdb and postgres refuse root, so root hands
// them to nobody.
bool Run(const QString& program, QStringList args, const QString& folder, std::string& output) {
  QProcess p;
  p.setWorkingDirectory(folder);
  p.setProcessChannelMode(QProcess::MergedChannels);
  QString command = program;
  if (::geteuid() == 0) {
    args.prepend(program);
    args.prepend(QStringLiteral("--"));
    args.prepend(QStringLiteral("nobody"));
    args.prepend(QStringLiteral("-u"));
    command = QStringLiteral("runuser");
  }
  p.start(command, args);
  const bool ok = p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit &&
                  p.exitCode() == 0;
  output = p.readAll().toStdString();
  return ok;
}

}  // namespace

bool PostgresCluster::Start(std::string& why) {
  const QStringList versions =
      QDir(QStringLiteral("/usr/lib/postgresql")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
  for (const QString& v : versions) {
    if (QFile::exists(QStringLiteral("/usr/lib/postgresql/%1/bin/initdb").arg(v))) {
      bin_ = QStringLiteral("/usr/lib/postgresql/%1/bin/").arg(v).toStdString();
    }
  }
  if (bin_.empty()) {
    why = "PostgreSQL's server is not installed (scripts/setup.sh --test installs postgresql)";
    return false;
  }
  folder_ = std::make_unique<QTemporaryDir>();
  QFile::setPermissions(folder_->path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                             QFileDevice::ExeOwner | QFileDevice::ExeOther |
                                             QFileDevice::ReadOther);
  data_ = folder_->path() + QStringLiteral("/pg");
  QDir().mkpath(data_);
  if (::geteuid() == 0) {
    QProcess::execute(QStringLiteral("chown"), {QStringLiteral("nobody"), data_});
  }
  port_ = FreeLoopbackPort();
  const QString bin = QString::fromStdString(bin_);
  std::string out;
  if (!Run(bin + QStringLiteral("initdb"),
           {QStringLiteral("-D"), data_, QStringLiteral("-U"), QStringLiteral("tarnix"),
            QStringLiteral("--auth=trust"), QStringLiteral("-E"), QStringLiteral("UTF8"),
            QStringLiteral("--no-sync")},
           data_, out)) {
    why = "initdb failed: " + out;
    return false;
  }
  const QString options =
      QStringLiteral("-h 127.0.0.1 -p %1 -k %2 -F").arg(port_).arg(data_);
  if (!Run(bin + QStringLiteral("pg_ctl"),
           {QStringLiteral("-D"), data_, QStringLiteral("-o"), options, QStringLiteral("-l"),
            data_ + QStringLiteral("/log"), QStringLiteral("-w"), QStringLiteral("start")},
           data_, out)) {
    why = "pg_ctl start failed: " + out;
    return false;
  }
  started_ = true;
  return true;
}

std::string PostgresCluster::NewDatabaseUrl(std::string& why) {
  if (!started_ && failure_.empty() && !Start(failure_)) Stop();
  if (!started_) {
    why = failure_;
    return {};
  }
  const std::string name = "board" + std::to_string(++databases_);
  std::string out;
  if (!Run(QString::fromStdString(bin_) + QStringLiteral("createdb"),
           {QStringLiteral("-h"), QStringLiteral("127.0.0.1"), QStringLiteral("-p"),
            QString::number(port_), QStringLiteral("-U"), QStringLiteral("tarnix"),
            QString::fromStdString(name)},
           data_, out)) {
    why = "createdb failed: " + out;
    return {};
  }
  return "postgresql://tarnix@127.0.0.1:" + std::to_string(port_) + "/" + name;
}

void PostgresCluster::Stop() {
  if (started_) {
    std::string out;
    Run(QString::fromStdString(bin_) + QStringLiteral("pg_ctl"),
        {QStringLiteral("-D"), data_, QStringLiteral("-m"), QStringLiteral("immediate"),
         QStringLiteral("-w"), QStringLiteral("stop")},
        data_, out);
    started_ = false;
  }
  folder_.reset();
}

}  // namespace tarnix::board::testing
