// A second start, as the tests see it: hands each path argument to the running
// instance with the process-wide channel, in order. "--create" instead creates
// the mailslot with that same channel. Exit code 0 when every step succeeded,
// otherwise the 1-based number of the first step that failed.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/instance_channel.h"

int main(int argc, char** argv) {
  int result = 0;
  for (int i = 1; i < argc && result == 0; ++i) {
    bool ok = std::strcmp(argv[i], "--create") == 0 ? Channel.Create() : Channel.Send(argv[i]);
    if (!ok) result = i;
  }
  std::fflush(stdout);
  std::fflush(stderr);
  // No static destructors: the settings this program loaded are not saved.
  std::_Exit(result);
}
