#include "common/platform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <vector>

#include "tests/test_util.h"

namespace {

using platform::FileInfo;

// Every call that looks at a name answers alike on every system: the kind, or the errno
// value for what is not there or cannot be read.
TEST(PlatformSeam, KindsAndErrorsOfNames) {
  ScopedWorkDir dir;
  WriteBytes("file.txt", "abc");
  MakeDirs("folder");
  bool links = MakeLink("file.txt", "link.txt") && MakeLink("gone.txt", "dangling.txt");
  struct Case {
    const char* name;
    bool is_link;
    int status_error;         // Status, following links
    FileInfo::Kind followed;  // its kind then
    FileInfo::Kind itself;    // Status without following, and Folder::StatName
    FileInfo::Kind listed;    // ListFolderNames with kinds
    int read_error;           // OpenForReading
  };
  const Case cases[] = {
      {"file.txt", false, 0, FileInfo::kFile, FileInfo::kFile, FileInfo::kFile, 0},
      {"folder", false, 0, FileInfo::kFolder, FileInfo::kFolder, FileInfo::kFolder, EISDIR},
      {"missing.txt", false, ENOENT, FileInfo::kOther, FileInfo::kOther, FileInfo::kOther, ENOENT},
      {"link.txt", true, 0, FileInfo::kFile, FileInfo::kLink, FileInfo::kFile, 0},
      {"dangling.txt", true, ENOENT, FileInfo::kOther, FileInfo::kLink, FileInfo::kOther, ENOENT},
  };
  std::vector<std::pair<std::string, FileInfo::Kind>> listing;
  ASSERT_EQ(0, platform::ListFolderNames(".", 1, [&](std::string name, const FileInfo& info) {
              listing.emplace_back(std::move(name), info.kind);
            }));
  platform::Folder here;
  ASSERT_EQ(0, here.Open("."));
  for (const Case& c : cases) {
    if (c.is_link && !links) continue;
    SCOPED_TRACE(c.name);
    FileInfo info;
    EXPECT_EQ(c.status_error, platform::Status(c.name, true, &info));
    if (c.status_error == 0) {
      EXPECT_EQ(c.followed, info.kind);
    }
    bool exists = c.status_error == 0 || c.is_link;
    EXPECT_EQ(exists ? 0 : ENOENT, platform::Status(c.name, false, &info));
    if (exists) {
      EXPECT_EQ(c.itself, info.kind);
    }
    EXPECT_EQ(exists ? 0 : ENOENT, here.StatName(c.name, &info));
    if (exists) {
      EXPECT_EQ(c.itself, info.kind);
    }
    auto found = std::find_if(listing.begin(), listing.end(),
                              [&](const auto& entry) { return entry.first == c.name; });
    EXPECT_EQ(exists, found != listing.end());
    if (found != listing.end()) {
      EXPECT_EQ(c.listed, found->second);
    }
    int fd = -1;
    EXPECT_EQ(c.read_error, platform::OpenForReading(c.name, &fd, &info));
    if (c.read_error == 0) {
      EXPECT_EQ(FileInfo::kFile, info.kind);
      EXPECT_EQ(3, info.size);
      EXPECT_EQ(0, platform::Close(fd));
    }
  }
  EXPECT_EQ(ENOENT, platform::ListFolderNames("missing", 0, [](std::string, const FileInfo&) {}));
  EXPECT_EQ(ENOTDIR, platform::ListFolderNames("file.txt", 0, [](std::string, const FileInfo&) {}));
}

TEST(PlatformSeam, FolderOperationsReportErrnoValues) {
  ScopedWorkDir dir;
  WriteBytes("file.txt", "abc");
  MakeDirs("folder/inner");
  struct OpenCase {
    const char* path;
    int error;
  };
  for (const OpenCase& c : {OpenCase{"folder/inner", 0}, OpenCase{"folder/../folder", EXDEV},
                            OpenCase{"missing", ENOENT}, OpenCase{"file.txt", ENOTDIR}}) {
    platform::Folder folder;
    EXPECT_EQ(c.error, folder.Open(c.path)) << c.path;
  }
  platform::Folder here, inner;
  ASSERT_EQ(0, here.Open("."));
  ASSERT_EQ(0, inner.Open("folder/inner"));
  int fd = -1;
  EXPECT_EQ(EEXIST, platform::OpenForWriting(here, "file.txt", false, 0666, true, &fd));
  EXPECT_EQ(ENOENT, platform::RemoveName(here, "missing.txt"));
  EXPECT_EQ(EISDIR, platform::RemoveName(here, "folder"));
  EXPECT_EQ(EEXIST, platform::MakeFolderName(here, "folder"));
  EXPECT_EQ(ENOENT, platform::RenameName(here, "missing.txt", inner, "x.txt"));
  EXPECT_EQ(0, platform::RenameName(here, "file.txt", inner, "moved.txt"));
  EXPECT_EQ("abc", ReadBytes("folder/inner/moved.txt"));
  if (MakeLink("inner", "folder/link")) {
    platform::Folder through_link;
    EXPECT_EQ(ELOOP, through_link.Open("folder/link"));
    EXPECT_EQ(ELOOP, platform::OpenForWriting(here, "folder/link", false, 0666, false, &fd));
  }
}

// A descriptor reads and writes with counts, 0 at the end, and ReadAt leaves the position.
TEST(PlatformSeam, DescriptorsCountBytes) {
  ScopedWorkDir dir;
  platform::Folder here;
  ASSERT_EQ(0, here.Open("."));
  int out = -1;
  ASSERT_EQ(0, platform::OpenForWriting(here, "new.txt", false, 0666, true, &out));
  size_t put = 0;
  EXPECT_EQ(0, platform::Write(out, "hello", 5, &put));
  EXPECT_EQ(5u, put);
  EXPECT_EQ(0, platform::Close(out));
  int in = -1;
  FileInfo info;
  ASSERT_EQ(0, platform::OpenForReading("new.txt", &in, &info));
  char bytes[8] = {};
  size_t got = 0;
  EXPECT_EQ(0, platform::ReadAt(in, bytes, 3, 2, &got));
  EXPECT_EQ("llo", std::string(bytes, got));
  EXPECT_EQ(0, platform::Read(in, bytes, sizeof bytes, &got));
  EXPECT_EQ("hello", std::string(bytes, got));
  EXPECT_EQ(0, platform::Read(in, bytes, sizeof bytes, &got));
  EXPECT_EQ(0u, got);
  EXPECT_EQ(0, platform::Close(in));
}

// What a program that ran means, whatever it ended with; the status shells give a command
// they could not run, and an end from outside, are failures to run it.
TEST(PlatformSeam, RunAndWaitAnswers) {
  struct Case {
    std::vector<std::string> argv;
    int error;
  };
#ifdef _WIN32
  const Case cases[] = {
      {{"cmd.exe", "/c", "exit 0"}, 0},
      {{"cmd.exe", "/c", "exit 3"}, 0},
      {{"cmd.exe", "/c", "exit 127"}, ENOENT},
      {{"cmd.exe", "/c", "exit -1073741510"}, EINTR},  // STATUS_CONTROL_C_EXIT
      {{"Z:\\nonexistent\\editor.exe"}, ENOENT},
  };
#else
  const Case cases[] = {
      {{"sh", "-c", "exit 0"}, 0},        {{"sh", "-c", "exit 3"}, 0},
      {{"sh", "-c", "exit 127"}, ENOENT}, {{"sh", "-c", "kill -KILL $$"}, EINTR},
      {{"/nonexistent/editor"}, ENOENT},
  };
#endif
  for (const Case& c : cases) {
    EXPECT_EQ(c.error, platform::RunAndWait(c.argv)) << c.argv.back();
  }
}

TEST(PlatformSeam, PathsOfTheCurrentFolder) {
  ScopedWorkDir dir;
  std::string here = platform::CurrentFolder();
  for (char& c : here) {
    if (c == '\\') c = '/';
  }
  if (here.size() > 1 && here.back() == '/') here.pop_back();
  EXPECT_EQ(here, platform::AbsolutePath("."));
  EXPECT_EQ(here + "/a/b.txt", platform::AbsolutePath("a/b.txt"));
  WriteBytes("prog.exe", "");
  MakeDirs("sub");
  WriteBytes("sub/prog.exe", "");
  struct Case {
    std::string started;
    bool here;
  };
  const Case cases[] = {{"./prog.exe", true},
                        {here + "/prog.exe", true},
                        {"sub/prog.exe", false},
                        {"./missing.exe", false},
                        {"prog.exe", false},
                        {"./sub", false},
                        {here + "/sub/../prog.exe", true}};
  for (const Case& c : cases) {
    EXPECT_EQ(c.here, platform::StartedInCurrentFolder(c.started)) << c.started;
  }
}

TEST(PlatformSeam, OneRunLockPerFolder) {
  ScopedWorkDir dir;
  long long held = 0, again = 0;
  ASSERT_EQ(0, platform::LockFolder(".", &held));
  EXPECT_EQ(EBUSY, platform::LockFolder(".", &again));
  platform::ReleaseFolderLock(held);
  EXPECT_EQ(0, platform::LockFolder(".", &again));
  platform::ReleaseFolderLock(again);
  EXPECT_EQ(ENOENT, platform::LockFolder("missing", &again));
}

}  // namespace
