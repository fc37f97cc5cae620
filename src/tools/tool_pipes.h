// The pipes a tool's own standard input and output go through: named pipes
// this program serves, which the interpreter opens by their names when it
// reaches the tool's line ("<\\.\pipe\... >\\.\pipe\... 2>&1"). So the tool
// reads only what the user types, and its output never mixes with the
// interpreter's own lines. All I/O is overlapped: a run waits on Events().
#pragma once

#include <windows.h>

#include <deque>
#include <string>
#include <vector>

#include "common/win_handle.h"

class ResultText;

class ToolPipes {
 public:
  ToolPipes() = default;
  ToolPipes(const ToolPipes&) = delete;
  ToolPipes& operator=(const ToolPipes&) = delete;
  ~ToolPipes();

  // Makes both pipes under new names and waits for their clients. False
  // when either cannot be made.
  bool Create();
  // The redirections for the tool's line.
  std::string Redirections() const;
  // A write end of the output pipe of this program's own, for an interpreter
  // whose own output is the tool's (the Windows 95 family's, which opens no
  // pipe by name). Null when it cannot be made.
  UniqueHandle OpenOutputHere();

  // Puts the events of what waits (a connection, a read, a write) into
  // events, which has room for 2; gives their count.
  DWORD Waitables(HANDLE* events) const;
  // After any of the events: takes connections, output into text, and
  // finished writes. True when output arrived.
  bool Service(ResultText& text);
  // Takes what is still in the output pipe once the interpreter has ended;
  // a process the tool left behind may hold the pipe open, so this does not
  // wait for the pipe's end.
  void TakeRest(ResultText& text);
  // Whether the interpreter reached the tool's line and opened the output.
  bool ToolReached() const { return outputConnected_; }

  // Bytes for the tool's standard input, written as the tool takes them;
  // thrown away when the tool has ended.
  void Send(const std::string& bytes);
  // The tool sees the input's end once what was sent is taken.
  void EndInput();

 private:
  bool ReadOutput(ResultText& text);
  void WriteInput();

  UniqueHandle output_;
  UniqueHandle input_;
  std::string outputName_;
  std::string inputName_;
  UniqueHandle outputEvent_;
  UniqueHandle inputEvent_;
  OVERLAPPED outputOverlapped_ = {};
  OVERLAPPED inputOverlapped_ = {};
  std::vector<char> chunk_;
  bool outputConnected_ = false;
  bool outputPending_ = false;  // a connect or a read waits
  bool inputConnected_ = false;
  bool inputPending_ = false;  // a connect or a write waits
  bool inputClosed_ = false;
  bool endInput_ = false;
  std::deque<std::string> queued_;
  std::string writing_;
};
