#include "indexer/consolidate.h"

void ConsolidateWordLists() {}
