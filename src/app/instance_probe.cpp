// The single-instance rule.
#include "app/instance_probe.h"

bool AnotherInstanceHolds(const char* mutexName, UniqueHandle& mutex) {
  SetLastError(ERROR_SUCCESS);
  mutex.Reset(CreateMutexA(nullptr, FALSE, mutexName));
  const DWORD error = GetLastError();
  // A mutex made by a process of higher rights cannot be opened, but exists.
  return error == ERROR_ALREADY_EXISTS || (!mutex && error == ERROR_ACCESS_DENIED);
}
