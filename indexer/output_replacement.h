#ifndef INDEXER_OUTPUT_REPLACEMENT_H_
#define INDEXER_OUTPUT_REPLACEMENT_H_

/// The new output set takes the place of the last one only when it is whole, so that a run
/// that fails or is stopped leaves htm_out as it was: the set is made beside the last one,
/// and the two change places (the last one going aside on the way) in one step that a stop
/// waits for.

#include "indexer/word_lists.h"

/// A run killed without warning while the two sets changed places leaves one of them aside:
/// the last result goes back in place, or the old one goes as a finished run would.
void RecoverInterruptedReplacement();

/// Puts the pages and the index pages of the work directory into the new set, then the new
/// set and this run's occurrence tables (into wrd_24) in place of the last ones. The work
/// directory's pages are moved; its .htm files are the caller's to delete afterwards.
void PutNewOutputInPlace(const PageTexts& pages);

/// Deletes the new set of a run that is stopped before it is in place.
void DeleteNewOutputBeingMade();

#endif  // INDEXER_OUTPUT_REPLACEMENT_H_
