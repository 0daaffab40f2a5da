#ifndef COMMON_CLOCK_H_
#define COMMON_CLOCK_H_

/// "Now" for the programs' date and time lines and time stamps: local time, or, when
/// SOURCE_DATE_EPOCH is set, that instant in UTC, so that a run can be reproduced.

#include <string>

/// "mm-dd-yyyy".
std::string CurrentDate();
/// "hh:mm:ss".
std::string CurrentTime();

#endif  // COMMON_CLOCK_H_
