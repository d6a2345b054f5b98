#pragma once
// Faults put into the steps of a file rewrite (platform/atomic_file.h) while
// a guard is alive: a chosen step fails with a chosen errno, or the process
// ends there, and every step seen is recorded.
#include <cerrno>
#include <vector>

#include "platform/atomic_file.h"

namespace hv::test {

// Fails the step with number failAt (counting from 0 over everything the
// guard sees) with err, or ends the process there when kill is set.
struct StepFault {
  int failAt = -1;
  int err = EIO;
  bool kill = false;
  int seen = 0;
  std::vector<hv::platform::RewriteStep> steps;
};

// The hook itself, for a child process that installs it without a guard.
int stepFaultHook(hv::platform::RewriteStep step, void* stepFault);

class StepFaultGuard {
 public:
  explicit StepFaultGuard(StepFault* fault);
  ~StepFaultGuard();
  StepFaultGuard(const StepFaultGuard&) = delete;
  StepFaultGuard& operator=(const StepFaultGuard&) = delete;
};

}  // namespace hv::test
