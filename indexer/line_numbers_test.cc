#include "indexer/line_numbers.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "common/record_file.h"
#include "tests/test_util.h"

namespace {

struct KeyCounts {
  uint64_t running = 0;
  uint64_t line_serial = 0;
};

// Occurrence, spelling and number as the line gives them out.
using Walked = std::vector<std::tuple<uint64_t, uint32_t, uint64_t>>;

// A line too long to hold is walked in two passes over its records; it comes out in the
// same order and with the same numbers as when held: several spellings of one key, columns
// past the field's width of six digits, where fields no longer compare as numbers, and keys
// that earlier lines have counted.
TEST(LongLine, WalksAsTheLineHeldInMemory) {
  ScopedWorkDir dir;
  Vocabulary vocabulary;
  const char* const words[] = {"the", "The", "THE", "the!", "then", "foo", "Foo", "fo", "x\x1f"};
  for (const char* word : words) vocabulary.Spelling(word);
  std::mt19937 random(7);
  std::vector<LineItem> line;
  RecordWriter<OccurrenceRecord> writer("records.txt");
  for (int i = 0; i < 40; ++i) writer.Put({1, 1, 0, 0});  // an earlier line's records
  uint64_t column = 1;
  for (int i = 0; i < 6000; ++i) {
    // Steps growing along the line, so that columns of every width from 1 to 9 digits come.
    column += 1 + random() % (i < 2000 ? 60 : i < 4000 ? 6000 : 300000);
    const auto spelling = static_cast<uint32_t>(random() % std::size(words));
    const uint32_t key = vocabulary.KeyOf(spelling);
    line.push_back({column, spelling, key, 0});
    writer.Put({2, column, spelling, key});
  }
  writer.Close();
  ASSERT_GT(column, 100000000u);

  std::vector<KeyCounts> held(vocabulary.key_count());
  for (uint32_t key = 0; key < held.size(); ++key) held[key].running = 3 * key;
  std::vector<KeyCounts> streamed = held;

  std::vector<uint32_t> order;
  NumberLine(vocabulary, 1, &line, &order, &held);
  DocumentOrder(line, &order);
  Walked expected;
  for (uint32_t i : order) expected.emplace_back(line[i].column, line[i].spelling, line[i].number);

  LongLine long_line(vocabulary, "records.txt");
  for (int round = 0; round < 2; ++round) {  // ready for the next line after each
    std::vector<KeyCounts> state = streamed;
    for (const LineItem& item : line) long_line.Count(item.column, item.spelling);
    Walked walked;
    long_line.Walk(40, &state, [&](const LineItem& item) {
      walked.emplace_back(item.column, item.spelling, item.number);
    });
    EXPECT_EQ(expected, walked);
    for (uint32_t key = 0; key < held.size(); ++key) {
      EXPECT_EQ(held[key].running, state[key].running) << key;
    }
  }
}

// Two fields whose digits agree as far as the narrower goes ("123456", "1234560") pad to the
// same number; the narrower comes first, as its text does.
TEST(LongLine, NarrowerOfTwoEqualPaddedFieldsFirst) {
  ScopedWorkDir dir;
  Vocabulary vocabulary;
  const uint32_t spelling = vocabulary.Spelling("word");
  const uint32_t key = vocabulary.KeyOf(spelling);
  LongLine line(vocabulary, "records.txt");
  {
    RecordWriter<OccurrenceRecord> writer("records.txt");
    for (uint64_t column : {123456u, 1234560u}) {
      writer.Put({1, column, spelling, key});
      line.Count(column, spelling);
    }
  }
  std::vector<KeyCounts> state(vocabulary.key_count());
  Walked walked;
  line.Walk(0, &state, [&](const LineItem& item) {
    walked.emplace_back(item.column, item.spelling, item.number);
  });
  EXPECT_EQ((Walked{{123456, spelling, 1}, {1234560, spelling, 2}}), walked);
}

}  // namespace
