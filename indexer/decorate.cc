#include "indexer/decorate.h"

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

// The next record that names a page; blank or broken lines name none and are skipped.
bool NextOccurrence(LineReader* table, Occurrence* occurrence) {
  std::string record;
  while (table->Next(&record)) {
    *occurrence = ParseOccurrence(record);
    if (!occurrence->page.empty()) return true;
  }
  return false;
}

// Occurrence numbers ascend with the page within a word, so the highest one on this page
// tells whether an occurrence has a later one here.
std::unordered_map<std::string, long long> HighestNumbers(const std::vector<Occurrence>& records) {
  std::unordered_map<std::string, long long> highest;
  for (const Occurrence& o : records) {
    long long& value = highest[o.word_id];
    if (o.number > value) value = o.number;
  }
  return highest;
}

// Writes the decorated text of one page from its records (all on that page, in line and
// column order). `last_page` is true for the last page decorated in the run.
void WriteDecoratedPage(const IndexerRun& run, const PageChain& chain,
                        const std::vector<Occurrence>& records, bool last_page,
                        const std::string& output_name) {
  const std::string& page = records.front().page;
  const PageLinks links = NeighbourPages(chain, page);
  const std::unordered_map<std::string, long long> highest = HighestNumbers(records);

  LineReader source(page);
  LineWriter out(output_name);
  long long line_count = 0;
  std::string current;
  long long previous_column = 0;
  long long previous_length = 0;
  bool body_seen = false;
  const Occurrence* previous = nullptr;

  for (const Occurrence& o : records) {
    if (previous != nullptr && previous->line != o.line) {
      out.WriteLine(ColumnsFrom(current, previous_column + previous_length));
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
    }
    if (previous_column == 0) {
      out.WriteLine(ColumnRange(current, 1, o.column));
    } else {
      out.WriteLine(ColumnRange(current, previous_column + previous_length, o.column));
    }
    WriteAll(&out, OccurrenceLines(run, o, highest.at(o.word_id), kPageGroup));
    previous_column = o.column;
    previous_length = static_cast<long long>(o.word.size());
    previous = &o;
  }
  out.WriteLine(ColumnsFrom(current, previous_column + previous_length));

  while (source.Next(&current)) {
    if (Contains(LowerAscii(current), "</body>")) WriteAll(&out, PageNavigation(links, !last_page));
    out.WriteLine(current);
  }
}

void DecoratePage(const IndexerRun& run, const PageChain& chain,
                  const std::vector<Occurrence>& records, bool last_page) {
  const std::string& page = records.front().page;
  const std::string output_name = DecoratedPageName(page);
  WriteDecoratedPage(run, chain, records, last_page, output_name);
  RunCommand("copy " + output_name + " " + page + " > out_null.list");
}

}  // namespace

void DecoratePages(const IndexerRun& run) {
  const PageChain chain = LoadPageChain("group_page_all_sort.txt");
  LineReader table("wrd_24_" + std::to_string(kPageGroup) + ".txt");
  std::vector<Occurrence> page_records;
  Occurrence next;
  bool have_next = NextOccurrence(&table, &next);
  while (have_next) {
    page_records.clear();
    const std::string page = next.page;
    while (have_next && next.page == page) {
      page_records.push_back(std::move(next));
      have_next = NextOccurrence(&table, &next);
    }
    DecoratePage(run, chain, page_records, !have_next);
  }
}
