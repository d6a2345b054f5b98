#pragma once
// "hvtool records DIR [--json]": lists the records of a folder's INDEX.HOL,
// JMX.HOL and DOCFILES.IDX.
#include <string>
#include <vector>

// args are the words after "records". Prints the report to standard output;
// returns 0, or non-zero with a message on standard error.
int hvtoolRecords(const std::vector<std::string>& args);
