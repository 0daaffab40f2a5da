#include "liststruct/html_render.h"

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "common/line_files.h"
#include "common/shell.h"
#include "common/text.h"
#include "liststruct/table_render.h"

namespace {

constexpr char kHtmlInputFile[] = "list_03_utf.txt";
constexpr char kHtmlBodyCopyFile[] = "list_03_com_ndx.txt";

constexpr std::string_view kHeader[] = {
    R"(<!DOCTYPE HTML=HTML PUBLIC=PUBLIC "-//W3C//DTD HTML 4.0 TRANSITIONAL//EN"=")"
    R"(-//W3C//DTD HTML 4.0 Transitional//EN">)",
    "<html>",
    "<head>",
    R"(<meta HTTP-EQUIV="content-type" CONTENT="text/html; charset=UTF-8">)",
    "</head>",
    "<body>",
    "<pre>",
};
constexpr std::string_view kFooter[] = {"</pre>", "<br>", "</body>", "</html>"};

// Chapter rows found by line and by new number; the first row wins, as in a top-down scan.
struct ChapterIndex {
  std::unordered_map<long long, const ChapterRow*> by_line;
  std::unordered_map<std::string, const ChapterRow*> by_new_number;
};

ChapterIndex IndexChapters(const ChapterTable& table) {
  ChapterIndex index;
  for (const ChapterRow& row : table) {
    index.by_line.try_emplace(row.line_number, &row);
    index.by_new_number.try_emplace(row.new_number, &row);
  }
  return index;
}

// A line such as "<b>Note</b>" is markup the user wants kept.
bool IsBoldLine(std::string_view lower_trimmed) {
  if (!StartsWith(lower_trimmed, "<b>")) return false;
  size_t close = lower_trimmed.find("</b>");
  return close != std::string_view::npos && close + 4 == lower_trimmed.size();
}

std::string EscapeAngleBrackets(std::string_view line) {
  std::string out;
  out.reserve(line.size());
  for (char c : line) {
    if (c == '<') {
      out += "&lt;";
    } else if (c == '>') {
      out += "&gt;";
    } else {
      out += c;
    }
  }
  return out;
}

// An address as the value of a double-quoted href: a '"' in it would end the attribute.
std::string HrefValue(std::string_view address) {
  std::string out;
  out.reserve(address.size());
  for (char c : address) {
    if (c == '"') {
      out += "%22";
    } else {
      out += c;
    }
  }
  return out;
}

// The line with its first address that starts with `scheme` made a link; only that one, so
// that a second address on the line stays plain text.
std::optional<std::string> LinkFirstAddress(std::string_view line, std::string_view lower,
                                            std::string_view scheme) {
  size_t start = lower.find(scheme);
  if (start == std::string_view::npos) return std::nullopt;
  size_t end = line.find(' ', start);
  std::string_view address = line.substr(start, end == std::string_view::npos ? end : end - start);
  std::string out(line.substr(0, start));
  out += "<a href=\"";
  out += HrefValue(address);
  out += "\">";
  out += address;
  out += "</a>";
  out += end == std::string_view::npos ? std::string_view(" ") : line.substr(end);
  return out;
}

// The cross-reference as a link; none when no chapter carries its target.
std::optional<std::string> CrossReferenceLink(std::string_view line, std::string_view lower,
                                              const ChapterIndex& index) {
  std::string_view prefix = line.substr(0, lower.find("look_at:"));
  std::string_view trimmed = TrimSpaces(line);
  std::string target(trimmed.size() > 9 ? trimmed.substr(9) : std::string_view());
  if (!index.by_new_number.contains(target)) return std::nullopt;
  return std::string(prefix) + "look_at: <span><a href=\"#" + target + "\"> " + target +
         "</a></span>";
}

std::string ChapterHeading(std::string_view line, const ChapterRow& row) {
  std::string_view trimmed = TrimSpaces(line);
  size_t leading_blanks = line.size() - TrimLeftSpaces(line).size();
  return std::string(leading_blanks, ' ') + "<span style=\"color:blue\"; ID=\"" + row.new_number +
         "\"><b>" + std::string(trimmed) + "</b></span>";
}

}  // namespace

void RenderHtml(const ChapterTable& table) {
  RunCommand("copy list_03_list.txt list_03_utf.txt > out_null.txt");
  ChapterIndex index = IndexChapters(table);

  LineReader input(kHtmlInputFile);
  LineWriter out(kHtmlOutputFile);
  for (std::string_view line : kHeader) out.WriteLine(line);

  // Kept equal to the line's number in list_03.txt, which the chapter rows refer to.
  long long line_counter = 0;
  std::string line;
  while (input.Next(&line)) {
    if (IsBoldLine(LowerAscii(TrimSpaces(line)))) {
      out.WriteLine(line);
      ++line_counter;
      continue;
    }
    std::string escaped = EscapeAngleBrackets(line);
    std::string lower = LowerAscii(escaped);
    ++line_counter;

    std::optional<std::string> linked = LinkFirstAddress(escaped, lower, "http");
    if (!linked) linked = LinkFirstAddress(escaped, lower, "file:///");
    if (linked) {
      out.WriteLine(*linked);
      continue;
    }
    std::string_view lower_trimmed = TrimSpaces(lower);
    if (StartsWith(lower_trimmed, "look_at:")) {
      // A reference to a number no chapter carries would lead nowhere: it is left out.
      if (auto link = CrossReferenceLink(escaped, lower, index)) out.WriteLine(*link);
      continue;
    }
    if (StartsWith(lower_trimmed, "table_start:")) {
      std::string_view trimmed = TrimSpaces(escaped);
      std::string_view caption = trimmed.size() > 13 ? trimmed.substr(13) : std::string_view();
      std::vector<std::string> block = CutTableBlock(line, &input);
      for (const std::string& html : RenderTableBlock(caption, block)) out.WriteLine(html);
      line_counter += static_cast<long long>(block.size()) - 1;
      continue;
    }
    auto chapter = index.by_line.find(line_counter);
    if (chapter != index.by_line.end()) {
      out.WriteLine(ChapterHeading(escaped, *chapter->second));
      continue;
    }
    out.WriteLine(escaped);
  }
  for (std::string_view footer_line : kFooter) out.WriteLine(footer_line);
}

void WriteHtmlBodyCopy() {
  LineReader input(kHtmlOutputFile);
  LineWriter out(kHtmlBodyCopyFile);
  std::string line;
  while (input.Next(&line)) {
    std::string lower = LowerAscii(TrimSpaces(line));
    bool wrapper = lower == "<pre>" || lower == "</pre>" || lower == "<body>" || lower == "</body>";
    if (!wrapper) out.WriteLine(line);
  }
}
