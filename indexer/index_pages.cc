#include "indexer/index_pages.h"

#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "common/line_files.h"
#include "common/text.h"
#include "indexer/html_pieces.h"

namespace {

// The records of one word on one page: the first one's spelling and number, and a count.
struct EntryGroup {
  std::string_view word_id;
  std::string_view page;
  std::string_view word;
  long long first_number = 0;
  long long count = 0;
};

void WriteAll(LineWriter* out, const std::vector<std::string>& lines) {
  for (const std::string& line : lines) out->WriteLine(line);
}

void AppendEntryHead(std::string* out, const EntryGroup& group) {
  for (std::string_view piece :
       {std::string_view("<a href=\""), std::string_view(group.page), std::string_view("#"),
        std::string_view(group.word_id), std::string_view("\" id=\""),
        std::string_view(group.word_id), std::string_view("\">"), std::string_view(group.word),
        std::string_view("</a>&nbsp;&nbsp;&nbsp; ("), std::string_view(group.page),
        std::string_view(", ")}) {
    out->append(piece);
  }
  out->append(std::to_string(group.count));
  out->append(")");
}

// The five lines of an entry, appended with their line ends.
void AppendEntry(std::string* out, const EntryGroup& group, const std::string& n) {
  out->append("<br>\r\n");
  AppendEntryHead(out, group);
  out->append("\r\n&nbsp;&nbsp;<a href=\"s_");
  out->append(n);
  out->append(".htm#");
  out->append(group.word_id);
  out->append("_");
  out->append(std::to_string(group.first_number));
  out->append("\">s_");
  out->append(n);
  out->append("</a>\r\n&nbsp;&nbsp;<a href=\"index.htm#");
  out->append(group.word_id);
  out->append("\"> index</a>\r\n&nbsp;&nbsp;<a href=\"files_list.htm#");
  out->append(group.page);
  out->append("\"> Content </a>\r\n");
}

// Entries come grouped and counted; an empty list leaves a last entry of empty fields,
// count 0.
void WriteWordEntries(LineWriter* out, const WordLists& lists, WordPageEntries* entries,
                      const std::string& n) {
  EntryGroup group;
  bool open = false;
  std::string text;
  entries->ForEach([&](const WordPageEntry& entry) {
    if (open) AppendEntry(&text, group, n);
    if (text.size() >= (1 << 16)) {
      out->Write(text);
      text.clear();
    }
    const uint32_t key = lists.id_order[entry.id_rank];
    group.word_id = lists.key_id[key];
    group.page = lists.pages[entry.page].name;
    group.word = lists.vocabulary.SpellingText(entry.spelling);
    group.first_number = static_cast<long long>(entry.first_number);
    group.count = static_cast<long long>(entry.count);
    open = true;
  });
  AppendEntryHead(&text, group);
  text.append("<br>\r\n");
  out->Write(text);
}

// Creates a page while holding the work-file lock.
std::unique_ptr<LineWriter> CreatePage(const std::string& name) {
  std::lock_guard<std::mutex> lock(WorkFileLock());
  return std::make_unique<LineWriter>(name);
}

void WriteContentsPage(const IndexerRun& run, const WordLists& lists) {
  std::unique_ptr<LineWriter> page_file = CreatePage("files_list.htm");
  LineWriter& out = *page_file;
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
  std::unique_ptr<LineWriter> page_file = CreatePage("i_" + n + ".htm");
  LineWriter& index = *page_file;
  WriteAll(&index, IndexHeader(run, "<br><br>"));
  WriteContentsPage(run, lists);
  WriteAll(&index, {"<a href=\"files_list.htm\"> Content </a><br>", "<br>"});
  WriteWordEntries(&index, lists, entries, n);
  WriteAll(&index, {"</body>", "</html>"});
}
