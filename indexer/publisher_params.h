#ifndef INDEXER_PUBLISHER_PARAMS_H_
#define INDEXER_PUBLISHER_PARAMS_H_

#include <string>

#include "indexer/indexer_run.h"

/// Writes publisher_para.txt with every offered value, reads it back into the parameter
/// table, shows the table as a numbered overview and clears the console at its end. Gives
/// the run's parameters: the (fixed) publisher parameters and `target_address`.
IndexerRun PublisherParameters(std::string target_address);

#endif  // INDEXER_PUBLISHER_PARAMS_H_
