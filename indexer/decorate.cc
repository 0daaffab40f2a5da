#include "indexer/decorate.h"

void DecoratePages(const IndexerRun& /*run*/) {}
