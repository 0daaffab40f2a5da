#ifndef COMMON_INTERRUPT_H_
#define COMMON_INTERRUPT_H_

/// What happens when the user stops a run (Ctrl+C, a termination signal, a closed terminal
/// or console window): the run's own work files are deleted, one line on standard error
/// says what was kept, and the process ends with the status shells expect (130 for
/// Ctrl+C). Inputs and the result of the last finished run are never touched: new results
/// are made beside the old ones and put in their place in one step (see work_files.h).
///
/// Once a stop has begun, every other thread that goes to create, write, delete or rename
/// a file of the work directory waits for the end instead, so nothing new appears while
/// the work files are deleted.

#include <string_view>

/// Starts taking stop requests. Call once, before any other thread starts.
void WatchForInterrupts();

/// From now on a stop runs `clean_up` (which deletes the run's work files) and then says
/// `message`; before the first call, a stop changes nothing and says so.
void CleanUpOnInterrupt(void (*clean_up)(), std::string_view message);

/// While it lives, a stop waits: for steps that put a new result in place of the old one,
/// which must not be cut in half. A stop requested meanwhile happens when it ends.
class InterruptsHeld {
 public:
  InterruptsHeld();
  ~InterruptsHeld();
  InterruptsHeld(const InterruptsHeld&) = delete;
  InterruptsHeld& operator=(const InterruptsHeld&) = delete;
};

/// Waits for the end of the process when a stop has begun on another thread; returns at
/// once otherwise. The file layer calls it before each change to the work directory.
void WaitIfStopping();

#endif  // COMMON_INTERRUPT_H_
