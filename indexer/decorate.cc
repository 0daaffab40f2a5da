#include "indexer/decorate.h"

#include <algorithm>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "common/shell.h"
#include "common/text.h"
#include "common/work_dir.h"
#include "indexer/decorate_lines.h"
#include "indexer/html_pieces.h"

namespace {

void WriteAll(LineWriter* out, const std::vector<std::string>& lines) {
  for (const std::string& line : lines) out->WriteLine(line);
}

// The occurrence table read page block by page block, one record ahead. Records that name
// no page (blank or broken lines) are skipped.
class OccurrenceStream {
 public:
  explicit OccurrenceStream(const std::string& name) : table_(name) { Advance(); }
  bool Done() const { return !have_ahead_; }
  bool OnPage(const std::string& page) const { return have_ahead_ && ahead_.page == page; }
  const Occurrence& Peek() const { return ahead_; }
  /// The record ahead; it stays valid until the next call.
  const Occurrence& Take() {
    std::swap(taken_, ahead_);
    Advance();
    return taken_;
  }

 private:
  void Advance() {
    have_ahead_ = false;
    while (table_.Next(&record_)) {
      ParseOccurrenceInto(record_, &ahead_);
      if (!ahead_.page.empty()) {
        have_ahead_ = true;
        return;
      }
    }
  }

  LineReader table_;
  std::string record_;
  Occurrence ahead_, taken_;
  bool have_ahead_ = false;
};

using HighestNumbers = std::unordered_map<std::string, long long>;

// Writes the decorated text of `page` from its records, taken from `records` in line and
// column order. `last_page` is true for the last page decorated in the run.
void WriteDecoratedPage(const IndexerRun& run, const PageChain& chain, const std::string& page,
                        OccurrenceStream* records, const HighestNumbers& highest, bool last_page,
                        const std::string& output_name) {
  const PageLinks links = NeighbourPages(chain, page);
  LineReader source(page);
  LineWriter out(output_name);
  long long line_count = 0;
  std::string current;
  long long previous_column = 0;
  long long previous_length = 0;
  long long previous_line = -1;
  // The column after the last byte of the current line already written. Records come in
  // column order, except on lines longer than the column field (a million bytes), where the
  // text order of the field no longer follows the numbers; no byte is then written twice.
  long long written_end = 1;
  auto next_piece = [&] { return std::max(previous_column + previous_length, written_end); };

  bool body_seen = false;
  std::string block;
  while (records->OnPage(page)) {
    const Occurrence& o = records->Take();
    if (previous_line >= 0 && previous_line != o.line) {
      out.WriteLine(ColumnsFrom(current, next_piece()));
    }
    while (line_count < o.line) {
      if (!source.Next(&current)) current.clear();  // past the end: empty lines
      ++line_count;
      if (!body_seen && HoldsBodyTag(current)) {
        body_seen = true;
        WriteAll(&out, HighlightScript(run));
        WriteAll(&out, PageNavigation(links, false));
      }
      if (line_count < o.line) out.WriteLine(current);
      previous_column = 0;
      previous_length = 0;
      written_end = 1;
    }
    out.WriteLine(
        ColumnRange(current, previous_column == 0 ? written_end : next_piece(), o.column));
    block.clear();
    AppendOccurrenceLines(&block, run, o, highest.at(o.word_id), kPageGroup);
    out.Write(block);
    previous_column = o.column;
    previous_length = static_cast<long long>(o.word.size());
    previous_line = o.line;
    written_end = std::max(written_end, previous_column + previous_length);
  }
  out.WriteLine(ColumnsFrom(current, next_piece()));

  while (source.Next(&current)) {
    if (Contains(LowerAscii(current), "</body>")) WriteAll(&out, PageNavigation(links, !last_page));
    out.WriteLine(current);
  }
}

}  // namespace

// Two readers walk the occurrence table: the scout runs through a page's records first to
// find each word's highest occurrence number there (occurrence numbers ascend with the page
// within a word, so it tells whether an occurrence has a later one on the page); the other
// then decorates. Memory holds one entry per word of the page, not the page's records.
void DecoratePages(const IndexerRun& run) {
  const PageChain chain = LoadPageChain("group_page_all_sort.txt");
  const std::string table = "wrd_24_" + std::to_string(kPageGroup) + ".txt";
  OccurrenceStream scout(table);
  OccurrenceStream records(table);
  HighestNumbers highest;
  while (!records.Done()) {
    const std::string page = records.Peek().page;
    highest.clear();
    while (scout.OnPage(page)) {
      const Occurrence& o = scout.Take();
      long long& value = highest[o.word_id];
      if (o.number > value) value = o.number;
    }
    const std::string output_name = DecoratedPageName(page);
    WriteDecoratedPage(run, chain, page, &records, highest, scout.Done(), output_name);
    // The decorated copy takes the page's place; the copy the page would otherwise be
    // overwritten from is deleted with the other work pages at the end anyway.
    MoveWorkFile(output_name, page);
  }
}
