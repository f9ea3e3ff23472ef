// Runs verodero-cli as a child process for the command-line tests.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace vd::test {

struct CliResult {
  int exit_status = -1;  // the exit code, or 128 + signal
  std::string out;
  std::string err;
};

inline std::string cli_program() { return std::string(VERODERO_BINARY_DIR) + "/cli/verodero-cli"; }

class CliProcess {
 public:
  // Starts the program with the arguments (argv[0] added) and the text on its standard input.
  explicit CliProcess(const std::vector<std::string>& args, const std::string& input = {}) {
    int in[2], out[2], err[2];
    if (pipe(in) != 0 || pipe(out) != 0 || pipe(err) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      dup2(in[0], 0);
      dup2(out[1], 1);
      dup2(err[1], 2);
      for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]}) close(fd);
      std::vector<std::string> storage;
      storage.push_back(cli_program());
      storage.insert(storage.end(), args.begin(), args.end());
      std::vector<char*> argv;
      for (std::string& s : storage) argv.push_back(s.data());
      argv.push_back(nullptr);
      execv(argv[0], argv.data());
      _exit(127);
    }
    close(in[0]);
    close(out[1]);
    close(err[1]);
    if (!input.empty()) (void)!write(in[1], input.data(), input.size());
    close(in[1]);
    out_fd_ = out[0];
    err_fd_ = err[0];
  }

  ~CliProcess() {
    if (pid_ > 0 && !finished_) {
      kill(pid_, SIGKILL);
      finish();
    }
  }

  void interrupt() { kill(pid_, SIGINT); }

  // Reads both outputs to their end and waits for the process.
  CliResult finish() {
    std::vector<pollfd> fds = {{out_fd_, POLLIN, 0}, {err_fd_, POLLIN, 0}};
    std::string* sinks[] = {&result_.out, &result_.err};
    int open_count = 2;
    while (open_count > 0) {
      if (poll(fds.data(), fds.size(), 60000) <= 0) break;
      for (std::size_t i = 0; i < fds.size(); ++i) {
        if (fds[i].fd < 0 || fds[i].revents == 0) continue;
        char buffer[4096];
        ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
        if (n <= 0) {
          close(fds[i].fd);
          fds[i].fd = -1;
          --open_count;
        } else {
          sinks[i]->append(buffer, static_cast<std::size_t>(n));
        }
      }
    }
    int status = 0;
    waitpid(pid_, &status, 0);
    finished_ = true;
    result_.exit_status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return result_;
  }

 private:
  pid_t pid_ = -1;
  int out_fd_ = -1;
  int err_fd_ = -1;
  bool finished_ = false;
  CliResult result_;
};

inline CliResult run_cli(const std::vector<std::string>& args, const std::string& input = {}) {
  CliProcess process(args, input);
  return process.finish();
}

}  // namespace vd::test
