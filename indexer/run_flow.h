#ifndef INDEXER_RUN_FLOW_H_
#define INDEXER_RUN_FLOW_H_

/// The whole run of pagoran, from the start-up dialogue to "processed 100%"; never returns.
[[noreturn]] void RunPagoran(const char* argv0);

#endif  // INDEXER_RUN_FLOW_H_
