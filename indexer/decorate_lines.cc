#include "indexer/decorate_lines.h"

#include <algorithm>

#include "common/text.h"
#include "common/work_dir.h"

namespace {

// Far beyond any real line, column or occurrence count, and safe to add 1 to.
constexpr long long kCountLimit = 1'000'000'000'000LL;

std::string FieldOrEmpty(const std::vector<std::string>& fields, size_t index) {
  return index < fields.size() ? fields[index] : std::string();
}

// 0-based byte offset of a 1-based column, clamped into the line.
size_t ClampedOffset(std::string_view line, long long column) {
  if (column <= 1) return 0;
  long long offset = column - 1;
  return offset >= static_cast<long long>(line.size()) ? line.size() : static_cast<size_t>(offset);
}

}  // namespace

long long ParseCount(std::string_view field) {
  std::string_view digits = TrimSpaces(field);
  if (digits.empty()) return 0;
  long long value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return 0;
    value = std::min(kCountLimit, value * 10 + (c - '0'));
  }
  return value;
}

Occurrence ParseOccurrence(std::string_view record) {
  std::vector<std::string> fields = SplitQuotedRecord(record);
  Occurrence occurrence;
  occurrence.page = FieldOrEmpty(fields, 0);
  occurrence.line = ParseCount(FieldOrEmpty(fields, 1));
  occurrence.column = ParseCount(FieldOrEmpty(fields, 2));
  occurrence.word = FieldOrEmpty(fields, 3);
  occurrence.word_id = FieldOrEmpty(fields, 4);
  occurrence.number = ParseCount(FieldOrEmpty(fields, 5));
  occurrence.next_page = FieldOrEmpty(fields, 6);
  return occurrence;
}

std::string ColumnRange(std::string_view line, long long from_column, long long to_column) {
  size_t from = ClampedOffset(line, from_column);
  size_t to = ClampedOffset(line, to_column);
  return to > from ? std::string(line.substr(from, to - from)) : std::string();
}

std::string ColumnsFrom(std::string_view line, long long from_column) {
  return std::string(line.substr(ClampedOffset(line, from_column)));
}

bool HoldsBodyTag(std::string_view line) {
  std::string lower = LowerAscii(line);
  size_t at = lower.find("body");
  return at != std::string::npos && at > 0 && lower[at - 1] == '<';
}

std::string DecoratedPageName(std::string_view page) {
  return std::string(page.substr(0, page.find(".htm"))) + "_02.htm";
}

std::vector<std::string> OccurrenceLines(const IndexerRun& run, const Occurrence& occurrence,
                                         long long highest_on_page, int group) {
  const std::string& id = occurrence.word_id;
  const std::string k = std::to_string(occurrence.number);
  const std::string n = std::to_string(group);
  std::vector<std::string> lines = {
      "<span id=\"" + id + "\" type = \"text/javascript\"ondblclick = \"window.open('" +
      occurrence.page + "#" + id + "'); window.event.cancelbubble = true;\">" + occurrence.word +
      "</span>"};
  if (run.find_word != 1 || occurrence.word == "Pages_list") return lines;

  lines.push_back("<span hidden id=\"" + id + "\">");
  if (occurrence.number < highest_on_page && highest_on_page >= 2) {
    lines.push_back("(" + k + ")(<a href=\"#" + id + "_" + std::to_string(occurrence.number + 1) +
                    "\">&gt;</a>,");
  } else {
    lines.push_back("(" + k + ")(<a href=\"#" + id + "_" + k + "\"></a>");
  }
  lines.push_back("<a href=\"i_" + n + ".htm#" + id + "\">i</a>,");
  lines.push_back("<a href=\"s_" + n + ".htm#" + id + "_" + k + "\">s</a>,");
  if (occurrence.next_page.empty()) {
    lines.push_back("<a href=\"files_list.htm\">c)</a></span>");
  } else {
    lines.push_back("<a href=\"files_list.htm\">c</a>,");
    lines.push_back("<a href=\"" + occurrence.next_page + "#" + id + "\">&gt;&gt;)</a></span>");
  }
  lines.push_back("<span id=\"" + id + "_" + k + "\"></span>");
  return lines;
}

std::vector<std::string> PageNavigation(const PageLinks& links, bool bottom_of_inner_page) {
  std::vector<std::string> lines = {"<br>"};
  if (!links.before.empty()) lines.push_back("<a href=\"" + links.before + "\"> Before </a> ");
  if (!links.next.empty()) {
    lines.push_back("<a href=\"" + links.next + "\"> Next </a>" +
                    (bottom_of_inner_page ? "" : " "));
  }
  lines.push_back("<a href=\"files_list.htm\"> Content </a><br>");
  return lines;
}

PageChain LoadPageChain(std::string_view list_name) {
  PageChain chain;
  LineReader reader(list_name);
  std::string line;
  while (reader.Next(&line)) {
    chain.position.emplace(LowerAscii(line), chain.pages.size());
    chain.pages.push_back(LowerAscii(line));
  }
  return chain;
}

PageLinks NeighbourPages(const PageChain& chain, std::string_view page) {
  PageLinks links;
  auto found = chain.position.find(LowerAscii(page));
  if (found == chain.position.end()) return links;
  size_t at = found->second;
  if (at > 0) links.before = chain.pages[at - 1];
  if (at + 1 < chain.pages.size()) links.next = chain.pages[at + 1];
  return links;
}
