#include "indexer/search_page.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "common/config.h"
#include "common/html_text.h"
#include "common/line_files.h"
#include "common/text.h"
#include "indexer/html_pieces.h"
#include "indexer/spilling_text.h"

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

// The drawn phrase of SearchPhrase, from words in memory or in a work file.
template <typename Text>
std::string DrawPhrase(const Text& line_words, size_t draw_length,
                       const std::function<double()>& next_random);

// The bytes of a work file as the draw of a phrase reads them, where they stand.
class FileText {
 public:
  FileText(LineReader* reader, size_t size) : reader_(reader), size_(size) {}
  size_t find(char c, size_t from) const {
    char chunk[1 << 12];
    for (size_t at = from; at < size_;) {
      reader_->Seek(static_cast<long long>(at));
      const size_t got = reader_->Read(chunk, std::min(sizeof chunk, size_ - at));
      if (got == 0) break;
      if (const void* hit = std::memchr(chunk, c, got)) {
        return at + static_cast<size_t>(static_cast<const char*>(hit) - chunk);
      }
      at += got;
    }
    return std::string_view::npos;
  }
  std::string substr(size_t from, size_t length) const {
    std::string text(length, '\0');
    reader_->Seek(static_cast<long long>(from));
    text.resize(reader_->Read(text.data(), length));
    return text;
  }

 private:
  LineReader* reader_;
  size_t size_;
};

// The line words, each followed by one blank; only the drawn ones of a spilled line are
// read back.
class LineWords {
 public:
  void Add(std::string_view word) {
    text_.append(word);
    text_.append(" ");
  }
  size_t size() const { return text_.size(); }
  void Clear() { text_.Clear(); }
  // The search phrase, in `*text` where it is not the words in memory themselves.
  std::string_view Phrase(int word_count, size_t draw_length,
                          const std::function<double()>& next_random, std::string* text) {
    if (!text_.Spilled()) {
      if (word_count <= kPhraseSlots) return text_.Memory();
      *text = SearchPhrase(text_.Memory(), word_count, draw_length, next_random);
      return *text;
    }
    std::unique_ptr<LineReader> reader = text_.ReadBack();
    const FileText file(reader.get(), text_.size());
    *text = word_count <= kPhraseSlots ? file.substr(0, text_.size())
                                       : DrawPhrase(file, draw_length, next_random);
    return *text;
  }

 private:
  SpillingText text_{"wrd_12_1_words.txt"};
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

template <typename Text>
std::string DrawPhrase(const Text& line_words, size_t draw_length,
                       const std::function<double()>& next_random) {
  std::array<std::string, kPhraseSlots> slots;
  for (std::string& slot : slots) {
    double r = next_random();
    size_t position = static_cast<size_t>(r * static_cast<double>(draw_length));
    if (position < 1) position = 1;
    // Indexes below are 0-based: the blank at 1-based position b sits at index b - 1.
    size_t begin = line_words.find(' ', position - 1);
    if (begin == std::string_view::npos || begin + 1 > draw_length) continue;
    size_t end = line_words.find(' ', begin + 1);
    if (end == std::string_view::npos) continue;
    slot = line_words.substr(begin, end - begin);
  }
  for (size_t i = 0; i + 1 < slots.size(); ++i) {
    for (size_t j = i + 1; j < slots.size(); ++j) {
      if (slots[j] == slots[i]) slots[j].clear();
    }
  }
  std::string phrase;
  for (const std::string& slot : slots) phrase += slot;
  return phrase;
}

}  // namespace

std::string SearchPhrase(std::string_view line_words, int word_count, size_t draw_length,
                         const std::function<double()>& next_random) {
  if (word_count <= kPhraseSlots) return std::string(line_words);
  return DrawPhrase(line_words, draw_length, next_random);
}

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
