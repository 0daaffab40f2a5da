#include "liststruct/html_render.h"

#include <optional>
#include <string>
#include <string_view>

#include "common/cmd_interpreter.h"
#include "common/html_text.h"
#include "common/line_files.h"
#include "common/text.h"
#include "common/work_files.h"
#include "liststruct/chapter_table.h"
#include "liststruct/keyed_lines.h"
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

constexpr char kNewNumbers[] = "list_03_numbers.tmp";
constexpr char kSortedNewNumbers[] = "list_03_numbers_sorted.tmp";
constexpr char kLinkTargets[] = "list_03_links.tmp";
constexpr char kSortedLinkTargets[] = "list_03_links_sorted.tmp";
constexpr char kLinkedLines[] = "list_03_linked.tmp";

// A line such as "<b>Note</b>" is markup the user wants kept.
bool IsBoldLine(std::string_view lower_trimmed) {
  if (!StartsWith(lower_trimmed, "<b>")) return false;
  size_t close = lower_trimmed.find("</b>");
  return close != std::string_view::npos && close + 4 == lower_trimmed.size();
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
  out += HrefAddress(address);
  out += "\">";
  out += address;
  out += "</a>";
  out += end == std::string_view::npos ? std::string_view(" ") : line.substr(end);
  return out;
}

// The target of a cross-reference line (as escaped): the trimmed line from its 10th byte.
std::string_view CrossReferenceTarget(std::string_view escaped) {
  std::string_view trimmed = TrimSpaces(escaped);
  return trimmed.size() > 9 ? trimmed.substr(9) : std::string_view();
}

// The cross-reference as a link to its target, which a chapter carries.
std::string CrossReferenceLink(std::string_view line, std::string_view lower) {
  std::string_view prefix = line.substr(0, lower.find("look_at:"));
  std::string target(CrossReferenceTarget(line));
  return std::string(prefix) + "look_at: <span><a href=\"#" + target + "\"> " + target +
         "</a></span>";
}

// The lines whose cross-reference names a number some chapter carries, as a file of
// NumberedLine lines: the targets of the lines that may be cross-references, joined with
// the sorted new numbers of the rows. A line counts as the list's own line number, which
// the renderer's line counter keeps.
void FindLinkedLines() {
  {
    LineReader rows(kChapterRowsFile);
    LineWriter numbers(kNewNumbers);
    std::string_view row;
    while (rows.NextView(&row)) {
      size_t blank = row.find(' ');
      if (blank == std::string_view::npos) continue;
      numbers.WriteLine(KeyLine(NewNumberOfRow(row.substr(blank + 1)), 0, ""));
    }
  }
  {
    LineReader input(kHtmlInputFile);
    LineWriter targets(kLinkTargets);
    long long line_number = 0;
    std::string_view line;
    while (input.NextView(&line)) {
      ++line_number;
      if (!StartsWith(LowerAscii(TrimSpaces(line).substr(0, 8)), "look_at:")) continue;
      std::string escaped = HtmlWithoutTags(line);
      std::string_view target = CrossReferenceTarget(escaped);
      // New numbers are made of digits and full stops only: no other target can match.
      if (target.find_first_not_of(".0123456789") != std::string_view::npos) continue;
      targets.WriteLine(WantedLine(target, line_number));
    }
  }
  SortKeyedLines(kNewNumbers, kSortedNewNumbers);
  SortKeyedLines(kLinkTargets, kSortedLinkTargets);
  FindWantedKeys(kSortedLinkTargets, kSortedNewNumbers, kLinkedLines);
  DeleteWorkFile(kSortedNewNumbers);
  DeleteWorkFile(kSortedLinkTargets);
}

std::string ChapterHeading(std::string_view line, std::string_view new_number) {
  std::string_view trimmed = TrimSpaces(line);
  size_t leading_blanks = line.size() - TrimLeftSpaces(line).size();
  return std::string(leading_blanks, ' ') + "<span style=\"color:blue\"; ID=\"" +
         std::string(new_number) + "\"><b>" + std::string(trimmed) + "</b></span>";
}

}  // namespace

void RenderHtml() {
  RunCommand("copy list_03_list.txt list_03_utf.txt > out_null.txt");
  FindLinkedLines();
  {
    NumberedLines rows(kChapterRowsFile);
    NumberedLines linked(kLinkedLines);
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
      std::string escaped = HtmlWithoutTags(line);
      std::string lower = LowerAscii(escaped);
      ++line_counter;

      std::optional<std::string> linked_address = LinkFirstAddress(escaped, lower, "http");
      if (!linked_address) linked_address = LinkFirstAddress(escaped, lower, "file:///");
      if (linked_address) {
        out.WriteLine(*linked_address);
        continue;
      }
      std::string_view lower_trimmed = TrimSpaces(lower);
      if (StartsWith(lower_trimmed, "look_at:")) {
        // A reference to a number no chapter carries would lead nowhere: it is left out.
        if (linked.Find(line_counter)) out.WriteLine(CrossReferenceLink(escaped, lower));
        continue;
      }
      if (StartsWith(lower_trimmed, "table_start:")) {
        std::string_view trimmed = TrimSpaces(escaped);
        std::string_view caption = trimmed.size() > 13 ? trimmed.substr(13) : std::string_view();
        line_counter += RenderTableBlock(line, caption, &input, &out) - 1;
        continue;
      }
      if (const std::string* row = rows.Find(line_counter)) {
        out.WriteLine(ChapterHeading(escaped, NewNumberOfRow(*row)));
        continue;
      }
      out.WriteLine(escaped);
    }
    for (std::string_view footer_line : kFooter) out.WriteLine(footer_line);
  }
  DeleteWorkFile(kLinkedLines);
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
