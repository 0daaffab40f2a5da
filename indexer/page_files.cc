#include "indexer/page_files.h"

void MakePageFiles() {}
