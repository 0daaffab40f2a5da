#include "indexer/search_page.h"

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <random>
#include <string>

#include "common/config.h"
#include "common/html_text.h"
#include "common/line_files.h"
#include "common/text.h"
#include "indexer/body_blocks.h"
#include "indexer/html_pieces.h"
#include "indexer/search_phrase.h"

namespace {

// Any constant will do; it only has to be the same on every run.
constexpr std::uint32_t kDrawSeed = 149;

}  // namespace

// What the page shows of one occurrence. The texts are the occurrence's own views, which
// outlive the writer.
struct SearchPageWriter::LineRecord {
  std::string_view page;
  long long line = 0;
  std::string_view word;
  std::string_view word_id;
  std::string_view occurrence;  // the number, in `number_text`
  char number_text[24];
};

namespace {

using LineRecord = SearchPageWriter::LineRecord;

// Word forms are appended piece by piece to the pending line.
template <typename Out>
void AppendIndexLink(Out* out, std::string_view index_page, const LineRecord& record) {
  out->append("<a href=\"");
  out->append(index_page);
  out->append("#");
  out->append(record.word_id);
  out->append("\">");
  out->append(record.word);
  out->append("</a>");
}

template <typename Out>
void AppendAnchorOpen(Out* out, const LineRecord& record) {
  out->append("<span id=\"");
  out->append(record.word_id);
  out->append("_");
  out->append(record.occurrence);
  out->append("\">");
}

// The first word of a line shows twice: as plain text and as a link.
template <typename Out>
void AppendFirstWordForm(Out* out, std::string_view index_page, const LineRecord& record) {
  AppendAnchorOpen(out, record);
  out->append(record.word);
  out->append(" &nbsp </span>&nbsp ");
  AppendIndexLink(out, index_page, record);
  out->append("</span>");
}

// Every other word, after one blank.
template <typename Out>
void AppendOtherWordForm(Out* out, std::string_view index_page, const LineRecord& record) {
  out->append(" ");
  AppendAnchorOpen(out, record);
  AppendIndexLink(out, index_page, record);
  out->append("</span>");
}

// The HTML collected for one source line. A line is written only when it holds no
// "</html>", which is known only at its end.
class PendingLine {
 public:
  void append(std::string_view text) { text_.append(text); }
  void Clear() {
    text_.Clear();
    holds_html_end_ = false;
  }
  // In the forms, the text before a word ends with ">", the text after it begins with a
  // blank or "<", and no text of their own holds "</html>": a "</html>" in a line (in any
  // case) lies within one word, so the words alone tell.
  void NoteWord(std::string_view word) {
    if (ContainsCaseBlind(word, "</html>")) holds_html_end_ = true;
  }
  bool HoldsHtmlEnd() const { return holds_html_end_; }
  void WriteTo(LineWriter* out) { text_.WriteTo(out); }

 private:
  SpillingText text_{"wrd_12_1_line.txt"};
  bool holds_html_end_ = false;
};

}  // namespace

struct SearchPageWriter::LineState {
  LineState(LineWriter* out, std::string_view group_text, std::string_view index)
      : group(group_text), index_page(index), blocks(out) {}
  const std::string_view group;       // the page group's number, as written
  const std::string_view index_page;  // its word index page
  long long line_number = 0;
  std::string_view line_page;     // the page of the line's first word
  std::string_view written_page;  // that of the line written last
  BodyBlocks blocks;
  PendingLine pending;
  LineWords line_words;
  int word_count = 0;
  size_t draw_length = 0;
  std::string_view link_word_id;
  bool link_word_id_set = false;
};

