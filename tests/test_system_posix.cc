// What the tests do differently on POSIX systems; programs are started with fork and exec,
// and their pipes read in poll.
#include <fcntl.h>
#include <linux/capability.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>

#include "tests/test_util.h"

namespace fs = std::filesystem;

namespace {

bool g_honour_permissions = false;

// Root passes permission bits through two capabilities; dropped from the bounding set,
// they stay gone across exec.
bool DropPermissionOverrides() {
  return prctl(PR_CAPBSET_DROP, CAP_DAC_OVERRIDE, 0, 0, 0) == 0 &&
         prctl(PR_CAPBSET_DROP, CAP_DAC_READ_SEARCH, 0, 0, 0) == 0;
}

void Drain(int fd, std::string* into, bool* open) {
  char buffer[65536];
  ssize_t got = read(fd, buffer, sizeof buffer);
  if (got > 0) {
    into->append(buffer, static_cast<size_t>(got));
  } else if (got == 0 || errno != EINTR) {
    *open = false;
  }
}

}  // namespace

namespace {

// A signal for the program once its output holds a text.
struct Interruption {
  std::string when_printed;
  int signal = 0;
  bool sent = false;
};

ProgramRun Run(const std::string& program, const std::string& work_dir, const std::string& keys,
               const std::string& epoch, const std::map<std::string, std::string>& extra_env,
               int timeout_seconds, const std::vector<std::string>& argv,
               Interruption* interruption) {
  ProgramRun result;
  int keys_fd = -1, keys_writer = -1;
  if (interruption != nullptr) {
    // A pipe whose writing end stays open: after the keys, the program waits for more.
    int keys_pipe[2];
    if (pipe(keys_pipe) != 0) return result;
    keys_fd = keys_pipe[0];
    keys_writer = keys_pipe[1];
    if (write(keys_writer, keys.data(), keys.size()) != static_cast<ssize_t>(keys.size())) {
      return result;
    }
  } else {
    std::string keys_path = (fs::temp_directory_path() / "keys_XXXXXX").string();
    std::vector<char> name(keys_path.begin(), keys_path.end());
    name.push_back('\0');
    keys_fd = mkstemp(name.data());
    if (keys_fd < 0) return result;
    if (write(keys_fd, keys.data(), keys.size()) != static_cast<ssize_t>(keys.size())) {
      close(keys_fd);
      return result;
    }
    lseek(keys_fd, 0, SEEK_SET);
    unlink(name.data());
  }

  int out_pipe[2], err_pipe[2];
  if (pipe(out_pipe) != 0 || pipe(err_pipe) != 0) return result;
  pid_t child = fork();
  if (child == 0) {
    if (keys_writer >= 0) close(keys_writer);
    dup2(keys_fd, 0);
    dup2(out_pipe[1], 1);
    dup2(err_pipe[1], 2);
    close(out_pipe[0]);
    close(err_pipe[0]);
    if (chdir(work_dir.c_str()) != 0) _exit(126);
    if (epoch.empty()) {
      unsetenv("SOURCE_DATE_EPOCH");
    } else {
      setenv("SOURCE_DATE_EPOCH", epoch.c_str(), 1);
    }
    if (g_honour_permissions && geteuid() == 0 && !DropPermissionOverrides()) _exit(125);
    unsetenv("TMUX");
    unsetenv("DISPLAY");
    for (const auto& [key, value] : extra_env) setenv(key.c_str(), value.c_str(), 1);
    std::string exe_name = program.substr(program.find_last_of('/') + 1);
    std::vector<std::string> args = argv;
    if (args.empty()) args.push_back("./" + exe_name);
    std::string path = !argv.empty() || !PathExists(work_dir + "/" + exe_name) ? program : args[0];
    std::vector<char*> arg_pointers;
    for (std::string& arg : args) arg_pointers.push_back(arg.data());
    arg_pointers.push_back(nullptr);
    execv(path.c_str(), arg_pointers.data());
    _exit(127);
  }
  close(keys_fd);
  close(out_pipe[1]);
  close(err_pipe[1]);
  bool out_open = true, err_open = true;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeout_seconds);
  bool timed_out = false;
  while (out_open || err_open) {
    pollfd fds[2] = {{out_pipe[0], POLLIN, 0}, {err_pipe[0], POLLIN, 0}};
    int left = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                    deadline - std::chrono::steady_clock::now())
                                    .count());
    if (left <= 0) {
      timed_out = true;
      kill(child, SIGKILL);
      break;
    }
    if (poll(fds, 2, left) <= 0) continue;
    if (out_open && (fds[0].revents & (POLLIN | POLLHUP)))
      Drain(out_pipe[0], &result.out, &out_open);
    if (interruption != nullptr && !interruption->sent &&
        result.out.find(interruption->when_printed) != std::string::npos) {
      kill(child, interruption->signal);
      interruption->sent = true;
    }
    if (err_open && (fds[1].revents & (POLLIN | POLLHUP)))
      Drain(err_pipe[0], &result.err, &err_open);
  }
  close(out_pipe[0]);
  close(err_pipe[0]);
  if (keys_writer >= 0) close(keys_writer);
  int status = 0;
  waitpid(child, &status, 0);
  if (timed_out) {
    result.status = -1;
  } else if (WIFEXITED(status)) {
    result.status = WEXITSTATUS(status);
  } else if (WIFSIGNALED(status)) {
    result.status = 128 + WTERMSIG(status);
  }
  return result;
}

}  // namespace

