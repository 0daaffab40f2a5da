#ifndef INDEXER_INPUT_PAGES_H_
#define INDEXER_INPUT_PAGES_H_

/// The HTML files of htm_in that become the run's pages. htm_in is only read.

#include <string>
#include <vector>

/// Ends the program with status 1, naming the first input and the reason, when htm_in
/// cannot be listed or one of its pages cannot be read ("Cannot read htm_in/a.htm:
/// Permission denied"): a page read as empty would vanish from the index without a word.
/// A missing htm_in is no failure: the run makes it.
void RequireReadableInputs();

/// Lists the HTML files of htm_in, sorted by name, through the work files dir_02.txt and
/// dir_03.txt into the input list dir_01.txt; the publisher's promotion page and the names
/// this system reserves are left out, each of the latter with a line on the console. Gives
/// the inputs as listed, in page order.
std::vector<std::string> ListInputPages();

#endif  // INDEXER_INPUT_PAGES_H_
