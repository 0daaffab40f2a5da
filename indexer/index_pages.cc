#include "indexer/index_pages.h"

#include <string>
#include <vector>

#include "common/text.h"
#include "common/work_dir.h"
#include "indexer/decorate_lines.h"
#include "indexer/html_pieces.h"

namespace {

// The records of one word on one page: the first one's spelling and number, and a count.
struct EntryGroup {
  std::string word_id;
  std::string page;
  std::string word;
  long long first_number = 0;
  long long count = 0;
};

void WriteAll(LineWriter* out, const std::vector<std::string>& lines) {
  for (const std::string& line : lines) out->WriteLine(line);
}

std::string EntryHead(const EntryGroup& group) {
  return "<a href=\"" + group.page + "#" + group.word_id + "\" id=\"" + group.word_id + "\">" +
         group.word + "</a>&nbsp;&nbsp;&nbsp; (" + group.page + ", " + std::to_string(group.count) +
         ")";
}

void WriteEntry(LineWriter* out, const EntryGroup& group, const std::string& n) {
  out->WriteLine("<br>");
  out->WriteLine(EntryHead(group));
  out->WriteLine("&nbsp;&nbsp;<a href=\"s_" + n + ".htm#" + group.word_id + "_" +
                 std::to_string(group.first_number) + "\">s_" + n + "</a>");
  out->WriteLine("&nbsp;&nbsp;<a href=\"index.htm#" + group.word_id + "\"> index</a>");
  out->WriteLine("&nbsp;&nbsp;<a href=\"files_list.htm#" + group.page + "\"> Content </a>");
}

// Word-order list fields: word id, page, line, column, word, word id, occurrence number.
EntryGroup OpenGroup(const std::vector<std::string>& fields) {
  EntryGroup group;
  group.word_id = fields[0];
  if (fields.size() > 1) group.page = fields[1];
  if (fields.size() > 4) group.word = fields[4];
  if (fields.size() > 6) group.first_number = ParseCount(fields[6]);
  group.count = 1;
  return group;
}

// Streams the word-order list; an empty list leaves a last entry of empty fields, count 0.
void WriteWordEntries(LineWriter* out, const std::string& list_name, const std::string& n) {
  LineReader reader(list_name);
  EntryGroup group;
  bool open = false;
  std::string record;
  while (reader.Next(&record)) {
    std::vector<std::string> fields = SplitQuotedRecord(record);
    if (fields.empty()) continue;
    if (open && fields[0] == group.word_id && fields.size() > 1 && fields[1] == group.page) {
      ++group.count;
      continue;
    }
    if (open) WriteEntry(out, group, n);
    group = OpenGroup(fields);
    open = true;
  }
  out->WriteLine(EntryHead(group) + "<br>");
}

void WriteContentsPage(const IndexerRun& run) {
  LineWriter out("files_list.htm");
  WriteAll(&out, IndexHeader(run, "<br>"));
  LineReader pages("group_page_all_sort.txt");
  std::string page;
  while (pages.Next(&page)) {
    if (page.empty()) continue;  // an empty name would be a link to nowhere
    out.WriteLine("<a href=\"" + page + "\"><span id = \"" + page + "\" >" + page +
                  "</span></a><br>");
  }
  WriteAll(&out, {"<br><br>", "</body>", "</html>"});
}

}  // namespace

void WriteWordIndexAndContents(const IndexerRun& run) {
  const std::string n = std::to_string(kPageGroup);
  LineWriter index("i_" + n + ".htm");
  WriteAll(&index, IndexHeader(run, "<br><br>"));
  WriteContentsPage(run);
  WriteAll(&index, {"<a href=\"files_list.htm\"> Content </a><br>", "<br>"});
  WriteWordEntries(&index, "wrd_14_" + n + ".txt", n);
  WriteAll(&index, {"</body>", "</html>"});
}
