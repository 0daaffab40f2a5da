#include "indexer/word_extract.h"

void ExtractWords() {}
