#include "indexer/decorate_lines.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <initializer_list>

#include "common/line_files.h"
#include "common/text.h"

namespace {

// 0-based byte offset of a 1-based column, clamped into the line.
size_t ClampedOffset(std::string_view line, long long column) {
  if (column <= 1) return 0;
  long long offset = column - 1;
  return offset >= static_cast<long long>(line.size()) ? line.size() : static_cast<size_t>(offset);
}

}  // namespace

std::string_view ColumnRange(std::string_view line, long long from_column, long long to_column) {
  size_t from = ClampedOffset(line, from_column);
  size_t to = ClampedOffset(line, to_column);
  return to > from ? line.substr(from, to - from) : std::string_view();
}

std::string_view ColumnsFrom(std::string_view line, long long from_column) {
  return line.substr(ClampedOffset(line, from_column));
}

namespace {

// The lines of one occurrence, each given to `put` as its pieces.
template <typename Put>
void EmitOccurrenceLines(const IndexerRun& run, const Occurrence& occurrence,
                         long long highest_on_page, uint32_t group, Put put) {
  const std::string_view id = occurrence.word_id;
  char number_text[24], next_text[24], group_text[24];
  const std::string_view k(
      number_text,
      static_cast<size_t>(
          std::to_chars(number_text, number_text + sizeof number_text, occurrence.number).ptr -
          number_text));
  const std::string_view next(
      next_text,
      static_cast<size_t>(
          std::to_chars(next_text, next_text + sizeof next_text, occurrence.number + 1).ptr -
          next_text));
  const std::string_view n(
      group_text,
      static_cast<size_t>(std::to_chars(group_text, group_text + sizeof group_text, group).ptr -
                          group_text));
  put({"<span id=\"", id, "\" type = \"text/javascript\"ondblclick = \"window.open('",
       occurrence.page, "#", id, "'); window.event.cancelbubble = true;\">", occurrence.word,
       "</span>"});
  if (run.find_word != 1 || occurrence.word == "Pages_list") return;

  put({"<span hidden id=\"", id, "\">"});
  if (occurrence.number < highest_on_page && highest_on_page >= 2) {
    put({"(", k, ")(<a href=\"#", id, "_", next, "\">&gt;</a>,"});
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

}  // namespace

void WriteOccurrenceLines(LineWriter* out, const IndexerRun& run, const Occurrence& occurrence,
                          long long highest_on_page, uint32_t group) {
  // The lines are built in the writer's buffer when they surely fit in a small room (a
  // page holds seven lines per occurrence); a huge word goes out piece by piece, uncopied.
  const size_t bound = 512 + occurrence.word.size() + 2 * occurrence.page.size() +
                       12 * occurrence.word_id.size() + occurrence.next_page.size();
  if (bound <= (1 << 16)) {
    char* to = out->Room(bound);
    EmitOccurrenceLines(run, occurrence, highest_on_page, group,
                        [&to](std::initializer_list<std::string_view> pieces) {
                          for (std::string_view piece : pieces) {
                            if (!piece.empty()) std::memcpy(to, piece.data(), piece.size());
                            to += piece.size();
                          }
                          to[0] = '\r';
                          to[1] = '\n';
                          to += 2;
                        });
    out->Commit(to);
    return;
  }
  EmitOccurrenceLines(run, occurrence, highest_on_page, group,
                      [out](std::initializer_list<std::string_view> pieces) {
                        for (std::string_view piece : pieces) out->Write(piece);
                        out->Write("\r\n");
                      });
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

PageChain MakePageChain(const std::vector<std::string>& sorted_pages) {
  PageChain chain;
  for (const std::string& page : sorted_pages) {
    chain.position.emplace(LowerAscii(page), chain.pages.size());
    chain.pages.push_back(LowerAscii(page));
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
