#ifndef INDEXER_HARD_LINKS_H_
#define INDEXER_HARD_LINKS_H_

/// Copies that cost no bytes, for files the indexer writes once and whose own names its
/// clean-up deletes later.

#include <string_view>

/// The end state of "copy {pattern} {folder}\ > {redirect}" for files that are not written
/// again and whose own names are deleted later: the folder gets hard links to them instead of
/// copies of their bytes. When nothing matches or the folder is missing, the command itself runs,
/// for its messages.
void CopyAsHardLinks(std::string_view pattern, std::string_view folder, std::string_view redirect);

#endif  // INDEXER_HARD_LINKS_H_
