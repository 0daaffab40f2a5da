#include "indexer/decorate_lines.h"

#include <algorithm>
#include <cstdio>
#include <initializer_list>

#include "common/text.h"
#include "common/work_dir.h"

namespace {

// Far beyond any real line, column or occurrence count, and safe to add 1 to.
constexpr long long kCountLimit = 1'000'000'000'000LL;

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
  Occurrence occurrence;
  ParseOccurrenceInto(record, &occurrence);
  return occurrence;
}

void ParseOccurrenceInto(std::string_view record, Occurrence* occurrence) {
  std::string_view f[7];
  SplitQuotedFields(record, f, 7);
  occurrence->page.assign(f[0]);
  occurrence->line = ParseCount(f[1]);
  occurrence->column = ParseCount(f[2]);
  occurrence->word.assign(f[3]);
  occurrence->word_id.assign(f[4]);
  occurrence->number = ParseCount(f[5]);
  occurrence->next_page.assign(f[6]);
}

std::string_view ColumnRange(std::string_view line, long long from_column, long long to_column) {
  size_t from = ClampedOffset(line, from_column);
  size_t to = ClampedOffset(line, to_column);
  return to > from ? line.substr(from, to - from) : std::string_view();
}

std::string_view ColumnsFrom(std::string_view line, long long from_column) {
  return line.substr(ClampedOffset(line, from_column));
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
  std::string text;
  AppendOccurrenceLines(&text, run, occurrence, highest_on_page, group);
  std::vector<std::string> lines;
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find("\r\n", start);
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

void AppendOccurrenceLines(std::string* out, const IndexerRun& run, const Occurrence& occurrence,
                           long long highest_on_page, int group) {
  const std::string& id = occurrence.word_id;
  char number_text[24], next_text[24], group_text[24];
  std::snprintf(number_text, sizeof number_text, "%lld", occurrence.number);
  std::snprintf(next_text, sizeof next_text, "%lld", occurrence.number + 1);
  std::snprintf(group_text, sizeof group_text, "%d", group);
  const std::string_view k = number_text, n = group_text;
  auto put = [out](std::initializer_list<std::string_view> pieces) {
    for (std::string_view piece : pieces) out->append(piece);
    out->append("\r\n");
  };
  put({"<span id=\"", id, "\" type = \"text/javascript\"ondblclick = \"window.open('",
       occurrence.page, "#", id, "'); window.event.cancelbubble = true;\">", occurrence.word,
       "</span>"});
  if (run.find_word != 1 || occurrence.word == "Pages_list") return;

  put({"<span hidden id=\"", id, "\">"});
  if (occurrence.number < highest_on_page && highest_on_page >= 2) {
    put({"(", k, ")(<a href=\"#", id, "_", next_text, "\">&gt;</a>,"});
  } else {
    put({"(", k, ")(<a href=\"#", id, "_", k, "\"></a>"});
  }
  put({"<a href=\"i_", n, ".htm#", id, "\">i</a>,"});
  put({"<a href=\"s_", n, ".htm#", id, "_", k, "\">s</a>,"});
  if (occurrence.next_page.empty()) {
    put({"<a href=\"files_list.htm\">c)</a></span>"});
  } else {
    put({"<a href=\"files_list.htm\">c</a>,"});
    put({"<a href=\"", occurrence.next_page, "#", id, "\">&gt;&gt;)</a></span>"});
  }
  put({"<span id=\"", id, "_", k, "\"></span>"});
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
