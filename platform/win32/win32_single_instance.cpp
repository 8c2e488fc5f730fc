#include "platform/win32/win32_single_instance.h"

#include "platform/win32/win32_failure.h"

namespace brisel::win32 {

SingleInstance::SingleInstance(const char* name) {
  mutex_ = CreateMutexA(nullptr, FALSE, name);
  // Without the mutex nothing tells a second Brisel: this one runs all the same.
  if (!mutex_ && GetLastError() != ERROR_INVALID_HANDLE)
    Warn("CreateMutexA", SystemText(GetLastError()) + " (a second Brisel would not be stopped)");
  // A name taken by another kind of object (ERROR_INVALID_HANDLE) is not this program's: run.
  first_ = !(mutex_ && GetLastError() == ERROR_ALREADY_EXISTS);
}

SingleInstance::~SingleInstance() {
  if (mutex_) CloseHandle(mutex_);
}

}  // namespace brisel::win32
