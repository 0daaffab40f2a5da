#include "indexer/word_extract.h"

#include <algorithm>
#include <memory>

#include "common/line_files.h"
#include "common/record_file.h"
#include "common/text.h"

namespace {

constexpr size_t kNoColumn = 0;
constexpr double kLargestScannedLink = 2000;
constexpr size_t kMinimumWordLength = 3;

// 1-based column of the first `part` (in lower case) in `text` in any letter case,
// kNoColumn when absent. Found in place: a lower-cased copy of a long line would cost its
// size again.
size_t FirstColumn(std::string_view text, std::string_view part) {
  size_t at = FindCaseBlind(text, part);
  return at == std::string_view::npos ? kNoColumn : at + 1;
}

// The number at `column` onwards (1-based); text past the end or not a number gives 0.
double NumberAt(std::string_view text, size_t column) {
  if (column > text.size()) return 0;
  return NumericPrefix(text.substr(column - 1));
}

// The filters that drop a line whole: script and style blocks, links to numbered targets
// above 2000 and look_at lines ahead of any link.
bool SkippedByFilters(std::string_view line, ScanState* state) {
  if (InScriptOrStyleBlock(line, &state->blocks)) return true;
  size_t href = FirstColumn(line, "href=");
  double target = 0;
  if (href != kNoColumn) {
    target = NumberAt(line, href + 7);
  } else {
    href = FirstColumn(line, "href =");
    if (href != kNoColumn) target = NumberAt(line, href + 8);
  }
  if (target > kLargestScannedLink) return true;
  size_t look_at = FirstColumn(line, "look_at:");
  return look_at != kNoColumn && look_at < href;
}

// Runs through the tags of the line, carrying a tag left open by an earlier line. False
// when the line lies wholly inside a tag.
bool FindTagsIn(std::string_view line, ScanState* state, LineTags* tags) {
  size_t search = 0;  // 0-based position where the next '<' is looked for
  *tags = LineTags();
  if (state->open_tag) {
    size_t close = line.find('>');
    if (close == std::string_view::npos) return false;
    tags->carried_end = close + 1;
    state->open_tag = false;
    search = close + 1;
  }
  const bool carried = tags->carried_end != 0;
  while (true) {
    size_t open = line.find('<', search);
    if (open == std::string_view::npos) return true;
    size_t close = line.find('>', open + 1);
    if (close == std::string_view::npos) {
      state->open_tag = true;
      // A line that is one unclosed tag from its first column on is skipped.
      return carried || open > 0;
    }
    search = close + 1;
  }
}

// The tags of a line in column order, as 1-based columns, found one after the other.
class TagCursor {
 public:
  TagCursor(std::string_view line, const LineTags& tags) : line_(line) {
    if (tags.carried_end == 0) {
      Advance();
      return;
    }
    start_ = 1;
    end_ = search_ = tags.carried_end;
  }
  bool valid() const { return start_ != 0; }
  size_t start() const { return start_; }
  size_t end() const { return end_; }
  void Advance() {
    size_t open = line_.find('<', search_);
    if (open == std::string_view::npos) {
      start_ = 0;
      return;
    }
    size_t close = line_.find('>', open + 1);
    start_ = open + 1;
    end_ = close == std::string_view::npos ? line_.size() : close + 1;
    search_ = end_;
  }

 private:
  std::string_view line_;
  size_t start_ = 0;  // 0 past the last tag
  size_t end_ = 0;
  size_t search_ = 0;  // 0-based position where the next '<' is looked for
};

// Cleans the text of columns `from`..`to` of its quotes and keeps it when long enough.
void TakeWord(std::string_view line, size_t from, size_t to,
              const std::function<void(const FoundWord&)>& on_word) {
  if (from > to) return;
  std::string_view text = line.substr(from - 1, to - from + 1);
  if (!text.empty() && text.front() == '"') {
    text.remove_prefix(1);
    ++from;
  }
  if (!text.empty() && text.back() == '"') text.remove_suffix(1);
  if (text.size() < kMinimumWordLength) return;
  FoundWord found{std::string(text), from};
  for (char& c : found.word) {
    if (c == '"') c = '\'';
  }
  on_word(found);
}

}  // namespace

