#include "batchprint/remote_submit.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

#include "batchprint/job_files.h"
#include "batchprint/net_host.h"
#include "batchprint/print_list.h"
#include "batchprint/tessap_command.h"

namespace hv::batchprint {
namespace {

constexpr const char* kCaption = "Batch Print Error";
constexpr const char* kNoHostText = "Network is down or missing print server hostname!";

SubmitResult& fail(SubmitResult& r, SubmitStatus status, const std::string& message) {
  r.status = status;
  r.message = message;
  r.caption = kCaption;
  return r;
}

std::string folderOf(const std::string& path) { return path.substr(0, path.rfind('/') + 1); }

int startProgram(const SubmitEnvironment& env, const std::vector<std::string>& arguments) {
  if (env.start) return env.start(arguments);
  return startDetached(findTessap(), arguments);
}

// Starts the program with r.arguments on the closed list at listPath; the
// list is removed when the start fails.
SubmitResult& start(SubmitResult& r, const SubmitEnvironment& env, const std::string& listPath) {
  if (env.startProgram) {
    if (int e = startProgram(env, r.arguments); e != 0) {
      ::unlink(listPath.c_str());
      return fail(r, SubmitStatus::StartFailed, std::strerror(e));
    }
  }
  r.listPath = listPath;
  return r;
}

std::tm timeOf(const SubmitEnvironment& env) {
  if (env.when) return *env.when;
  std::time_t t = std::time(nullptr);
  std::tm tm{};
  ::localtime_r(&t, &tm);
  return tm;
}

}  // namespace

SubmitResult submitRemoteJob(const std::vector<std::string>& images, const BatchPrintOptions& options,
                             const SubmitEnvironment& env) {
  SubmitResult r;
  if (images.empty()) return fail(r, SubmitStatus::NoImages, {});
  const auto server = ParseAddress(options.serverAddress);
  if (!server) return fail(r, SubmitStatus::BadServer, kNoHostText);

  PrintListWriter list;
  if (!list.create(env.listFolder)) return fail(r, SubmitStatus::ListFailed, std::strerror(errno));

  std::string host;
  if (env.hostName) {
    host = *env.hostName;
  } else {
    char buffer[9];
    if (NetApi_GetHostName(buffer, sizeof buffer) > 0) host = buffer;
  }
  host = jobHostName(host);
  if (host.empty()) return fail(r, SubmitStatus::NoHostName, kNoHostText);

  const std::tm when = timeOf(env);
  const std::uint32_t local = env.localAddress ? *env.localAddress : GetLocalAddress();
  // The header claims the job's base name: it is created exclusively, so a
  // job that another process started in the same second moves on to the
  // next counter.
  std::string base;
  for (int attempt = 0; attempt < 100; ++attempt) {
    base = jobBaseName(folderOf(list.path()), when);
    if (base.empty()) return fail(r, SubmitStatus::NoJobName, "There is no free print job name for this second.");
    if (writeJobHeaderAt(headerFileName(base), host, local, *server, options.dataListName, when)) break;
    if (errno != EEXIST) return fail(r, SubmitStatus::HeaderFailed, std::strerror(errno));
    base.clear();
  }
  if (base.empty()) return fail(r, SubmitStatus::NoJobName, "There is no free print job name for this second.");
  const std::string header = headerFileName(base);
  if (!list.append(header)) return fail(r, SubmitStatus::ListFailed, std::strerror(errno));
  r.jobFiles.push_back(header);

  int written = 0;
  for (const std::string& image : images) {
    const std::string jobFile = imageFileName(base, written + 1);
    if (!WriteJobImage(written + 1, host, image, jobFile, options.copies, options.plotter, options.size,
                       options.dataListName)) {
      r.failedImages.push_back(image);
      continue;
    }
    ++written;
    r.jobFiles.push_back(jobFile);
    if (!list.append(jobFile)) return fail(r, SubmitStatus::ListFailed, std::strerror(errno));
  }

  if (written == 0) {
    ::unlink(header.c_str());
    return fail(r, SubmitStatus::NoImageWritten, "None of the selected images could be read.");
  }
  const std::string trailer = trailerFileName(base);
  if (!WriteJobTrailer(trailer, written)) return fail(r, SubmitStatus::TrailerFailed, std::strerror(errno));
  r.jobFiles.push_back(trailer);
  if (!list.append(trailer) || !list.close()) return fail(r, SubmitStatus::ListFailed, std::strerror(errno));

  r.arguments = tessapRemoteArguments(options.invert, list.path(),
                                      serverParameters(FormatAddress(*server), host, options.reserved1));
  return start(r, env, list.path());
}

SubmitResult submitLocalJob(const std::vector<std::string>& images, const BatchPrintOptions& options,
                            const SubmitEnvironment& env) {
  SubmitResult r;
  if (images.empty()) return fail(r, SubmitStatus::NoImages, {});
  PrintListWriter list;
  if (!list.create(env.listFolder)) return fail(r, SubmitStatus::ListFailed, std::strerror(errno));
  for (const std::string& image : images) {
    if (list.append(image)) continue;
    if (list.failed()) return fail(r, SubmitStatus::ListFailed, std::strerror(errno));
    r.failedImages.push_back(image);  // a name with a line break cannot be listed
  }
  if (!list.close()) return fail(r, SubmitStatus::ListFailed, std::strerror(errno));
  r.arguments = tessapLocalArguments(options.invert, list.path());
  return start(r, env, list.path());
}

}  // namespace hv::batchprint
