#pragma once
// Submitting a batch to a print server: the job files, the batch print file
// list naming them, and the start of the batch print program. The dialogs
// that choose images and options are the caller's.
#include <cstdint>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "batchprint/print_options.h"
#include "platform/export.h"

namespace hv::batchprint {

// What a submission takes from its surroundings; tests replace parts.
struct SubmitEnvironment {
  std::string listFolder;                     // empty: the temporary directory
  std::optional<std::string> hostName;        // unset: NetApi_GetHostName
  std::optional<std::uint32_t> localAddress;  // unset: GetLocalAddress
  std::optional<std::tm> when;                // unset: the local time now
  // Starts the batch print program with the argument vector; returns 0 or
  // an errno. Unset: findTessap and startDetached. Not called when
  // startProgram is false.
  std::function<int(const std::vector<std::string>&)> start;
  bool startProgram = true;
};

enum class SubmitStatus {
  Started,         // job written, list closed, program started (or not asked to)
  NoImages,        // nothing selected
  BadServer,       // the server address is not an address
  ListFailed,      // the list file could not be created or written
  NoHostName,      // no local host name
  HeaderFailed,    // the header file could not be written
  NoImageWritten,  // not one image could be copied (the header is removed)
  TrailerFailed,   // the trailer could not be written
  NoJobName,       // all hundred job names of this second are taken
  StartFailed,     // the batch print program did not start
};

struct SubmitResult {
  SubmitStatus status = SubmitStatus::Started;
  std::string listPath;                   // kept only when status is Started
  std::vector<std::string> jobFiles;      // in list order
  std::vector<std::string> failedImages;  // images whose job file failed
  std::vector<std::string> arguments;     // the program's argument vector
  // For a failure: the text to show and its caption ("Batch Print Error").
  std::string message;
  std::string caption;
  bool ok() const { return status == SubmitStatus::Started; }
};

// Writes one job for images (in selection order) to the server at
// options.serverAddress: the header, an image job file per image (an image
// that cannot be copied is left out and reported, the rest still go), the
// trailer, and the list; then starts "tessap" with the remote command line.
// When the submission stops before the program started, the list is
// removed; job files already written stay.
HV_EXPORT SubmitResult submitRemoteJob(const std::vector<std::string>& images,
                                       const BatchPrintOptions& options,
                                       const SubmitEnvironment& environment = {});

// Local printing: the list of the images themselves and "tessap32" with the
// local command line. Status Started, ListFailed, NoImages or StartFailed.
HV_EXPORT SubmitResult submitLocalJob(const std::vector<std::string>& images,
                                      const BatchPrintOptions& options,
                                      const SubmitEnvironment& environment = {});

}  // namespace hv::batchprint
