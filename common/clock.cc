#include "common/clock.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

std::tm Now() {
  std::tm parts{};
  const char* epoch = std::getenv("SOURCE_DATE_EPOCH");
  if (epoch && *epoch) {
    char* end = nullptr;
    long long seconds = std::strtoll(epoch, &end, 10);
    if (end && *end == '\0') {
      std::time_t when = static_cast<std::time_t>(seconds);
      gmtime_r(&when, &parts);
      return parts;
    }
  }
  std::time_t when = std::time(nullptr);
  localtime_r(&when, &parts);
  return parts;
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
