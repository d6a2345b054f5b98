#include "tests/support/rewrite_faults.h"

#include <unistd.h>

namespace hv::test {

int stepFaultHook(hv::platform::RewriteStep step, void* stepFault) {
  auto* f = static_cast<StepFault*>(stepFault);
  f->steps.push_back(step);
  if (f->seen++ != f->failAt) return 0;
  if (f->kill) ::_exit(0);
  return f->err;
}

StepFaultGuard::StepFaultGuard(StepFault* fault) { hv::platform::setRewriteFaultHook(stepFaultHook, fault); }

StepFaultGuard::~StepFaultGuard() { hv::platform::setRewriteFaultHook(nullptr, nullptr); }

}  // namespace hv::test
