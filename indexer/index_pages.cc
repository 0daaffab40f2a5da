#include "indexer/index_pages.h"

#include <string>
#include <vector>

#include "common/text.h"
#include "common/work_dir.h"
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

// Entries come grouped and counted; an empty list leaves a last entry of empty fields,
// count 0.
void WriteWordEntries(LineWriter* out, const WordLists& lists, WordPageEntries* entries,
                      const std::string& n) {
  EntryGroup group;
  bool open = false;
  entries->ForEach([&](const WordPageEntry& entry) {
    if (open) WriteEntry(out, group, n);
    const uint32_t key = lists.id_order[entry.id_rank];
    group.word_id = lists.key_id[key];
    group.page = lists.pages[entry.page].name;
    group.word = lists.vocabulary.SpellingText(entry.spelling);
    group.first_number = static_cast<long long>(entry.first_number);
    group.count = static_cast<long long>(entry.count);
    open = true;
  });
  out->WriteLine(EntryHead(group) + "<br>");
}

void WriteContentsPage(const IndexerRun& run, const WordLists& lists) {
  LineWriter out("files_list.htm");
  WriteAll(&out, IndexHeader(run, "<br>"));
  for (const PageWords& words : lists.pages) {
    const std::string& page = words.name;
    out.WriteLine("<a href=\"" + page + "\"><span id = \"" + page + "\" >" + page +
                  "</span></a><br>");
  }
  WriteAll(&out, {"<br><br>", "</body>", "</html>"});
}

}  // namespace

void WriteWordIndexAndContents(const IndexerRun& run, const WordLists& lists,
                               WordPageEntries* entries) {
  const std::string n = std::to_string(kPageGroup);
  LineWriter index("i_" + n + ".htm");
  WriteAll(&index, IndexHeader(run, "<br><br>"));
  WriteContentsPage(run, lists);
  WriteAll(&index, {"<a href=\"files_list.htm\"> Content </a><br>", "<br>"});
  WriteWordEntries(&index, lists, entries, n);
  WriteAll(&index, {"</body>", "</html>"});
}
