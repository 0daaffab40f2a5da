#ifndef INDEXER_WORK_FILE_LOCK_H_
#define INDEXER_WORK_FILE_LOCK_H_

#include <mutex>

/// While the pages are decorated by a second thread, every step that opens, creates,
/// deletes or renames a work file holds this lock: the folder cache behind the work-file
/// names is shared by the threads. Reading and writing open files needs no lock.
inline std::mutex& WorkFileLock() {
  static std::mutex lock;
  return lock;
}

#endif  // INDEXER_WORK_FILE_LOCK_H_
