#ifndef COMMON_FILE_BEING_MADE_H_
#define COMMON_FILE_BEING_MADE_H_

/// Files replaced in one step: the new bytes go to a part beside the old file, renamed into
/// place only when complete.

#include <string>
#include <string_view>

/// A file written whole under a name of its own beside `name` (the part, `name` + "~part")
/// and put in its place by Commit: until then `name` keeps its old bytes, and a run that
/// fails or is stopped leaves it as it was. What stands at `name` is checked at once: a
/// link, a folder or another non-file there ends the program, as a failed write would.
class FileBeingMade {
 public:
  explicit FileBeingMade(std::string_view name);
  ~FileBeingMade();  // deletes the part unless it was committed
  FileBeingMade(const FileBeingMade&) = delete;
  FileBeingMade& operator=(const FileBeingMade&) = delete;
  /// The name to write the new bytes to; empty when the folder of `name` is missing.
  const std::string& part() const { return part_; }
  /// Renames the part to `name`, replacing what stood there; a failure ends the program.
  void Commit();

 private:
  std::string name_, part_;
};
constexpr std::string_view kPartSuffix = "~part";
/// Deletes the parts of every FileBeingMade not yet committed: for a stopped run.
void DeletePartsBeingMade();
/// Deletes the parts that a run killed without warning left in `folder` ("" for the work
/// directory).
void DeleteStaleParts(std::string_view folder);

#endif  // COMMON_FILE_BEING_MADE_H_
