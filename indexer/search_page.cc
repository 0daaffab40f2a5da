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
#include <utility>
#include <vector>

#include "common/config.h"
#include "common/html_text.h"
#include "common/line_files.h"
#include "common/text.h"
#include "common/work_files.h"
#include "indexer/html_pieces.h"

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

// Text collected in memory up to a size, then in a work file of its own, so that a very
// long line (a whole book on one line) is not held in memory.
class SpillingText {
 public:
  explicit SpillingText(const char* file_name) : file_name_(file_name) {}
  void append(std::string_view text) {
    size_ += text.size();
    if (spill_) {
      spill_->Write(text);
      return;
    }
    if (memory_.size() + text.size() < kSpillSize) {
      memory_ += text;
      return;
    }
    spill_ = std::make_unique<LineWriter>(file_name_);
    spill_->Write(memory_);
    memory_ = std::string();
    spill_->Write(text);
  }
  size_t size() const { return size_; }
  bool Spilled() const { return spill_ != nullptr; }
  // The text, where it is not spilled.
  const std::string& Memory() const { return memory_; }
  void Clear() {
    memory_.clear();
    size_ = 0;
    if (spill_) {
      spill_.reset();
      DeleteWorkFile(file_name_);
    }
  }
  // The spilled text, after its last append.
  std::unique_ptr<LineReader> ReadBack() {
    spill_->Close();
    return std::make_unique<LineReader>(file_name_);
  }
  void WriteTo(LineWriter* out) {
    if (!spill_) {
      out->Write(memory_);
      return;
    }
    std::unique_ptr<LineReader> in = ReadBack();
    std::string chunk;
    while (in->NextChunk(&chunk)) out->Write(chunk);
  }

 private:
  static constexpr size_t kSpillSize = 1 << 20;
  const char* file_name_;
  std::string memory_;
  size_t size_ = 0;
  std::unique_ptr<LineWriter> spill_;
};

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

// Writes `text` to `out` encoded as SearchQueryPart encodes it.
void WriteSearchQuery(LineWriter* out, std::string_view text, QueryText kind);

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

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }
bool IsAsciiAlnum(char c) { return IsAsciiLetter(c) || IsAsciiDigit(c); }

// The value of a decimal or (with `hex`) hexadecimal digit; -1 for any other byte.
int DigitValue(char c, bool hex) {
  if (IsAsciiDigit(c)) return c - '0';
  char lower = static_cast<char>(c | 0x20);
  if (hex && lower >= 'a' && lower <= 'f') return lower - 'a' + 10;
  return -1;
}

// The characters that would end the href or change the query where they stand for
// themselves: the URL parser drops tabs and line ends, '#' starts the fragment, '&'
// separates fields, '+' reads as a blank and '%' starts an escape.
bool NeedsEscape(unsigned long code) {
  switch (code) {
    case '"':
    case '#':
    case '%':
    case '&':
    case '+':
    case '\t':
    case '\n':
    case '\r':
      return true;
    default:
      return false;
  }
}

// The escape of a character, "%" and two hex digits, in `text`.
std::string_view Escape(unsigned long code, char (&text)[3]) {
  constexpr char kHex[] = "0123456789ABCDEF";
  text[0] = '%';
  text[1] = kHex[(code >> 4) & 15];
  text[2] = kHex[code & 15];
  return std::string_view(text, 3);
}

// The names a browser also reads without ';' (the older HTML entities), in byte order.
constexpr std::string_view kNamesWithoutSemicolon[] = {
    "AElig",  "AMP",    "Aacute", "Acirc",  "Agrave", "Aring",  "Atilde", "Auml",   "COPY",
    "Ccedil", "ETH",    "Eacute", "Ecirc",  "Egrave", "Euml",   "GT",     "Iacute", "Icirc",
    "Igrave", "Iuml",   "LT",     "Ntilde", "Oacute", "Ocirc",  "Ograve", "Oslash", "Otilde",
    "Ouml",   "QUOT",   "REG",    "THORN",  "Uacute", "Ucirc",  "Ugrave", "Uuml",   "Yacute",
    "aacute", "acirc",  "acute",  "aelig",  "agrave", "amp",    "aring",  "atilde", "auml",
    "brvbar", "ccedil", "cedil",  "cent",   "copy",   "curren", "deg",    "divide", "eacute",
    "ecirc",  "egrave", "eth",    "euml",   "frac12", "frac14", "frac34", "gt",     "iacute",
    "icirc",  "iexcl",  "igrave", "iquest", "iuml",   "laquo",  "lt",     "macr",   "micro",
    "middot", "nbsp",   "not",    "ntilde", "oacute", "ocirc",  "ograve", "ordf",   "ordm",
    "oslash", "otilde", "ouml",   "para",   "plusmn", "pound",  "quot",   "raquo",  "reg",
    "sect",   "shy",    "sup1",   "sup2",   "sup3",   "szlig",  "thorn",  "times",  "uacute",
    "ucirc",  "ugrave", "uml",    "uuml",   "yacute", "yen",    "yuml"};
