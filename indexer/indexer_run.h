#ifndef INDEXER_INDEXER_RUN_H_
#define INDEXER_INDEXER_RUN_H_

/// What the indexer's phases share besides the work files: the target address typed at
/// the start and the publisher parameters.

#include <string>

struct IndexerRun {
  std::string target_address;  // empty: web-search links are not restricted
  std::string charset = "UTF-8";
  std::string font_colour = "red";
  std::string font_size = "140%";
  int find_word = 1;  // 1: hidden find-word spans and inline display of the jump target
};

#endif  // INDEXER_INDEXER_RUN_H_
