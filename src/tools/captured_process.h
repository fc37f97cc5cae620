// A child process whose standard input is fed from a pipe and whose standard
// output and error are collected from a second pipe, without ever blocking on
// a full pipe.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

#include "common/win_handle.h"

// Where collected output goes: at most capacity bytes are stored, always
// followed by a NUL (destination holds capacity + 1 bytes); the rest is read
// and dropped, so the child never stalls on a full pipe.
class OutputSink {
 public:
  OutputSink(char* destination, std::size_t capacity)
      : destination_(destination), capacity_(capacity) {
    destination_[0] = '\0';
  }
  void Append(const char* bytes, std::size_t count);
  void Append(const std::string& text) { Append(text.data(), text.size()); }
  std::size_t Stored() const { return stored_; }
  std::size_t Received() const { return received_; }

 private:
  char* destination_;
  std::size_t capacity_;
  std::size_t stored_ = 0;
  std::size_t received_ = 0;
};

class CapturedProcess {
 public:
  // Makes the output pipe, then the input pipe. The program's ends are not
  // inheritable. False when either cannot be made.
  bool CreatePipes();

  // Puts bytes into the output pipe ahead of anything the child prints.
  bool Preload(const char* bytes, std::size_t count);

  // Starts commandLine hidden and off-screen with both pipes, or, when
  // visibleConsole is set, in a console shown at the screen's top-left that
  // the child's output goes to (the input is still the pipe). The child
  // starts in currentDirectory, or in the program's own one when it is null.
  bool Start(const std::string& commandLine, bool visibleConsole,
             const char* currentDirectory = nullptr);

  // Writes the script one line at a time, each only after the child has taken
  // the previous one out of the pipe, collecting output all the while; then
  // closes the input so the child sees its end, and collects until the child
  // has exited and the pipe is empty.
  void FeedAndCollect(const std::string& script, OutputSink& sink);

 private:
  // Reads whatever the output pipe holds now: true when it read anything.
  bool DrainAvailable(OutputSink& sink);
  bool InputTaken() const;
  bool Exited(DWORD waitMilliseconds) const;

  UniqueHandle outputRead_;
  UniqueHandle outputWrite_;
  UniqueHandle inputRead_;
  UniqueHandle inputWrite_;
  UniqueHandle process_;
  UniqueHandle thread_;
};
