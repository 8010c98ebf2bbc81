// Processes a test starts: the game's executable, and a child of the test itself. Neither
// outlives the test.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace tarnix::testing {

// Runs `body` in a forked child, which ends with what it returns; the child's wait status, or
// -1 when it had not ended after a minute (it is killed then).
inline int RunInChild(const std::function<int()>& body) {
  const pid_t pid = fork();
  if (pid == 0) {
    // No core file for a death the test causes on purpose.
    const rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
    _exit(body());
  }
  if (pid < 0) return -1;
  int status = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      return -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return status;
}

// The game's executable run as a player's shell runs it: arguments as bytes (a path need not
// be UTF-8), the environment changed by name, output kept in files of the test's own folder.
// A run still going when the object goes is killed.
class GameProcess {
 public:
  // `env` sets each name to its value, or removes it where the value is nothing. `fd3`, when
  // not negative, is the child's descriptor 3.
  GameProcess(const std::string& program, const std::vector<std::string>& args,
              const std::string& outputFolder,
              const std::map<std::string, std::optional<std::string>>& env = {}, int fd3 = -1)
      : out_(outputFolder + "/stdout"), err_(outputFolder + "/stderr") {
    std::map<std::string, std::string> vars;
    for (char** e = environ; *e != nullptr; ++e) {
      const std::string entry(*e);
      const std::size_t equals = entry.find('=');
      if (equals != std::string::npos) vars[entry.substr(0, equals)] = entry.substr(equals + 1);
    }
    for (const auto& [name, value] : env) {
      if (value) {
        vars[name] = *value;
      } else {
        vars.erase(name);
      }
    }
    std::vector<std::string> envText;
    for (const auto& [name, value] : vars) envText.push_back(name + "=" + value);
    std::vector<std::string> argText{program};
    argText.insert(argText.end(), args.begin(), args.end());
    std::vector<char*> argv, envp;
    for (std::string& a : argText) argv.push_back(a.data());
    argv.push_back(nullptr);
    for (std::string& e : envText) envp.push_back(e.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, err_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd3 >= 0) posix_spawn_file_actions_adddup2(&actions, fd3, 3);
    // Signals as a terminal's shell leaves them, whatever the test runner ignores.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t all;
    sigfillset(&all);
    posix_spawnattr_setsigdefault(&attributes, &all);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    if (posix_spawn(&pid_, program.c_str(), &actions, &attributes, argv.data(), envp.data()) != 0) {
      pid_ = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
  }
  ~GameProcess() {
    if (running()) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, &status_, 0);
    }
  }
  GameProcess(const GameProcess&) = delete;
  GameProcess& operator=(const GameProcess&) = delete;

  bool started() const { return pid_ > 0; }
  bool running() const { return pid_ > 0 && !ended_; }
  void Signal(int signal) const {
    if (running()) ::kill(pid_, signal);
  }
  // True once the run has ended, waiting at most `ms` for it.
  bool Wait(int ms) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (running()) {
      if (::waitpid(pid_, &status_, WNOHANG) == pid_) {
        ended_ = true;
        break;
      }
      if (std::chrono::steady_clock::now() > deadline) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return ended_;
  }
  // The exit status of a run that returned, -1 otherwise.
  int status() const { return ended_ && WIFEXITED(status_) ? WEXITSTATUS(status_) : -1; }
  // The signal that ended the run, 0 when none did.
  int killedBy() const { return ended_ && WIFSIGNALED(status_) ? WTERMSIG(status_) : 0; }
  std::string out() const { return Read(out_); }
  std::string err() const { return Read(err_); }

 private:
  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  std::string out_, err_;
  pid_t pid_ = -1;
  int status_ = 0;
  bool ended_ = false;
};

// An X server of the test's own on a free display, stopped when the object goes; its display
// (":N") is empty when it could not start. -noreset keeps what a client set (a layout) after
// the client leaves.
class OwnXServer {
 public:
  OwnXServer(const std::string& xvfb, const std::string& folder) {
    int number[2];
    if (xvfb.empty() || pipe(number) != 0) return;
    const std::vector<std::string> args{"-displayfd", "3", "-nolisten", "tcp", "-noreset"};
    server_.emplace(xvfb, args, folder, std::map<std::string, std::optional<std::string>>{},
                    number[1]);
    close(number[1]);
    char c = 0;
    while (read(number[0], &c, 1) == 1 && c != '\n') display_ += c;
    close(number[0]);
    if (!display_.empty()) display_ = ":" + display_;
  }
  ~OwnXServer() {
    if (!server_) return;
    server_->Signal(SIGTERM);
    server_->Wait(5000);
  }
  const std::string& display() const { return display_; }

 private:
  std::optional<GameProcess> server_;
  std::string display_;
};

}  // namespace tarnix::testing
