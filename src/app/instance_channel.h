// The mailslot by which a second start hands its file to the running instance.
#pragma once

#include <string>

#include "common/win_handle.h"

extern const char kMailslotName[];

class InstanceChannel {
 public:
  InstanceChannel() = default;
  virtual ~InstanceChannel() = default;
  InstanceChannel(const InstanceChannel&) = delete;
  InstanceChannel& operator=(const InstanceChannel&) = delete;

  // Running instance: creates the mailslot; shows "bad creating" on failure.
  bool Create();
  // Running instance: takes at most one waiting message, without waiting.
  // True when it held a path to start an editor on.
  bool Receive(std::string& output);
  // Second start: writes path (NUL-terminated) to the running instance.
  bool Send(std::string path);

 private:
  UniqueHandle handle_;
};

// The process-wide channel, constructed during static start-up.
extern InstanceChannel Channel;
