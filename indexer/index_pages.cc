#include "indexer/index_pages.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/line_files.h"
#include "common/text.h"
#include "indexer/body_blocks.h"
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

void WriteEntryHead(InPlace& out, const EntryGroup& group) {
  out << "<a href=\"" << group.page << "#" << group.word_id << "\" id=\"" << group.word_id << "\">"
      << group.word << "</a>&nbsp;&nbsp;&nbsp; (" << group.page << ", " << group.count << ")";
}

// The room for the lines of an entry after its "<br>", with `n` the page group's number.
size_t EntryRoom(const EntryGroup& group, std::string_view n) {
  return 256 + 4 * group.page.size() + 5 * group.word_id.size() + group.word.size() + 2 * n.size();
}

// The five lines of an entry, with their line ends. Its "<br>" ends the line of the entry
// before, so a block may end there: each word's entries get blocks of their own.
void WriteEntry(LineWriter* writer, BodyBlocks* blocks, const EntryGroup& group, bool new_word,
                std::string_view n) {
  writer->WriteLine("<br>");
  blocks->Count(1);
  blocks->Break(new_word);
  blocks->Open();
  InPlace out(writer, EntryRoom(group, n));
  WriteEntryHead(out, group);
  out << "\r\n&nbsp;&nbsp;<a href=\"s_" << n << ".htm#" << group.word_id << "_"
      << group.first_number << "\">s_" << n << "</a>\r\n&nbsp;&nbsp;<a href=\"index.htm#"
      << group.word_id << "\"> index</a>\r\n&nbsp;&nbsp;<a href=\"files_list.htm#" << group.page
      << "\"> Content </a>\r\n";
  blocks->Count(4);
}

// One page group's word index page, from its header on.
struct WordIndexPage {
  WordIndexPage(const IndexerRun& run, uint32_t page_group)
      : group(page_group), n(std::to_string(page_group)), out("i_" + n + ".htm"), blocks(&out) {
    WriteAll(&out, IndexHeader(run, "<br><br>"));
    WriteAll(&out, {"<a href=\"files_list.htm\"> Content </a><br>", "<br>"});
  }
  const uint32_t group;
  const std::string n;  // the group number, as written
  LineWriter out;
  BodyBlocks blocks;
};

// The last entry continues the line of the one before it, in its block; then the page ends.
void FinishWordIndex(WordIndexPage* page, const EntryGroup& last) {
  page->blocks.Open();
  {
    InPlace out(&page->out, EntryRoom(last, page->n));
    WriteEntryHead(out, last);
    out << "<br>\r\n";
  }
  page->blocks.Close();
  WriteAll(&page->out, {"</body>", "</html>"});
  page->out.Close();
}

// Entries come grouped and counted, each page group's together; an empty list leaves
// i_1.htm with a last entry of empty fields, count 0.
void WriteWordIndexPages(const IndexerRun& run, const WordLists& lists, const WordIds& ids,
                         WordPageEntries* entries) {
  auto page = std::make_unique<WordIndexPage>(run, 1);
  EntryGroup group;
  std::string_view written_word_id;
  bool open = false;
  entries->ForEach([&](const WordPageEntry& entry) {
    if (open && entry.group != page->group) {
      FinishWordIndex(page.get(), group);
      page = std::make_unique<WordIndexPage>(run, entry.group);
      written_word_id = {};
      open = false;
    }
    if (open) {
      WriteEntry(&page->out, &page->blocks, group, group.word_id != written_word_id, page->n);
      written_word_id = group.word_id;
    }
    const uint32_t key = ids.order[entry.id_rank];
    group.word_id = ids.of_key[key];
    group.page = lists.pages[entry.page].name;
    group.word = lists.vocabulary.SpellingText(entry.spelling);
    group.first_number = static_cast<long long>(entry.first_number);
    group.count = static_cast<long long>(entry.count);
    open = true;
  });
  FinishWordIndex(page.get(), group);
}

void WriteContentsPage(const IndexerRun& run, const WordLists& lists) {
  LineWriter out("files_list.htm");
  WriteAll(&out, IndexHeader(run, "<br>"));
  BodyBlocks blocks(&out);
  for (const PageWords& words : lists.pages) {
    const std::string& page = words.name;
    blocks.Open();
    out.WriteLine("<a href=\"" + page + "\"><span id = \"" + page + "\" >" + page +
                  "</span></a><br>");
    blocks.Count(1);
    blocks.Break(false);
  }
  blocks.Close();
  WriteAll(&out, {"<br><br>", "</body>", "</html>"});
}

}  // namespace

void WriteWordIndexAndContents(const IndexerRun& run, const WordLists& lists, const WordIds& ids,
                               WordPageEntries* entries) {
  WriteContentsPage(run, lists);
  WriteWordIndexPages(run, lists, ids, entries);
}
