#include "common/work_dir.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <unordered_map>

#include "common/text.h"

namespace {

constexpr size_t kWriteBuffer = 1 << 16;

// Case-blind lookups list a folder; the listing is kept per folder and trusted while the
// folder's modification time is unchanged. The program's own creations and deletions update
// the kept listing, so writing thousands of new files does not list the folder each time.
struct FolderCache {
  timespec mtime{};
  std::unordered_map<std::string, std::string> by_lower_name;
};
std::map<std::string, FolderCache>& Caches() {
  static std::map<std::string, FolderCache> caches;
  return caches;
}

bool SameTime(const timespec& a, const timespec& b) {
  return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

FolderCache* CacheFor(const std::string& folder_path) {
  struct stat st;
  if (stat(folder_path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return nullptr;
  FolderCache& cache = Caches()[folder_path];
  if (SameTime(cache.mtime, st.st_mtim) && !(cache.mtime.tv_sec == 0 && cache.mtime.tv_nsec == 0))
    return &cache;
  cache.by_lower_name.clear();
  cache.mtime = st.st_mtim;
  DIR* dir = opendir(folder_path.c_str());
  if (!dir) return &cache;
  while (dirent* entry = readdir(dir)) {
    std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    // Where two names differ only in case, the first in byte order answers.
    auto [it, inserted] = cache.by_lower_name.emplace(LowerAscii(name), name);
    if (!inserted && name < it->second) it->second = name;
  }
  closedir(dir);
  return &cache;
}

// Keeps the folder's listing current after the program itself added or removed `name`.
void NoteChange(const std::string& folder_path, const std::string& name, bool added) {
  auto it = Caches().find(folder_path);
  if (it == Caches().end()) return;
  struct stat st;
  if (stat(folder_path.c_str(), &st) != 0) {
    Caches().erase(it);
    return;
  }
  std::string lower = LowerAscii(name);
  if (added) {
    it->second.by_lower_name.emplace(lower, name);
  } else {
    auto found = it->second.by_lower_name.find(lower);
    if (found != it->second.by_lower_name.end() && found->second == name)
      it->second.by_lower_name.erase(found);
  }
  it->second.mtime = st.st_mtim;
}

// The actual name in `folder_path` for `name`: itself when it exists, else a case-blind
// match, else empty.
std::string FindInFolder(const std::string& folder_path, const std::string& name) {
  std::string exact = folder_path + "/" + name;
  struct stat st;
  if (lstat(exact.c_str(), &st) == 0) return name;
  FolderCache* cache = CacheFor(folder_path);
  if (!cache) return "";
  auto it = cache->by_lower_name.find(LowerAscii(name));
  if (it == cache->by_lower_name.end()) return "";
  // The kept listing may be stale for names removed behind our back.
  if (lstat((folder_path + "/" + it->second).c_str(), &st) != 0) {
    cache->mtime = timespec{};
    return "";
  }
  return it->second;
}

// Splits a name into components, refusing absolute names and climbs out of the work
// directory.
bool SplitComponents(std::string_view name, std::vector<std::string>* parts) {
  if (name.find('\0') != std::string_view::npos) return false;
  std::string text(name);
  for (char& c : text) {
    if (c == '\\') c = '/';
  }
  if (!text.empty() && text[0] == '/') return false;
  if (text.size() >= 2 && text[1] == ':') return false;  // a drive letter
  size_t pos = 0;
  while (pos <= text.size()) {
    size_t slash = text.find('/', pos);
    if (slash == std::string::npos) slash = text.size();
    std::string part = text.substr(pos, slash - pos);
    pos = slash + 1;
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (parts->empty()) return false;
      parts->pop_back();
      continue;
    }
    parts->push_back(part);
  }
  return true;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  return folder == "." ? name : folder + "/" + name;
}

bool ResolveParts(const std::vector<std::string>& parts, bool for_create, std::string* path,
                  std::string* folder_path, std::string* last) {
  std::string current = ".";
  for (size_t i = 0; i < parts.size(); ++i) {
    std::string found = FindInFolder(current, parts[i]);
    bool is_last = i + 1 == parts.size();
    if (found.empty()) {
      if (!(is_last && for_create)) return false;
      found = parts[i];
    }
    if (is_last) {
      if (folder_path) *folder_path = current;
      if (last) *last = found;
    }
    current = JoinPath(current, found);
  }
  *path = current;
  return true;
}

}  // namespace

bool ResolveWorkPath(std::string_view name, bool for_create, std::string* path) {
  std::vector<std::string> parts;
  if (!SplitComponents(name, &parts)) return false;
  return ResolveParts(parts, for_create, path, nullptr, nullptr);
}

void SplitFolderAndName(std::string_view name, std::string* folder, std::string* base) {
  size_t cut = name.find_last_of("\\/");
  if (cut == std::string_view::npos) {
    folder->clear();
    *base = std::string(name);
  } else {
    *folder = std::string(name.substr(0, cut));
    *base = std::string(name.substr(cut + 1));
  }
}

namespace {

// Resolves a name for writing, remembering where it lands so the listing can be kept.
bool ResolveForWrite(std::string_view name, std::string* path, std::string* folder_path,
                     std::string* last) {
  std::vector<std::string> parts;
  if (!SplitComponents(name, &parts) || parts.empty()) return false;
  return ResolveParts(parts, true, path, folder_path, last);
}

bool IsKind(std::string_view name, bool folder) {
  std::string path;
  if (!ResolveWorkPath(name, false, &path)) return false;
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return false;
  return folder ? S_ISDIR(st.st_mode) : S_ISREG(st.st_mode);
}

}  // namespace

bool FileExists(std::string_view name) { return IsKind(name, false); }
bool FolderExists(std::string_view name) { return IsKind(name, true); }

bool DeleteWorkFile(std::string_view name) {
  std::vector<std::string> parts;
  std::string path, folder_path, last;
  if (!SplitComponents(name, &parts) || parts.empty()) return false;
  if (!ResolveParts(parts, false, &path, &folder_path, &last)) return false;
  struct stat st;
  if (lstat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
  if (unlink(path.c_str()) != 0) return false;
  NoteChange(folder_path, last, false);
  return true;
}

bool MakeFolder(std::string_view name) {
  std::string path, folder_path, last;
  if (!ResolveForWrite(name, &path, &folder_path, &last)) return false;
  if (mkdir(path.c_str(), 0777) != 0) return errno == EEXIST && FolderExists(name);
  NoteChange(folder_path, last, true);
  return true;
}

bool RemoveFolder(std::string_view name) {
  std::vector<std::string> parts;
  std::string path, folder_path, last;
  if (!SplitComponents(name, &parts) || parts.empty()) return false;
  if (!ResolveParts(parts, false, &path, &folder_path, &last)) return false;
  if (rmdir(path.c_str()) != 0) return false;
  NoteChange(folder_path, last, false);
  Caches().erase(path);
  return true;
}

bool CopyWorkFile(std::string_view source, std::string_view target) {
  std::string from;
  if (!ResolveWorkPath(source, false, &from)) return false;
  int in = open(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return false;
  struct stat st;
  if (fstat(in, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(in);
    return false;
  }
  std::string to, folder_path, last;
  if (!ResolveForWrite(target, &to, &folder_path, &last)) {
    close(in);
    return false;
  }
  struct stat target_st;
  if (stat(to.c_str(), &target_st) == 0 && target_st.st_dev == st.st_dev &&
      target_st.st_ino == st.st_ino) {
    close(in);
    return true;  // copying a file onto itself changes nothing
  }
  // Executables stay executable, as a copied program must start.
  int out = open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, st.st_mode & 0777);
  if (out < 0) {
    close(in);
    return false;
  }
  NoteChange(folder_path, last, true);
  // The kernel copies without passing the bytes through this process where it can.
  bool ok = true;
  while (true) {
    ssize_t put = copy_file_range(in, nullptr, out, nullptr, 1 << 30, 0);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) {
      if (put == 0) {
        close(in);
        return close(out) == 0;
      }
      break;  // not supported here: copy through a buffer
    }
  }
  std::vector<char> buffer(1 << 16);
  while (true) {
    ssize_t got = read(in, buffer.data(), buffer.size());
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      ok = got == 0;
      break;
    }
    for (ssize_t done = 0; done < got;) {
      ssize_t put = write(out, buffer.data() + done, static_cast<size_t>(got - done));
      if (put < 0 && errno == EINTR) continue;
      if (put <= 0) {
        ok = false;
        break;
      }
      done += put;
    }
    if (!ok) break;
  }
  close(in);
  if (close(out) != 0) ok = false;
  return ok;
}

namespace {

// A regular file to be renamed or linked, and the name it gets.
struct FileMove {
  std::string from, from_folder, from_last;
  std::string to, to_folder, to_last;
};

bool ResolveMove(std::string_view source, std::string_view target, FileMove* move) {
  std::vector<std::string> parts;
  if (!SplitComponents(source, &parts) || parts.empty()) return false;
  if (!ResolveParts(parts, false, &move->from, &move->from_folder, &move->from_last)) {
    return false;
  }
  struct stat st;
  if (lstat(move->from.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  return ResolveForWrite(target, &move->to, &move->to_folder, &move->to_last);
}

}  // namespace

bool MoveWorkFile(std::string_view source, std::string_view target) {
  FileMove move;
  if (!ResolveMove(source, target, &move)) return false;
  if (move.from == move.to) return true;
  if (rename(move.from.c_str(), move.to.c_str()) != 0) {
    return CopyWorkFile(source, target) && DeleteWorkFile(source);
  }
  NoteChange(move.from_folder, move.from_last, false);
  NoteChange(move.to_folder, move.to_last, true);
  return true;
}

bool ShareWorkFile(std::string_view source, std::string_view target) {
  FileMove move;
  if (!ResolveMove(source, target, &move)) return false;
  if (move.from == move.to) return true;
  struct stat target_st;
  if (lstat(move.to.c_str(), &target_st) == 0) {
    if (S_ISDIR(target_st.st_mode)) return false;
    unlink(move.to.c_str());  // an existing file keeps its name as it stands
  }
  if (link(move.from.c_str(), move.to.c_str()) != 0) return CopyWorkFile(source, target);
  NoteChange(move.to_folder, move.to_last, true);
  return true;
}

bool CopyWorkFileRanges(std::string_view source, std::string_view target,
                        const std::vector<std::pair<long long, long long>>& ranges) {
  std::string from;
  if (!ResolveWorkPath(source, false, &from)) return false;
  int in = open(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return false;
  std::string to, folder_path, last;
  int out = -1;
  if (ResolveForWrite(target, &to, &folder_path, &last) && to != from) {
    // A new file, not one that may share its bytes with another name.
    struct stat st;
    if (lstat(to.c_str(), &st) == 0 && S_ISREG(st.st_mode)) unlink(to.c_str());
    out = open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  }
  if (out < 0) {
    close(in);
    return false;
  }
  NoteChange(folder_path, last, true);
  bool ok = true;
  std::vector<char> buffer;
  for (const auto& [begin, end] : ranges) {
    off_t at = static_cast<off_t>(begin);
    while (ok && at < end) {
      size_t wanted = static_cast<size_t>(end - at);
      ssize_t put = copy_file_range(in, &at, out, nullptr, wanted, 0);
      if (put < 0 && errno == EINTR) continue;
      if (put > 0) continue;
      if (put == 0) break;  // the source is shorter than the range
      // Not supported here: through a buffer.
      buffer.resize(1 << 16);
      ssize_t got = pread(in, buffer.data(), std::min(wanted, buffer.size()), at);
      if (got <= 0) {
        ok = got == 0;
        break;
      }
      for (ssize_t done = 0; ok && done < got;) {
        ssize_t w = write(out, buffer.data() + done, static_cast<size_t>(got - done));
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) ok = false;
        if (w > 0) done += w;
      }
      at += got;
    }
  }
  close(in);
  if (close(out) != 0) ok = false;
  return ok;
}

std::vector<FolderEntry> ListFolder(std::string_view folder, bool details) {
  std::vector<FolderEntry> entries;
  std::string path = ".";
  if (!TrimSpaces(folder).empty() && !ResolveWorkPath(folder, false, &path)) return entries;
  DIR* dir = opendir(path.c_str());
  if (!dir) return entries;
  while (dirent* entry = readdir(dir)) {
    FolderEntry e;
    e.name = entry->d_name;
    if (e.name == "." || e.name == "..") continue;
    if (details || entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK) {
      struct stat st;
      if (stat((path + "/" + e.name).c_str(), &st) == 0) {
        e.is_folder = S_ISDIR(st.st_mode);
        e.size = static_cast<long long>(st.st_size);
        e.mtime = static_cast<long long>(st.st_mtime);
      }
    } else {
      e.is_folder = entry->d_type == DT_DIR;
    }
    entries.push_back(std::move(e));
  }
  closedir(dir);
  return entries;
}

LineReader::LineReader(std::string_view name) : buffer_(1 << 16) {
  std::string path;
  if (ResolveWorkPath(name, false, &path)) fd_ = open(path.c_str(), O_RDONLY | O_CLOEXEC);
}

LineReader::~LineReader() {
  if (fd_ >= 0) close(fd_);
}

void LineReader::Rewind() { Seek(0); }

void LineReader::Seek(long long offset, long long end) {
  if (fd_ < 0) return;
  end_offset_ = end;
  // Within the buffer, no read is needed.
  long long buffer_start = file_offset_ - static_cast<long long>(end_);
  if (offset >= buffer_start && offset <= file_offset_ && (end < 0 || file_offset_ <= end)) {
    begin_ = static_cast<size_t>(offset - buffer_start);
    eof_ = end >= 0 && file_offset_ >= end;
    return;
  }
  lseek(fd_, static_cast<off_t>(offset), SEEK_SET);
  file_offset_ = offset;
  begin_ = end_ = 0;
  eof_ = false;
}

bool LineReader::Fill() {
  if (eof_ || fd_ < 0) return false;
  if (begin_ > 0) {
    std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
  }
  if (end_ == buffer_.size()) buffer_.resize(buffer_.size() * 2);
  size_t room = buffer_.size() - end_;
  if (end_offset_ >= 0) {
    if (file_offset_ >= end_offset_) {
      eof_ = true;
      return false;
    }
    room = std::min(room, static_cast<size_t>(end_offset_ - file_offset_));
  }
  while (true) {
    ssize_t got = read(fd_, buffer_.data() + end_, room);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {  // end of file, or a folder or unreadable file: reads as its end
      eof_ = true;
      return false;
    }
    end_ += static_cast<size_t>(got);
    file_offset_ += got;
    return true;
  }
}

bool LineReader::NextChunk(std::string* chunk) {
  if (begin_ == end_ && !Fill()) return false;
  chunk->assign(buffer_.data() + begin_, end_ - begin_);
  begin_ = end_;
  return true;
}

bool LineReader::Next(std::string* line) {
  size_t scanned = begin_;
  while (true) {
    const char* start = buffer_.data() + scanned;
    const void* lf = std::memchr(start, '\n', end_ - scanned);
    if (lf) {
      size_t stop = static_cast<size_t>(static_cast<const char*>(lf) - buffer_.data());
      size_t length = stop - begin_;
      if (length > 0 && buffer_[stop - 1] == '\r') --length;
      line->assign(buffer_.data() + begin_, length);
      begin_ = stop + 1;
      return true;
    }
    size_t kept = end_ - begin_;
    if (!Fill()) {
      if (begin_ == end_) return false;
      line->assign(buffer_.data() + begin_, end_ - begin_);
      begin_ = end_;
      return true;
    }
    scanned = begin_ + kept;
  }
}

LineWriter::LineWriter(std::string_view name, Mode mode) {
  std::string path, folder_path, last;
  if (!ResolveForWrite(name, &path, &folder_path, &last)) return;
  int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (mode == kAppend ? O_APPEND : O_TRUNC);
  fd_ = open(path.c_str(), flags, 0666);
  if (fd_ < 0) return;
  NoteChange(folder_path, last, true);
  buffer_.reserve(kWriteBuffer);
}

LineWriter::~LineWriter() { Close(); }

void LineWriter::WriteOut(std::string_view bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t put = write(fd_, bytes.data() + done, bytes.size() - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) break;  // a full disk loses the rest, as a failed write would
    done += static_cast<size_t>(put);
  }
}

void LineWriter::Flush() {
  WriteOut(buffer_);
  buffer_.clear();
}

void LineWriter::Write(std::string_view bytes) {
  if (fd_ < 0) return;
  if (bytes.size() >= kWriteBuffer) {
    // A very long line goes out as it is, not through a copy in the buffer.
    Flush();
    WriteOut(bytes);
    return;
  }
  buffer_.append(bytes);
  if (buffer_.size() >= kWriteBuffer) Flush();
}

void LineWriter::WriteLine(std::string_view line) {
  if (fd_ < 0) return;
  if (line.size() >= kWriteBuffer) {
    Write(line);
    Write("\r\n");
    return;
  }
  buffer_.append(line);
  buffer_.append("\r\n", 2);
  if (buffer_.size() >= kWriteBuffer) Flush();
}

void LineWriter::WriteRecord(std::initializer_list<std::string_view> fields) {
  if (fd_ < 0) return;
  AppendQuotedRecord(&buffer_, fields);
  buffer_.append("\r\n", 2);
  if (buffer_.size() >= kWriteBuffer) Flush();
}

void LineWriter::Close() {
  if (fd_ < 0) return;
  Flush();
  close(fd_);
  fd_ = -1;
}

std::vector<std::string> ReadAllLines(std::string_view name) {
  std::vector<std::string> lines;
  LineReader reader(name);
  std::string line;
  while (reader.Next(&line)) lines.push_back(line);
  return lines;
}

void WriteAllLines(std::string_view name, const std::vector<std::string>& lines) {
  LineWriter writer(name);
  for (const std::string& line : lines) writer.WriteLine(line);
}