ProgramRun RunProgram(const std::string& program, const std::string& work_dir,
                      const std::string& keys, const std::string& epoch,
                      const std::map<std::string, std::string>& extra_env, int timeout_seconds,
                      const std::vector<std::string>& argv) {
  return Run(program, work_dir, keys, epoch, extra_env, timeout_seconds, argv, nullptr);
}

ProgramRun RunAndInterrupt(const std::string& program, const std::string& work_dir,
                           const std::string& keys, const std::string& when_printed, int signal,
                           const std::map<std::string, std::string>& extra_env) {
  Interruption interruption{when_printed, signal};
  return Run(program, work_dir, keys, "1720343103", extra_env, 60, {}, &interruption);
}

HonouredPermissions::HonouredPermissions() {
  // Whether a child can drop the capabilities: try it in one.
  if (geteuid() != 0) {
    active_ = true;
  } else {
    pid_t child = fork();
    if (child == 0) _exit(DropPermissionOverrides() ? 0 : 1);
    int status = 0;
    active_ = child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) &&
              WEXITSTATUS(status) == 0;
  }
  g_honour_permissions = active_;
}

HonouredPermissions::~HonouredPermissions() { g_honour_permissions = false; }

void SetEnv(const std::string& name, const std::string& value) {
  setenv(name.c_str(), value.c_str(), 1);
}

void UnsetEnv(const std::string& name) { unsetenv(name.c_str()); }

bool MakeLink(const std::string& target, const std::string& link) {
  return symlink(target.c_str(), link.c_str()) == 0;
}

bool MakeFifo(const std::string& path) { return mkfifo(path.c_str(), 0644) == 0; }

bool WritesEverywhere() { return geteuid() == 0; }

int ScriptInput(const std::string& bytes) {
  int fds[2];
  if (pipe(fds) != 0) return -1;
  if (write(fds[1], bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
    close(fds[0]);
    fds[0] = -1;
  }
  close(fds[1]);
  return fds[0];
}

void CloseInput(int fd) { close(fd); }

std::string AppendingEditor() {
  WriteBytes("edit.sh", "#!/bin/sh\nprintf 'edited\\r\\n' >> \"$1\"\n");
  chmod("edit.sh", 0755);
  return (fs::current_path() / "edit.sh").string();
}

bool NamesAreCaseSensitive() { return true; }

bool WaitingRun::Start(const std::string& dir, const std::string& exe) {
  int keys[2], out[2];
  if (pipe(keys) != 0 || pipe(out) != 0) return false;
  pid_t child = fork();
  if (child == 0) {
    dup2(keys[0], 0);
    close(keys[1]);
    dup2(out[1], 1);
    close(out[0]);
    if (chdir(dir.c_str()) != 0) _exit(126);
    std::string argv0 = "./" + exe;
    char* const argv[] = {argv0.data(), nullptr};
    execv(argv0.c_str(), argv);
    _exit(127);
  }
  close(keys[0]);
  close(out[1]);
  process_ = child;
  keys_ = keys[1];
  out_ = out[0];
  // The output must stay open while it runs, or its next line would end it.
  char first_byte;
  return read(out[0], &first_byte, 1) == 1;
}

void WaitingRun::Kill() {
  if (process_ < 0) return;
  kill(static_cast<pid_t>(process_), SIGKILL);
  waitpid(static_cast<pid_t>(process_), nullptr, 0);
  close(static_cast<int>(keys_));
  close(static_cast<int>(out_));
  process_ = -1;
}

bool NamesHoldAnyByte() { return true; }

std::string IdleEditor() { return "true"; }

std::string FailingEditor() { return "false"; }

bool HasPosixTools() { return true; }
