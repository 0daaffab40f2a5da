#include "indexer/occurrence_pages.h"

#include <cstdint>
#include <memory>
#include <vector>

#include "indexer/occurrence_walk.h"
#include "indexer/search_page.h"

namespace {

constexpr uint32_t kNoSpelling = UINT32_MAX;

}  // namespace

FirstOccurrences WriteSearchPageAndWordEntries(const IndexerRun& run, const WordLists& lists,
                                               const WordIds& ids, const NextPages& next_pages,
                                               PageDecoration* decoration,
                                               WordPageEntries* entries) {
  const uint32_t keys = lists.vocabulary.key_count();
  FirstOccurrences first{std::vector<uint32_t>(keys, kNoSpelling), std::vector<uint32_t>(keys, 0),
                         std::vector<uint64_t>(keys, 0)};
  // Each group's search page is a run of its own: its first line is written as the first
  // line of a search page is.
  uint32_t search_group = 1;
  auto search = std::make_unique<SearchPageWriter>(run, search_group);
  WalkOccurrences(lists, ids, next_pages, [&](const Occurrence& o, const WalkStep& step) {
    KeyState& k = *step.state;
    const uint32_t group = lists.pages[step.page].group;
    if (group != search_group) {
      search.reset();
      search_group = group;
      search = std::make_unique<SearchPageWriter>(run, search_group);
    }
    decoration->Take(step.page, static_cast<long long>(k.base + k.on_page), o);
    search->Add(o);
    if (k.entry_page != step.page) {
      k.entry_page = step.page;
      entries->Add({ids.rank[step.key], step.page, step.spelling, group, k.on_page,
                    static_cast<uint64_t>(o.number)});
      // A key's first occurrence always makes an entry, and each entry holds all of the
      // key's occurrences on its page.
      if (first.spelling[step.key] == kNoSpelling) {
        first.spelling[step.key] = step.spelling;
        first.group[step.key] = group;
      }
      if (first.group[step.key] == group) first.count[step.key] += k.on_page;
    }
  });
  return first;
}
