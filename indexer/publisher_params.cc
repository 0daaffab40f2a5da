#include "indexer/publisher_params.h"

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "common/console.h"
#include "common/line_files.h"
#include "common/text.h"

namespace {

constexpr char kParameterFile[] = "publisher_para.txt";

const char* const kCodePages[][2] = {
    {"Windows-1250",
     "Central Europe languages: Albanian, Croatian, Czech, Hungarian, Polish, Romanian, Serbian "
     "(Latin), Slovak, Slovenian"},
    {"Windows-1251",
     "Cyrillic languages: Azeri, Belarusian, Bulgarian, Macedonian, Kazakh, Kyrgyz, Mongolian, "
     "Russian, Serbian, Tatar, Ukrainian, Uzbek"},
    {"Windows-1252",
     "Latin 1 languages: Afrikaans, Basque, Catalan, Danish, Dutch, English, Faroese, Finnish, "
     "French, Galician, German, Icelandic, Indonesian, Italian, Malay, Norwegian, Portuguese, "
     "Spanish, Swahili, Swedish"},
    {"Windows-1253", "Greek"},
    {"Windows-1254", "Turkic languages: Azeri (Latin), Turkish, Uzbek (Latin)"},
    {"Windows-1255", "Hebrew"},
    {"Windows-1256", "Arabic, Farsi, Urdu"},
    {"Windows-1257", "Baltic languages: Estonian, Latvian, Lithuanian"},
    {"Windows-1258", "Vietnamese"},
    {"Windows-54936", "China"},
    {"Windows-65001", "Unicode"},
};

void WriteParameterFile() {
  LineWriter out(kParameterFile);
  out.WriteLine("====== CODE PAGE ======");
  for (const auto& page : kCodePages) {
    out.WriteLine(page[0]);
    out.WriteLine(page[1]);
  }
  out.WriteLine("====== FONT COLOR ======");
  for (const char* colour : {"black", "blue", "brown", "chartreuse", "coral", "forestgreen",
                             "green", "coralyellow", "red"}) {
    out.WriteLine(colour);
  }
  out.WriteLine("====== FONT SIZE ======");
  for (const char* size : {"60%", "80%", "100%", "120%", "140%", "160%", "180%", "200%"}) {
    out.WriteLine(size);
  }
  out.WriteLine("====== FIND WORD MENU ======");
  out.WriteLine("yes");
  out.WriteLine("no");
}

struct ParameterRow {
  std::string entry;
  std::string description = " ";
  std::string marker = "   ";
};

void PrintRow(size_t number, const ParameterRow& row) {
  Print(SignedNumber(static_cast<long long>(number)));
  PrintTab();
  Print(row.entry);
  PrintTab();
  Print(row.description);
  PrintTab();
  Print(row.marker);
  PrintLine();
}

}  // namespace

IndexerRun PublisherParameters(std::string target_address) {
  WriteParameterFile();

  // The file is read back as a user-editable table would be: its code-page pairs are counted
  // up to the font-colour section.
  LineReader reader(kParameterFile);
  std::string line;
  long long line_count = 0, pair_count = 0;
  bool colours_seen = false;
  while (reader.Next(&line)) {
    ++line_count;
    if (Contains(LowerAscii(line), "font color")) colours_seen = true;
    if (!colours_seen) pair_count = std::llround(static_cast<double>(line_count - 1) / 2);
  }
  long long row_count = line_count - pair_count;
  PrintLine();
  PrintLine("====== OVERVIEW/SELECT PARAMETERS ======");
  PrintLine();

  reader.Rewind();
  std::vector<ParameterRow> rows;
  while (static_cast<long long>(rows.size()) < row_count && reader.Next(&line)) {
    rows.push_back({line});
    PrintRow(rows.size(), rows.back());
    if (!Contains(LowerAscii(line), "code page")) continue;
    for (long long pair = 0; pair < pair_count; ++pair) {
      ParameterRow page;
      reader.Next(&page.entry);
      reader.Next(&page.description);
      rows.push_back(page);
      PrintRow(rows.size(), rows.back());
    }
  }

  IndexerRun run;
  run.target_address = std::move(target_address);
  run.charset = "UTF-8";
  run.font_colour = "red";
  run.font_size = "140%";
  run.find_word = 1;
  ClearConsole();
  return run;
}
