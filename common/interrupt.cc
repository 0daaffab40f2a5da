#include "common/interrupt.h"

#include <atomic>
#include <mutex>
#include <string>
#include <thread>

#include "common/console.h"
#include "common/platform.h"

namespace {

std::mutex g_mutex;  // held by a stop, and while interrupts are held off
void (*g_clean_up)() = nullptr;
std::string g_message = "Stopped; nothing was changed.";
std::atomic<bool> g_stopping{false};
std::thread::id g_stopper;

void OnInterrupt(int signal) {
  // Waits for a result that is being put in place, so that it is there whole.
  std::lock_guard<std::mutex> lock(g_mutex);
  g_stopper = std::this_thread::get_id();
  g_stopping = true;
  platform::RestoreTerminal();
  if (g_clean_up != nullptr) g_clean_up();
  PrintError(g_message);
  platform::EndAfterInterrupt(signal);
}

}  // namespace

void WatchForInterrupts() { platform::WatchInterrupts(OnInterrupt); }

void CleanUpOnInterrupt(void (*clean_up)(), std::string_view message) {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_clean_up = clean_up;
  g_message = message;
}

InterruptsHeld::InterruptsHeld() { g_mutex.lock(); }
InterruptsHeld::~InterruptsHeld() { g_mutex.unlock(); }

void WaitIfStopping() {
  if (g_stopping && std::this_thread::get_id() != g_stopper) platform::WaitForever();
}
