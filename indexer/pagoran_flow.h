#ifndef INDEXER_PAGORAN_FLOW_H_
#define INDEXER_PAGORAN_FLOW_H_

/// The whole run of pagoran, from the start-up dialogue to "processed 100%"; never returns.
[[noreturn]] void RunPagoran(const char* argv0);

#endif  // INDEXER_PAGORAN_FLOW_H_
