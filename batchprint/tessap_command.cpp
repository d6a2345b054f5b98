#include "batchprint/tessap_command.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/exe_dir.h"

namespace hv::batchprint {

std::vector<std::string> tessapLocalArguments(bool invert, const std::string& listPath) {
  return {"tessap32", invert ? "-i" : "", "-b", listPath};
}

std::vector<std::string> tessapRemoteArguments(bool invert, const std::string& listPath,
                                               const std::string& serverParameters) {
  return {"tessap", invert ? "-i" : "", "-b", listPath, "-p", serverParameters};
}

std::string serverParameters(const std::string& serverAddress, const std::string& hostName,
                             const std::string& reserved) {
  return serverAddress + "," + hostName + "," + reserved;
}

namespace {

bool isExecutableFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

}  // namespace

std::string findTessap() {
  const std::string beside = platform::executableDir() + "tessap";
  if (isExecutableFile(beside)) return beside;
  const char* env = std::getenv("PATH");
  std::string path = env != nullptr ? env : "";
  std::size_t pos = 0;
  while (pos <= path.size()) {
    std::size_t end = path.find(':', pos);
    if (end == std::string::npos) end = path.size();
    const std::string dir = end > pos ? path.substr(pos, end - pos) : std::string(".");
    std::string candidate = dir + "/tessap";
    if (isExecutableFile(candidate)) return candidate;
    pos = end + 1;
  }
  return {};
}

int startDetached(const std::string& program, const std::vector<std::string>& arguments) {
  if (program.empty()) return ENOENT;
  // Everything the children need is prepared before fork: between fork and
  // exec only async-signal-safe calls run.
  std::vector<char*> argv;
  for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
  if (argv.empty()) argv.push_back(const_cast<char*>(program.c_str()));
  argv.push_back(nullptr);

  // The grandchild reports a failed exec through the pipe; a successful exec
  // closes it (close-on-exec) and the parent reads end of file.
  int report[2];
  if (::pipe2(report, O_CLOEXEC) != 0) return errno;
  pid_t child = ::fork();
  if (child < 0) {
    int e = errno;
    ::close(report[0]);
    ::close(report[1]);
    return e;
  }
  if (child == 0) {
    ::close(report[0]);
    ::setsid();
    pid_t grandchild = ::fork();
    if (grandchild < 0) {
      int e = errno;
      (void)!::write(report[1], &e, sizeof e);
      ::_exit(1);
    }
    if (grandchild == 0) {
      ::signal(SIGPIPE, SIG_DFL);
      ::execv(program.c_str(), argv.data());
      int e = errno;
      (void)!::write(report[1], &e, sizeof e);
      ::_exit(127);
    }
    ::_exit(0);
  }
  ::close(report[1]);
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  int error = 0;
  ssize_t got;
  do {
    got = ::read(report[0], &error, sizeof error);
  } while (got < 0 && errno == EINTR);
  ::close(report[0]);
  return got == static_cast<ssize_t>(sizeof error) ? error : 0;
}

}  // namespace hv::batchprint
