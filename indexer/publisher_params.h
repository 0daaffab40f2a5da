#ifndef INDEXER_PUBLISHER_PARAMS_H_
#define INDEXER_PUBLISHER_PARAMS_H_

#include "indexer/indexer_run.h"

/// Writes publisher_para.txt with every offered value, reads it back into the parameter
/// table, shows the table as a numbered overview and sets the (fixed) parameters of `run`;
/// clears the console at its end.
void SetPublisherParameters(IndexerRun* run);

#endif  // INDEXER_PUBLISHER_PARAMS_H_
