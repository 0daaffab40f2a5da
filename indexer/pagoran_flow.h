#ifndef INDEXER_PAGORAN_FLOW_H_
#define INDEXER_PAGORAN_FLOW_H_

#include <cstdint>

/// The whole run of pagoran, from the start-up dialogue to "processed 100%"; never returns.
/// `group_occurrences`: the most occurrences a page group holds (kGroupOccurrences).
[[noreturn]] void RunPagoran(const char* argv0, uint64_t group_occurrences);

#endif  // INDEXER_PAGORAN_FLOW_H_
