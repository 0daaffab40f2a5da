#include "indexer/all_words.h"

#include <string>

#include "common/line_files.h"
#include "indexer/body_blocks.h"
#include "indexer/html_pieces.h"

namespace {

std::string LinkOpen(const std::string& word_id, const std::string& group) {
  return "&nbsp;&nbsp;<a href=\"i_" + group + ".htm#" + word_id + "\" id=\"" + word_id + "\">(i_" +
         group;
}

}  // namespace

void WriteAllWordsIndex(const IndexerRun& run, const WordLists& lists, const WordIds& ids,
                        const FirstOccurrences& first_occurrence) {
  LineWriter out("index.htm");
  for (const std::string& line : IndexHeader(run, "<br><br>")) out.WriteLine(line);
  out.WriteLine("Use a combination of two keys (CTRL + F) to search.");
  out.WriteLine("<br><br>");

  // Each word is followed by the link to its entries, which shows its count; the last
  // word's link shows none. The "<br>" after a link ends a line, where a block may end; the
  // last block ends with the body.
  BodyBlocks blocks(&out);
  std::string word_id;
  std::string group = "1";
  uint32_t previous = 0;
  bool first = true;
  for (uint32_t key : ids.order) {
    if (!first) {
      out.WriteLine(LinkOpen(word_id, group) + ",&nbsp;&nbsp;" +
                    std::to_string(first_occurrence.count[previous]) + ")</a>");
      out.WriteLine("<br>");
      blocks.Count(2);
      blocks.Break(false);
    }
    blocks.Open();
    out.WriteLine(lists.vocabulary.SpellingText(first_occurrence.spelling[key]));
    blocks.Count(1);
    word_id = ids.of_key[key];
    group = std::to_string(first_occurrence.group[key]);
    previous = key;
    first = false;
  }
  blocks.Open();
  if (first) out.WriteLine("");
  out.WriteLine(LinkOpen(word_id, group) + ")</a>");
  blocks.Close();
  out.WriteLine("</body>");
  out.WriteLine("</html>");
  out.Close();
}
