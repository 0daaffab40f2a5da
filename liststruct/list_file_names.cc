#include "liststruct/list_file_names.h"

#include "common/clock.h"
#include "common/cmd_interpreter.h"
#include "common/file_names.h"
#include "common/line_files.h"
#include "common/text.h"
#include "common/work_files.h"
#include "common/work_paths.h"

namespace {

std::string_view Slice(std::string_view text, size_t from, size_t count = std::string_view::npos) {
  return from >= text.size() ? std::string_view() : text.substr(from, count);
}

bool CommandCanCarry(std::string_view name) {
  return name.find_first_of("\"*?") == std::string_view::npos;
}

}  // namespace

std::string TimeStamp(std::string_view date, std::string_view time) {
  size_t first = time.find(':');
  size_t second = first == std::string_view::npos ? first : time.find(':', first + 1);
  std::string hour(TrimSpaces(time.substr(0, first)));
  std::string_view minute, seconds;
  if (first != std::string_view::npos) {
    minute = TrimSpaces(time.substr(
        first + 1, second == std::string_view::npos ? std::string_view::npos : second - first - 1));
  }
  if (second != std::string_view::npos) seconds = TrimSpaces(time.substr(second + 1));
  double hour_value = NumericPrefix(hour);
  if (hour_value < 10)
    hour = "0" + std::to_string(static_cast<int>(hour_value < 0 ? 0 : hour_value));
  std::string stamp = "_";
  stamp += Slice(date, 6);
  stamp += "_";
  stamp += Slice(date, 0, 2);
  stamp += "_";
  stamp += Slice(date, 3, 2);
  stamp += "_" + hour + "_";
  stamp += minute;
  stamp += "_";
  stamp += seconds;
  return stamp;
}

std::string TimeStampNow() { return TimeStamp(CurrentDate(), CurrentTime()); }

std::string UpToTxt(std::string_view name) {
  return std::string(name.substr(0, name.find(".txt")));
}

std::string CommandName(std::string_view name) {
  if (name.find_first_of(" \t>|") == std::string_view::npos) return std::string(name);
  return "\"" + std::string(name) + "\"";
}

void CopyByCommand(std::string_view source, std::string_view target, std::string_view junk) {
  if (CommandCanCarry(source) && CommandCanCarry(target)) {
    RunCommand("copy " + CommandName(source) + " " + CommandName(target) + " > " +
               std::string(junk));
    return;
  }
  std::string destination(target);
  if (EndsWith(destination, "\\")) {
    std::string folder, base;
    SplitFolderAndName(source, &folder, &base);
    destination += base;
  }
  LineWriter junk_file(junk);  // the redirection would have left it, empty
  CopyWorkFile(source, destination);
}
