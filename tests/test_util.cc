#include "tests/test_util.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

ScopedWorkDir::ScopedWorkDir() {
  previous_ = fs::current_path().string();
  std::string pattern = (fs::temp_directory_path() / "workdir_XXXXXX").string();
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  if (!mkdtemp(buffer.data())) throw std::runtime_error("mkdtemp failed");
  path_ = buffer.data();
  fs::current_path(path_);
}

ScopedWorkDir::~ScopedWorkDir() {
  std::error_code ignored;
  fs::current_path(previous_, ignored);
  // Folders a test made unwritable must not stop the removal.
  for (auto it = fs::recursive_directory_iterator(path_, ignored);
       it != fs::recursive_directory_iterator(); it.increment(ignored)) {
    if (it->is_directory(ignored) && !it->is_symlink(ignored)) {
      fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    }
  }
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
  fs::remove_all(path_, ignored);
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

bool PathExists(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0;
}

void MakeDirs(const std::string& path) { fs::create_directories(path); }

std::string CrLf(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& line : lines) out += line + "\r\n";
  return out;
}

std::vector<std::string> ListNames(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code ignored;
  for (const auto& entry : fs::directory_iterator(folder, ignored)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::map<std::string, std::string> SnapshotTree(const std::string& folder,
                                                const std::string& skip) {
  std::map<std::string, std::string> entries;
  std::error_code ignored;
  for (auto it = fs::recursive_directory_iterator(folder, ignored);
       it != fs::recursive_directory_iterator(); it.increment(ignored)) {
    std::string name = fs::relative(it->path(), folder).string();
    if (name == skip) {
      it.disable_recursion_pending();
      continue;
    }
    fs::file_status status = it->symlink_status(ignored);
    if (fs::is_symlink(status)) {
      entries[name] = "link to " + fs::read_symlink(it->path(), ignored).string();
    } else if (fs::is_regular_file(status)) {
      entries[name] = ReadBytes(it->path().string());
    } else {
      entries[name] = fs::is_directory(status) ? "folder" : "special";
    }
  }
  return entries;
}

namespace {

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

ProgramRun RunProgram(const std::string& program, const std::string& work_dir,
                      const std::string& keys, const std::string& epoch,
                      const std::map<std::string, std::string>& extra_env, int timeout_seconds,
                      const std::vector<std::string>& argv) {
  ProgramRun result;
  std::string keys_path = (fs::temp_directory_path() / "keys_XXXXXX").string();
  std::vector<char> name(keys_path.begin(), keys_path.end());
  name.push_back('\0');
  int keys_fd = mkstemp(name.data());
  if (keys_fd < 0) return result;
  if (write(keys_fd, keys.data(), keys.size()) != static_cast<ssize_t>(keys.size())) {
    close(keys_fd);
    return result;
  }
  lseek(keys_fd, 0, SEEK_SET);
  unlink(name.data());

  int out_pipe[2], err_pipe[2];
  if (pipe(out_pipe) != 0 || pipe(err_pipe) != 0) return result;
  pid_t child = fork();
  if (child == 0) {
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
    if (err_open && (fds[1].revents & (POLLIN | POLLHUP)))
      Drain(err_pipe[0], &result.err, &err_open);
  }
  close(out_pipe[0]);
  close(err_pipe[0]);
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

#ifdef BUILD_DIR
void InstallPrograms(const std::string& work_dir) {
  for (const char* exe :
       {"pagoran_01_149.exe", "quillet_01_248.exe", "cellorin_083.exe", "wget.exe"}) {
    fs::create_symlink(ProgramPath(exe), fs::path(work_dir) / exe);
  }
}
#endif

std::string Visible(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\r') {
      out += "\\r";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c == '\n') {
      out += "\\n\n";
    } else {
      out += c;
    }
  }
  return out;
}

std::string FirstDifference(const std::string& expected, const std::string& actual) {
  if (expected == actual) return "";
  std::istringstream e(expected), a(actual);
  std::string el, al;
  int line = 0;
  while (true) {
    bool has_e = static_cast<bool>(std::getline(e, el));
    bool has_a = static_cast<bool>(std::getline(a, al));
    ++line;
    if (!has_e && !has_a) return "texts differ only in their last line end";
    if (!has_e || !has_a || el != al) {
      std::ostringstream message;
      message << "first difference at line " << line
              << "\n  expected: " << (has_e ? Visible(el) : "<end of text>")
              << "\n  actual:   " << (has_a ? Visible(al) : "<end of text>");
      return message.str();
    }
  }
}
