#include "indexer/all_words.h"

void WriteAllWordsIndex(const IndexerRun& /*run*/) {}
