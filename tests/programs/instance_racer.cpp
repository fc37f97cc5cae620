// One of several starts released at the same moment, as Explorer's Open on
// several selected files makes them:
//
//   instance_racer <mutex name> <base name>
//
// Releases the semaphore <base>-ready once, waits for the event <base>-go,
// applies the single-instance rule to the mutex, releases <base>-probed, and
// holds the mutex until the event <base>-end. Exit code 0 when it was the
// first instance, 1 when another held the mutex, 2 when the set-up failed.
#include <windows.h>

#include <cstdlib>
#include <string>

#include "app/instance_probe.h"

namespace {

constexpr DWORD kWaitMs = 30000;

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  const std::string base = argv[2];
  UniqueHandle ready(OpenSemaphoreA(SEMAPHORE_MODIFY_STATE, FALSE, (base + "-ready").c_str()));
  UniqueHandle probed(OpenSemaphoreA(SEMAPHORE_MODIFY_STATE, FALSE, (base + "-probed").c_str()));
  UniqueHandle go(OpenEventA(SYNCHRONIZE, FALSE, (base + "-go").c_str()));
  UniqueHandle end(OpenEventA(SYNCHRONIZE, FALSE, (base + "-end").c_str()));
  if (!ready || !probed || !go || !end) return 2;

  ReleaseSemaphore(ready.Get(), 1, nullptr);
  if (WaitForSingleObject(go.Get(), kWaitMs) != WAIT_OBJECT_0) return 2;
  UniqueHandle mutex;
  const bool another = AnotherInstanceHolds(argv[1], mutex);
  ReleaseSemaphore(probed.Get(), 1, nullptr);
  WaitForSingleObject(end.Get(), kWaitMs);
  std::_Exit(another ? 1 : 0);
}