static_assert(std::ranges::is_sorted(kNamesWithoutSemicolon));

// The character reference at the start of `text` (which starts with '&'), as the browser
// reads one inside an attribute: its length, and in `code` the character it stands for
// where that matters (0 for the others). Zero length: the '&' stands for itself.
size_t ReferenceAt(std::string_view text, unsigned long* code) {
  *code = 0;
  size_t at = 1;
  if (at < text.size() && text[at] == '#') {
    bool hex = at + 1 < text.size() && (text[at + 1] == 'x' || text[at + 1] == 'X');
    at += hex ? 2 : 1;
    size_t digits = at;
    unsigned long value = 0;
    for (int digit; at < text.size() && (digit = DigitValue(text[at], hex)) >= 0; ++at) {
      value = std::min(value * (hex ? 16 : 10) + static_cast<unsigned long>(digit), 0x110000UL);
    }
    if (at == digits) return 0;
    if (at < text.size() && text[at] == ';') ++at;
    *code = value;
    return at;
  }
  if (at >= text.size() || !IsAsciiLetter(text[at])) return 0;
  while (at < text.size() && IsAsciiAlnum(text[at])) ++at;
  std::string_view name = text.substr(1, at - 1);
  if (at < text.size() && text[at] == ';') {
    static constexpr std::pair<std::string_view, char> kNamed[] = {
        {"amp", '&'},    {"AMP", '&'},  {"num", '#'},     {"plus", '+'},
        {"percnt", '%'}, {"Tab", '\t'}, {"NewLine", '\n'}};
    for (const auto& [known, stands_for] : kNamed) {
      if (name == known) *code = static_cast<unsigned char>(stands_for);
    }
    return at + 1;
  }
  // Without ';' the browser takes the longest of these names that the text begins with, and
  // inside an attribute leaves it as typed when a letter, digit or '=' follows: so only a
  // whole run of letters and digits that is one of them, not followed by '=', is decoded.
  if (!std::ranges::binary_search(kNamesWithoutSemicolon, name) ||
      (at < text.size() && text[at] == '=')) {
    return 0;
  }
  if (name == "amp" || name == "AMP") *code = '&';
  return at;
}

// The bytes that end a run of bytes written as they stand.
constexpr std::array<bool, 256> kStopsRun = [] {
  std::array<bool, 256> stops{};
  for (unsigned char c : {'"', '#', '%', '&', '+', '\t', '\n', '\r'}) stops[c] = true;
  return stops;
}();

// Encodes `text`, giving the result to `append` in pieces: runs of bytes as they stand,
// escapes and references.
template <typename Append>
void EncodeQuery(std::string_view text, QueryText kind, Append append) {
  char escape[3];
  size_t i = 0;
  while (i < text.size()) {
    size_t run = i;
    while (run < text.size() && !kStopsRun[static_cast<unsigned char>(text[run])]) ++run;
    if (run > i) append(text.substr(i, run - i));
    if (run == text.size()) return;
    i = run;
    const char c = text[i];
    if (c == '&' && kind == QueryText::kMarkup) {
      unsigned long code = 0;
      size_t length = ReferenceAt(text.substr(i), &code);
      if (length > 0) {
        // A '"' that a reference stands for no longer ends the attribute.
        if (code != '"' && NeedsEscape(code)) {
          append(Escape(code, escape));
        } else {
          append(text.substr(i, length));
        }
        i += length;
        continue;
      }
    }
    append(Escape(static_cast<unsigned char>(c), escape));
    ++i;
  }
}

void WriteSearchQuery(LineWriter* out, std::string_view text, QueryText kind) {
  EncodeQuery(text, kind, [out](std::string_view piece) { out->Write(piece); });
}

}  // namespace

std::string SearchQueryPart(std::string_view text, QueryText kind) {
  std::string out;
  out.reserve(text.size());
  EncodeQuery(text, kind, [&out](std::string_view piece) { out += piece; });
  return out;
}

namespace {

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
