#include "indexer/decorate.h"

#include <algorithm>
#include <vector>

#include "common/text.h"
#include "indexer/html_blocks.h"
#include "indexer/html_pieces.h"

PageDecorator::PageDecorator(const IndexerRun& run, const std::string& page, const PageSource& text,
                             const PageLinks& links, uint32_t group, bool last_page)
    : run_(run),
      links_(links),
      group_(group),
      last_page_(last_page),
      source_(kPageTextFile),
      out_(page) {
  source_.Seek(text.begin, text.end);
}

long long PageDecorator::NextPiece() const {
  return std::max(previous_column_ + previous_length_, written_end_);
}

void PageDecorator::Take(const Occurrence& o, long long highest_on_page) {
  if (previous_line_ >= 0 && previous_line_ != o.line) {
    out_.WriteLine(ColumnsFrom(current_, NextPiece()));
  }
  while (line_count_ < o.line) {
    if (!source_.NextView(&current_)) current_ = {};  // past the end: empty lines
    ++line_count_;
    if (!body_seen_ && FirstFollowsLt(current_, "body", true)) {
      body_seen_ = true;
      WriteAll(&out_, HighlightScript(run_));
      WriteAll(&out_, PageNavigation(links_, false));
    }
    if (line_count_ < o.line) out_.WriteLine(current_);
    previous_column_ = 0;
    previous_length_ = 0;
    written_end_ = 1;
  }
  out_.WriteLine(
      ColumnRange(current_, previous_column_ == 0 ? written_end_ : NextPiece(), o.column));
  WriteOccurrenceLines(&out_, run_, o, highest_on_page, group_);
  previous_column_ = o.column;
  previous_length_ = static_cast<long long>(o.word.size());
  previous_line_ = o.line;
  written_end_ = std::max(written_end_, previous_column_ + previous_length_);
}

// The rest of the last word line, then the rest of the page with the bottom navigation
// before "</body>".
PageDecorator::~PageDecorator() {
  out_.WriteLine(ColumnsFrom(current_, NextPiece()));
  while (source_.NextView(&current_)) {
    if (ContainsCaseBlind(current_, "</body>"))
      WriteAll(&out_, PageNavigation(links_, !last_page_));
    out_.WriteLine(current_);
  }
  out_.Close();
}
