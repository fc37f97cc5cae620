// The command interpreter a tool runs through: started hidden (or in a console
// the user sees), fed its script one line at a time through a pipe, and held
// in a job that ends it and everything it starts.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

#include "common/win_handle.h"

class Interpreter {
 public:
  Interpreter() = default;
  Interpreter(const Interpreter&) = delete;
  Interpreter& operator=(const Interpreter&) = delete;
  // Whatever the interpreter started and left running is kept until the
  // program ends, and ended with it.
  ~Interpreter();

  // Starts commandLine hidden and off-screen, reading its script from a pipe.
  // Its own output (banner, prompts, the lines it reads, its own messages)
  // goes to output, or to the NUL device when that is null. It starts in
  // currentDirectory, or in the program's own one when that is null, with the
  // UTF-16 environment block environment, or the program's own when null. It
  // and every process it starts belong to a job that ends them when it is
  // stopped or when the program ends, however it ends.
  bool Start(const std::string& commandLine, const char* currentDirectory, const wchar_t* environment,
             HANDLE output = nullptr);
  // The same in a console shown at the screen's top-left that its output goes
  // to; its input is the script pipe, or that console's keyboard when
  // keyboardInput is set.
  bool StartVisible(const std::string& commandLine, const char* currentDirectory,
                    const wchar_t* environment, bool keyboardInput);

  // Hands the script over: one line at a time, each only after the
  // interpreter has taken the previous one out of the pipe (see FeedMore).
  void SetScript(const std::string& script);
  // Writes the next line when the previous one has been taken; after the last
  // line the input is closed, so the interpreter reads it and then sees the
  // input's end. True while lines are still to be written.
  bool FeedMore();

  HANDLE Process() const { return process_.Get(); }
  bool HasEnded() const;
  // Ends the interpreter and every process it started.
  void EndAll();
  // Once it has ended: its exit code.
  DWORD ExitCode() const;

 private:
  bool StartWith(const std::string& commandLine, const char* currentDirectory,
                 const wchar_t* environment, bool visible, HANDLE output, HANDLE input);
  bool InputTaken() const;

  UniqueHandle inputRead_;
  UniqueHandle inputWrite_;
  UniqueHandle process_;
  UniqueHandle job_;
  DWORD processId_ = 0;
  std::string script_;
  std::size_t fed_ = 0;
};
