// A child process whose standard input is fed from a pipe and whose standard
// output and error are collected from a second pipe, without ever blocking on
// a full pipe.
#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>
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

// Where the last run's time went, in milliseconds from the child's start: to
// each of the first lines of its script taken (the last is not waited for), to
// the input's end, to its end, and to the end of collecting.
struct RunPhases {
  static constexpr int kLines = 3;
  double lineTaken[kLines] = {};
  double beforeCreate = 0;  // from the pipes' creation to CreateProcess
  double createTook = 0;    // CreateProcess itself
  double fed = 0;
  double exited = 0;
  double collected = 0;
};
const RunPhases& LastRunPhases();

// Called while the program waits for a child: whenever the thread has
// messages, and at least every 250 ms. True asks for the child to be stopped.
using StopQuestion = std::function<bool()>;

class CapturedProcess {
 public:
  CapturedProcess() = default;
  CapturedProcess(const CapturedProcess&) = delete;
  CapturedProcess& operator=(const CapturedProcess&) = delete;
  // Whatever the child started and left running is kept until the program
  // ends, and ended with it.
  ~CapturedProcess();

  // Makes the output pipe, then the input pipe. The program's ends are not
  // inheritable. False when either cannot be made.
  bool CreatePipes();

  // Puts bytes into the output pipe ahead of anything the child prints.
  bool Preload(const char* bytes, std::size_t count);

  // Starts commandLine hidden and off-screen with both pipes, or, when
  // visibleConsole is set, in a console shown at the screen's top-left that
  // the child's output goes to; its input is then the pipe, or that
  // console's keyboard when keyboardInput is set. The child
  // starts in currentDirectory, or in the program's own one when it is null.
  // The child and every process it starts belong to a job that ends them
  // when it is stopped or when the program ends, however it ends. It gets
  // the UTF-16 environment block environment, or the program's own when null.
  bool Start(const std::string& commandLine, bool visibleConsole,
             const char* currentDirectory = nullptr, bool keyboardInput = false,
             const wchar_t* environment = nullptr);

  // Writes the script one line at a time, each only after the child has taken
  // the previous one out of the pipe, collecting output all the while; then
  // closes the input behind the last line, so the child reads that line and
  // then sees the input's end, and collects until the child
  // has exited and the pipe is empty. A process the child left behind that
  // keeps the pipe open does not hold the run up. False when shouldStop asked
  // for a stop: the child and all it started have then been ended, and what
  // they printed before is collected.
  bool FeedAndCollect(const std::string& script, OutputSink& sink,
                      const StopQuestion& shouldStop = nullptr);

  // Ends the child and every process it started.
  void EndAll();

  // After FeedAndCollect: the child's exit code.
  DWORD ExitCode() const;

 private:
  bool InputTaken() const;
  bool Exited(DWORD waitMilliseconds) const;

  UniqueHandle outputRead_;
  UniqueHandle outputWrite_;
  UniqueHandle inputRead_;
  UniqueHandle inputWrite_;
  UniqueHandle process_;
  UniqueHandle thread_;
  UniqueHandle job_;
  DWORD processId_ = 0;
  LARGE_INTEGER piped_ = {};
  LARGE_INTEGER started_ = {};
};