namespace {

using LineState = SearchPageWriter::LineState;

void AddWord(LineState* state, std::string_view word) {
  state->line_words.Add(TrimSpaces(word));
  ++state->word_count;
}

// One line of pieces.
void WriteLine(LineWriter* out, std::initializer_list<std::string_view> pieces) {
  for (std::string_view piece : pieces) out->Write(piece);
  out->Write("\r\n");
}

// The pending line and the seven lines that follow it; `page` goes into the Content link.
// They end with "<br><br>", where a block may end: each page's lines get blocks of their own.
void WriteLineBlock(LineWriter* out, LineState& state, std::string_view page, const IndexerRun& run,
                    const std::function<double()>& next_random) {
  state.blocks.Break(state.line_page != state.written_page);
  state.blocks.Open();
  state.written_page = state.line_page;
  if (!state.pending.HoldsHtmlEnd()) {
    state.pending.WriteTo(out);
    out->WriteLine("<br>");
    state.blocks.Count(1);
  }
  const std::string_view id = state.link_word_id;
  WriteLine(out, {"<a href=\"", state.index_page, "#", id, "\">i_", state.group, "</a>"});
  WriteLine(out, {"&nbsp <a href=\"index.htm#", id, "\">index</a>"});
  WriteLine(out, {"&nbsp <a href=\"files_list.htm#", page, "\"> Content (", page, ")</a>"});
  // A line of few words is its own phrase; only a longer one is drawn from, into a copy.
  std::string drawn;
  const std::string_view phrase =
      state.line_words.Phrase(state.word_count, state.draw_length, next_random, &drawn);
  const std::string search = std::string("&nbsp <a href=\"") + kSearchEngine + "/search?q=";
  if (!run.target_address.empty()) {
    out->Write(search);
    WriteSearchQuery(out, phrase, QueryText::kMarkup);
    WriteLine(out, {" site:", SearchQueryPart(run.target_address, QueryText::kPlain), "\"> ",
                    HtmlAttributeText(run.target_address), "</a>"});
  }
  out->Write(search);
  WriteSearchQuery(out, phrase, QueryText::kMarkup);
  out->WriteLine("\"> web_search </a>");
  out->WriteLine("<br><br>");
  state.blocks.Count(run.target_address.empty() ? 5 : 6);
}

}  // namespace

SearchPageWriter::SearchPageWriter(const IndexerRun& run, uint32_t group)
    : run_(run),
      group_(std::to_string(group)),
      index_page_("i_" + group_ + ".htm"),
      generator_(kDrawSeed),
      out_("s_" + group_ + ".htm"),
      state_(std::make_unique<LineState>(&out_, group_, index_page_)),
      record_(std::make_unique<LineRecord>()) {
  next_random_ = [this] { return static_cast<double>(generator_()) / 4294967296.0; };
  for (const char* line : {"<html>", "<br>", "<head>", "<br>"}) {
    out_.WriteLine(line);
  }
  out_.WriteLine(MetaLine(run));
  for (const char* line :
       {"<br>", "<title>search.htm, content (only words) from input *.htm files</title>", "<br>",
        "</head>", "<br>", "<body>"}) {
    out_.WriteLine(line);
  }
  for (const std::string& line : HighlightScript(run)) out_.WriteLine(line);
}

void SearchPageWriter::Add(const Occurrence& o) {
  LineState& state = *state_;
  LineRecord& record = *record_;
  record.page = o.page;
  record.line = o.line;
  record.word = o.word;
  record.word_id = o.word_id;
  char* number = record.number_text;
  record.occurrence = std::string_view(
      number,
      static_cast<size_t>(std::to_chars(number, number + sizeof record.number_text, o.number).ptr -
                          number));
  if (first_) {
    state.line_number = record.line;
    state.line_page = record.page;
  }
  first_ = false;
  if (record.line == state.line_number) {
    state.draw_length = state.line_words.size();
    AppendOtherWordForm(&state.pending, index_page_, record);
    state.pending.NoteWord(record.word);
    AddWord(&state, record.word);
    return;
  }
  // The link lines after the first line already point at the second line's first word.
  if (!state.link_word_id_set) {
    state.link_word_id = record.word_id;
    state.link_word_id_set = true;
  }
  WriteLineBlock(&out_, state, record.page, run_, next_random_);
  state.link_word_id = record.word_id;
  state.pending.Clear();
  AppendFirstWordForm(&state.pending, index_page_, record);
  state.pending.NoteWord(record.word);
  state.line_words.Clear();
  state.word_count = 0;
  AddWord(&state, record.word);
  state.line_number = record.line;
  state.line_page = record.page;
}

// After the last occurrence, `record_` still holds it (or is empty when there was none).
SearchPageWriter::~SearchPageWriter() {
  LineState& state = *state_;
  if (!state.link_word_id_set) state.link_word_id = record_->word_id;
  WriteLineBlock(&out_, state, record_->page, run_, next_random_);
  state.blocks.Close();
  state.pending.Clear();
  state.line_words.Clear();
  out_.WriteLine("</body> <br>");
  out_.WriteLine("</html> <br>");
  out_.Close();
}
