#include "common/clock.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "common/platform.h"

namespace {

std::tm Now() {
  std::string epoch = platform::Environment("SOURCE_DATE_EPOCH");
  if (!epoch.empty()) {
    char* end = nullptr;
    long long seconds = std::strtoll(epoch.c_str(), &end, 10);
    if (end && *end == '\0') return platform::CalendarTime(seconds, true);
  }
  return platform::CalendarTime(static_cast<long long>(std::time(nullptr)), false);
}

}  // namespace

std::string CurrentDate() {
  std::tm parts = Now();
  char text[32];
  std::snprintf(text, sizeof text, "%02d-%02d-%04d", parts.tm_mon + 1, parts.tm_mday,
                parts.tm_year + 1900);
  return text;
}

std::string CurrentTime() {
  std::tm parts = Now();
  char text[32];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", parts.tm_hour, parts.tm_min, parts.tm_sec);
  return text;
}
