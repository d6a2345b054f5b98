#pragma once
// The command lines that start the batch print program, as argument vectors
// (each value one argument, so paths with blanks stay whole), and starting it.
#include <string>
#include <vector>

#include "platform/export.h"

namespace hv::batchprint {

// Local printing: "tessap32", then "-i" when invert is on or an empty
// argument when it is off, "-b", the list path.
HV_EXPORT std::vector<std::string> tessapLocalArguments(bool invert, const std::string& listPath);

// Printing through a print server: "tessap", "-i" or an empty argument, "-b",
// the list path, "-p", the server parameters (serverParameters below).
HV_EXPORT std::vector<std::string> tessapRemoteArguments(bool invert, const std::string& listPath,
                                                         const std::string& serverParameters);

// The "-p" value: "%s,%s,%s" of the server address text, the local host
// name and the "Reserved_1" option.
HV_EXPORT std::string serverParameters(const std::string& serverAddress, const std::string& hostName,
                                       const std::string& reserved);

// The batch print program to start: "tessap" beside the running executable
// when it is there and executable, else the first executable "tessap" on
// PATH; empty when neither exists.
HV_EXPORT std::string findTessap();

// Starts program with the arguments (arguments[0] is the name the program
// sees) without a shell, in a session of its own, and does not wait for it;
// no child is left for the caller to reap. Returns 0 when the program runs,
// else the errno of the failed start (ENOENT for a missing program).
HV_EXPORT int startDetached(const std::string& program, const std::vector<std::string>& arguments);

}  // namespace hv::batchprint
