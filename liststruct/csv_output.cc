#include "liststruct/csv_output.h"

void WriteHtmlBodyCopy() {}
void WriteCsv() {}
