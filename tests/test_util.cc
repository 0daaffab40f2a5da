#include "tests/test_util.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

ScopedWorkDir::ScopedWorkDir() {
  previous_ = fs::current_path().string();
  // A new folder of a random name, made by this test alone (as mkdtemp makes it).
  std::random_device seed;
  std::mt19937_64 random(seed());
  const char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
    std::string name = "workdir_";
    for (int i = 0; i < 10; ++i) name += letters[random() % 36];
    fs::path candidate = fs::temp_directory_path() / name;
    std::error_code error;
    if (fs::create_directory(candidate, error)) path_ = candidate.string();
  }
  if (path_.empty()) throw std::runtime_error("no temporary folder could be made");
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
  std::error_code ignored;
  return fs::exists(fs::symlink_status(path, ignored));
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

#ifdef BUILD_DIR
void InstallPrograms(const std::string& work_dir, const std::string& exe) {
  InstallProgram(work_dir, exe);
  if (exe.starts_with("quillet_")) InstallProgram(work_dir, "pagoran_01_149.exe");
  InstallProgram(work_dir, "wget.exe");
}

void InstallProgram(const std::string& work_dir, const std::string& exe) {
  // Where links cannot be made (Windows), the user's copy instead.
  std::error_code no_link;
  fs::create_symlink(ProgramPath(exe), fs::path(work_dir) / exe, no_link);
  if (no_link) fs::copy_file(ProgramPath(exe), fs::path(work_dir) / exe);
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
