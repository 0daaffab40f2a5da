#include "formulas/column_names.h"

long long ColumnNumber(const std::string& /*name*/) { return 0; }
std::string ColumnName(long long /*number*/) { return ""; }
