#include "indexer/all_words.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "common/console.h"
#include "common/external_sort.h"
#include "common/text.h"
#include "common/work_dir.h"
#include "indexer/html_pieces.h"
#include "indexer/run_state.h"

namespace {

struct WordRecord {
  std::string word_id;
  std::string group;  // the group number without blanks
  std::string word;
};

std::string Field(const std::vector<std::string>& fields, size_t index) {
  return index < fields.size() ? fields[index] : std::string();
}

// Blank lines carry no record; after the sort they would come first and open an empty word.
bool NextRecord(LineReader* reader, WordRecord* record) {
  std::string text;
  while (reader->Next(&text)) {
    if (text.empty()) continue;
    std::vector<std::string> fields = SplitQuotedRecord(text);
    *record = {Field(fields, 0), std::string(TrimSpaces(Field(fields, 1))), Field(fields, 5)};
    return true;
  }
  return false;
}

long long CountRecords(const char* name) {
  LineReader reader(name);
  WordRecord record;
  long long count = 0;
  while (NextRecord(&reader, &record)) ++count;
  return count;
}

std::string LinkOpen(const std::string& word_id, const std::string& group) {
  return "&nbsp;&nbsp;<a href=\"i_" + group + ".htm#" + word_id + "\" id=\"" + word_id + "\">(i_" +
         group;
}

// Order-free fingerprint of a set of lines: equal sets give equal sums.
struct LineSetSum {
  unsigned long long sum = 0;
  long long lines = 0;
  void Add(std::string_view line) {
    sum += std::hash<std::string_view>{}(line)*0x9E3779B97F4A7C15ull + 1;
    ++lines;
  }
  bool operator==(const LineSetSum&) const = default;
};

// wrd_16 is the all-words list in byte order. The word-order list holds the same records
// ordered by word id, page, line and column: rewritten in the all-words layout it is
// normally already that order, and then it is the sorted result without a sort. Only when
// that is so (same lines, checked in order) is it used; otherwise the merge sort runs.
void SortAllWords() {
  LineSetSum wanted, made;
  {
    LineReader all_words("wrd_15.txt");
    std::string line;
    while (all_words.Next(&line)) wanted.Add(line);
  }
  bool in_order = true;
  {
    LineReader in("wrd_14_" + std::to_string(kPageGroup) + ".txt");
    LineWriter out("wrd_16.txt");
    const std::string group_field = RightAlign(std::to_string(kPageGroup), 5);
    std::string line, record, previous;
    std::string_view f[7];
    while (in_order && in.Next(&line)) {
      SplitQuotedFields(line, f, 7);
      // word id, page, line, column, word, word id, occurrence number
      record.clear();
      AppendQuotedRecord(&record, {f[0], group_field, f[1], f[2], f[3], f[4], f[6]});
      if (made.lines > 0 && record < previous) in_order = false;
      made.Add(record);
      out.WriteLine(record);
      previous.swap(record);
    }
  }
  if (!in_order || !(made == wanted)) MergeSortFile("wrd_15.txt", "wrd_16.txt");
}

}  // namespace

void WriteAllWordsIndex(const IndexerRun& run) {
  SortAllWords();
  long long total = CountRecords("wrd_16.txt");
  PrintLine("processed 70%");

  LineWriter out("index.htm");
  for (const std::string& line : IndexHeader(run, "<br><br>")) out.WriteLine(line);
  out.WriteLine("Use a combination of two keys (CTRL + F) to search.");
  out.WriteLine("<br><br>");

  // The records of one word id stand together, so its count is the length of its run:
  // the same number find would report over wrd_11_1.txt, without re-reading it per word.
  LineReader reader("wrd_16.txt");
  WordRecord record;
  std::string word_id;
  std::string group = std::to_string(kPageGroup);
  long long count = 0;
  if (NextRecord(&reader, &record)) {
    if (total >= 3) PrintLine("processed 80%");
    word_id = record.word_id;
    group = record.group;
    count = 1;
    out.WriteLine(record.word);
    while (NextRecord(&reader, &record)) {
      if (record.word_id == word_id) {
        ++count;
        continue;
      }
      out.WriteLine(LinkOpen(word_id, group) + ",&nbsp;&nbsp;" + std::to_string(count) + ")</a>");
      out.WriteLine("<br>");
      out.WriteLine(record.word);
      word_id = record.word_id;
      group = record.group;
      count = 1;
    }
  } else {
    out.WriteLine("");
  }
  out.WriteLine(LinkOpen(word_id, group) + ")</a>");
  out.WriteLine("</body>");
  out.WriteLine("</html>");
  out.Close();
  PrintLine("processed 90%");
}
