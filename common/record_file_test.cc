#include "common/record_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "tests/test_util.h"

namespace {

struct Pair {
  unsigned key;
  unsigned order;  // place of the record in the input
};

struct ByKey {
  bool operator()(const Pair& a, const Pair& b) const {
    return a.key != b.key ? a.key < b.key : a.order < b.order;
  }
};

// Beyond the memory budget the records go through sorted run files and a merge; either
// way they come out in order, each once, and the run files are gone afterwards.
TEST(SortedRecords, InMemoryAndThroughRunFiles) {
  for (size_t count : {0u, 1000u, 1024u, 5000u}) {
    ScopedWorkDir dir;
    std::mt19937 random(static_cast<unsigned>(count));
    std::vector<Pair> input;
    for (unsigned i = 0; i < count; ++i)
      input.push_back({static_cast<unsigned>(random() % 300), i});
    std::vector<Pair> output;
    {
      SortedRecords<Pair, ByKey> sorted("run_", 1);  // 1024 records at most in memory
      for (const Pair& pair : input) sorted.Add(pair);
      EXPECT_EQ(count > 1024, PathExists("run_1.txt")) << count;
      sorted.ForEach([&](const Pair& pair) { output.push_back(pair); });
    }
    std::sort(input.begin(), input.end(), ByKey());
    ASSERT_EQ(input.size(), output.size()) << count;
    for (size_t i = 0; i < input.size(); ++i) {
      EXPECT_EQ(input[i].order, output[i].order) << count << " at " << i;
    }
    EXPECT_EQ(std::vector<std::string>{}, ListNames(".")) << count;
  }
}

// Records read back from any slice of their file, across the reader's chunks.
TEST(RecordReader, SlicesOfAFile) {
  ScopedWorkDir dir;
  {
    RecordWriter<Pair> out("pairs.txt");
    for (unsigned i = 0; i < 10000; ++i) out.Put({i * 7, i});
    EXPECT_EQ(10000u, out.count());
  }
  RecordReader<Pair> in("pairs.txt");
  for (auto [first, end] : {std::pair<size_t, size_t>{9990, 10000}, {0, 3}, {4000, 9000}}) {
    in.Seek(first, end);
    Pair pair;
    size_t at = first;
    while (in.Next(&pair)) {
      EXPECT_EQ(at, pair.order);
      EXPECT_EQ(at * 7, pair.key);
      ++at;
    }
    EXPECT_EQ(end, at);
  }
}

}  // namespace
