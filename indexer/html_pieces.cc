#include "indexer/html_pieces.h"

#include "common/clock.h"
#include "common/config.h"

std::string MetaLine(const IndexerRun& run) {
  return "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=" + run.charset + "\">";
}

std::vector<std::string> HighlightScript(const IndexerRun& run) {
  std::vector<std::string> lines = {
      "<script language=\"javascript\">",
      "if (history.length > 0)",
      "{",
      "document.writeln(\"<style type=\\\"text/css\\\">\");",
      "document.writeln(self.location.hash + \" { color: " + run.font_colour + " } \");",
      "document.writeln(self.location.hash + \" { font-size: " + run.font_size + " } \");",
      "document.writeln(self.location.hash + \" { font-weight: bold } \");",
  };
  if (run.find_word == 1) {
    lines.push_back("document.writeln(self.location.hash + \" { display: inline } \");");
  }
  lines.insert(lines.end(), {"document.writeln(\"</style>\");", "}", "</script>"});
  return lines;
}

std::vector<std::string> IndexHeader(const IndexerRun& run, std::string_view last_line) {
  std::string site = kMakerSite;
  return {"<html>",
          "<br>",
          "<head>",
          "<br>",
          MetaLine(run),
          "<br>",
          "<title>index of key words</title>",
          "<br>",
          "</head>",
          "<br>",
          "<body>",
          "<br>",
          "QUICK AND EASY INFORMATION SEARCH",
          "<br>",
          "We offer users a fast and efficient way to search for information in input files, and "
          "they can also continue their search with the help of program-defined Google search "
          "phrases.",
          "<br>",
          "Just double-clicking on any word is enough to access the index of all words.",
          "<br>",
          "<br>",
          "Details:",
          "<br>",
          "<a href=\"" + site + "\">" + site + "</a>",
          "<br><br>",
          "Date (mm-dd-yy) = " + CurrentDate() + "<br>",
          "Time (h:m:s)    = " + CurrentTime() + "<br>",
          std::string(last_line)};
}

void WriteAll(LineWriter* out, const std::vector<std::string>& lines) {
  for (const std::string& line : lines) out->WriteLine(line);
}
