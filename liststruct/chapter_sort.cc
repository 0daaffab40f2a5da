#include "liststruct/chapter_sort.h"

#include <algorithm>

#include "common/cmd_interpreter.h"
#include "common/console.h"
#include "common/line_files.h"
#include "common/record_file.h"
#include "common/text.h"
#include "common/work_files.h"

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string ChapterMark(long long number) { return std::to_string(number) + ". "; }

// Walks the list as passes 2 to 4 do: the expected mark starts at "1. " and advances each
// time a line starts with it.
class ExpectedMark {
 public:
  bool Matches(std::string_view trimmed) const { return StartsWith(trimmed, mark_); }
  void Advance() { mark_ = ChapterMark(++number_); }
  long long number() const { return number_; }
  const std::string& mark() const { return mark_; }

 private:
  long long number_ = 1;
  std::string mark_ = "1. ";
};

}  // namespace

bool IsTopLevelChapterLine(std::string_view trimmed) {
  size_t blank = trimmed.find(' ');
  if (blank == std::string_view::npos) return false;
  std::string_view first_word = trimmed.substr(0, blank);
  size_t stop = first_word.find('.');
  return stop != std::string_view::npos && stop + 1 == first_word.size();
}

long long RenumberTopLevelChapters(std::string_view in, std::string_view out) {
  LineReader reader(in);
  LineWriter writer(out);
  long long count = 0;
  std::string line;
  bool first = true;
  while (reader.Next(&line)) {
    std::string_view text = line;
    if (first && StartsWith(text, kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
    first = false;
    std::string_view trimmed = TrimSpaces(text);
    if (!IsTopLevelChapterLine(trimmed)) {
      writer.WriteLine(trimmed);
      continue;
    }
    ++count;
    writer.WriteLine(std::to_string(count) + std::string(trimmed.substr(trimmed.find('.'))));
  }
  return count;
}

size_t NormaliseBlankLines(std::string_view in, std::string_view out) {
  LineReader reader(in);
  LineWriter writer(out);
  ExpectedMark expected;
  size_t longest = 0;
  int empty_run = 0;
  std::string line;
  while (reader.Next(&line)) {
    std::string_view trimmed = TrimSpaces(line);
    if (trimmed.size() > longest) longest = trimmed.size();
    if (expected.Matches(trimmed)) {
      expected.Advance();
      if (empty_run == 0) writer.WriteLine("");
    }
    if (trimmed.empty() && ++empty_run >= 2) continue;
    writer.WriteLine(trimmed);
    if (!trimmed.empty()) empty_run = 0;
  }
  return longest;
}

std::string SortRecord(std::string_view title, long long number, size_t width) {
  std::string padded(title);
  if (padded.size() < width) padded.append(width - padded.size(), ' ');
  return QuotedRecord({padded, RightAlign(std::to_string(number) + ".", 11)});
}

long long SortRecordNumber(std::string_view record) {
  size_t close = record.rfind('"');
  if (close == std::string_view::npos || close == 0) return 0;
  size_t open = record.rfind('"', close - 1);
  if (open == std::string_view::npos) return 0;
  std::string_view field = TrimSpaces(record.substr(open + 1, close - open - 1));
  // Only the number as pass 3 wrote it ("12.") names a chapter.
  if (field.size() < 2 || field.size() > 19 || field.back() != '.' || field[0] == '0') return 0;
  long long number = 0;
  for (char c : field.substr(0, field.size() - 1)) {
    if (c < '0' || c > '9') return 0;
    number = number * 10 + (c - '0');
  }
  return number;
}

void WriteSortRecords(std::string_view list, std::string_view records, size_t width) {
  LineReader reader(list);
  LineWriter writer(records);
  ExpectedMark expected;
  std::string line;
  while (reader.Next(&line)) {
    std::string_view trimmed = TrimSpaces(line);
    if (!expected.Matches(trimmed)) continue;
    std::string_view title = TrimSpaces(trimmed.substr(expected.mark().size()));
    writer.WriteLine(SortRecord(title, expected.number(), width));
    expected.Advance();
  }
}

std::vector<std::string> ReassemblyProgress(long long k, long long n) {
  // floor(n × tenths / 10) in whole numbers, so that no rounding moves a line.
  static constexpr int kTenths[] = {8, 6, 4, 2, 1};
  std::vector<std::string> lines;
  for (int tenths : kTenths) {
    if (k == n * tenths / 10) lines.push_back("processed " + std::to_string(tenths * 10) + "%");
  }
  return lines;
}

void ReassembleChapters(std::string_view sorted_records, std::string_view list,
                        std::string_view out, long long chapter_count) {
  // Where each chapter's heading begins in the list, chapter k at record k - 1, so that the
  // chapters are found again without a scan from the top per chapter, and the list is never
  // held in memory.
  constexpr char kChapterStarts[] = "list_chapters_at.tmp";
  size_t chapters = 0;
  {
    RecordWriter<long long> starts(kChapterStarts);
    LineReader reader(list);
    ExpectedMark expected;
    std::string_view line;
    long long offset = reader.Offset();
    while (reader.NextView(&line)) {
      if (expected.Matches(TrimSpaces(line))) {
        starts.Put(offset);
        expected.Advance();
      }
      offset = reader.Offset();
    }
    chapters = starts.count();
  }
  {
    RecordReader<long long> starts(kChapterStarts);
    LineReader lines(list);
    LineReader records(sorted_records);
    LineWriter writer(out);
    std::string record;
    std::string line;
    long long k = 0;
    while (records.Next(&record)) {
      ++k;
      for (const std::string& progress : ReassemblyProgress(k, chapter_count)) PrintLine(progress);
      long long wanted = SortRecordNumber(record);
      if (wanted < 1 || static_cast<size_t>(wanted) > chapters) continue;
      size_t index = static_cast<size_t>(wanted) - 1;
      long long start = 0;
      long long end = -1;  // the last chapter runs to the end of the list
      starts.Seek(index, std::min(index + 2, chapters));
      starts.Next(&start);
      starts.Next(&end);
      lines.Seek(start, end);
      if (!lines.Next(&line)) continue;
      std::string_view title = TrimSpaces(TrimSpaces(line).substr(ChapterMark(wanted).size()));
      writer.WriteLine(ChapterMark(k) + std::string(title));
      while (lines.Next(&line)) writer.WriteLine(TrimSpaces(line));
    }
  }
  DeleteWorkFile(kChapterStarts);
}

long long SortTopLevelChapters() {
  long long chapter_count = RenumberTopLevelChapters("list_01.txt", "list_02.txt");
  PrintLine();
  PrintLine("File has = " + SignedNumber(chapter_count) + " chapters");
  RunCommand("copy list_02.txt list_01.txt > out_null.txt");
  size_t width = NormaliseBlankLines("list_01.txt", "list_02.txt");
  PrintLine("processed 1%");
  WriteSortRecords("list_02.txt", "list_chapters_input.txt", width);
  RunCommand("sort list_chapters_input.txt /o list_chapters_sort.txt");
  ReassembleChapters("list_chapters_sort.txt", "list_02.txt", "list_03.txt", chapter_count);
  return chapter_count;
}
