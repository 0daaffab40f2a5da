#include "indexer/all_words.h"

#include <string>
#include <vector>

#include "common/console.h"
#include "common/external_sort.h"
#include "common/text.h"
#include "common/work_dir.h"
#include "indexer/html_pieces.h"

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

}  // namespace

void WriteAllWordsIndex(const IndexerRun& run) {
  MergeSortFile("wrd_15.txt", "wrd_16.txt");
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