// Walks columns 1..L with the markers of the last '<', '>' and free space, taking the
// words that free spaces, tag starts and the line end close.
void ScanLineWords(std::string_view line, const LineTags& tags,
                   const std::function<void(const FoundWord&)>& on_word) {
  size_t length = line.size();
  size_t first_href = FirstColumn(line, "href=");
  size_t lt = 0, gt = 0, sp = 0, prev = 0;
  TagCursor tag(line, tags);  // the first tag that does not end before the current column
  for (size_t i = 1; i <= length; ++i) {
    while (tag.valid() && tag.end() < i) tag.Advance();
    bool in_span = tag.valid() && tag.start() <= i;
    if (in_span && tag.start() < i && i < tag.end()) {
      i = tag.end() - 1;  // nothing happens inside a tag
      continue;
    }
    bool tag_start = in_span && tag.start() == i;
    bool free_space = !in_span && line[i - 1] == ' ';
    if (tag_start) lt = i;
    if (in_span && tag.end() == i) gt = i;
    if (free_space) sp = i;

    if (free_space) {
      if (prev < i && lt == 0 && gt == 0) {
        TakeWord(line, prev + 1, i - 1, on_word);
      } else if (lt < i && gt < i && lt < gt && prev < lt) {
        TakeWord(line, gt + 1, i - 1, on_word);
      } else if (prev < i && lt < gt && gt < prev) {
        TakeWord(line, prev + 1, i - 1, on_word);
      }
    }
    if (tag_start) {
      if (gt < lt && prev < gt && sp < gt) {
        // Text that follows a link's opening tag ends the line's words.
        if (first_href != kNoColumn && first_href < gt) return;
        TakeWord(line, gt + 1, i - 1, on_word);
      } else if (gt < sp && sp < lt) {
        TakeWord(line, sp + 1, i - 1, on_word);
      }
    }
    if (i == length) {
      if (sp < lt && lt < gt) {
        TakeWord(line, gt + 1, length, on_word);
      } else if (gt < sp && sp < length) {
        TakeWord(line, sp + 1, length, on_word);
      } else if (lt == 0 && gt == 0 && prev == 0 && sp == 0) {
        TakeWord(line, 1, length, on_word);
      }
    }
    if (free_space) prev = sp;
  }
}

bool FindLineTags(std::string_view line, ScanState* state, LineTags* tags) {
  if (SkippedByFilters(line, state)) return false;
  return FindTagsIn(line, state, tags);
}

WordLists ExtractWords(const NextPageText& next_page) {
  WordLists lists;
  lists.occurrence_file = kOccurrenceFile;
  RecordWriter<OccurrenceRecord> records(lists.occurrence_file);
  // The pages' texts stand one after the other in one file, read by one reader from range
  // to range; it is opened with the first page, once that page's text stands.
  std::unique_ptr<LineReader> reader;
  ScanState state;
  std::string_view line;
  LineTags tags;
  std::string page;
  PageSource text;
  while (next_page(&page, &text)) {
    if (!reader) reader = std::make_unique<LineReader>(kPageTextFile);
    reader->Seek(text.begin, text.end);
    PageWords words{page, text, records.count()};
    state.ResetForPage();
    uint64_t line_number = 0;
    while (reader->NextView(&line)) {
      ++line_number;
      if (!FindLineTags(line, &state, &tags)) continue;
      ScanLineWords(line, tags, [&](const FoundWord& word) {
        uint32_t spelling = lists.vocabulary.Spelling(word.word);
        uint32_t key = lists.vocabulary.KeyOf(spelling);
        if (key == Vocabulary::kNotFiled) return;
        if (key >= lists.key_count.size()) lists.key_count.resize(key + 1, 0);
        ++lists.key_count[key];
        records.Put({line_number, word.start_column, spelling, key});
      });
    }
    words.count = records.count() - words.first;
    if (words.count > 0) lists.pages.push_back(std::move(words));
  }
  lists.total = records.count();
  lists.key_count.resize(lists.vocabulary.key_count(), 0);
  return lists;
}
