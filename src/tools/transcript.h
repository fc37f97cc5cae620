// The text of a command's run as the result shows it: each tool's line as the
// user would type it, what the tool printed, and one verdict line at the end.
// A text that grows beyond the buffer keeps its beginning and its latest
// output, with one line saying how much was left out between them.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

constexpr std::size_t kResultBufferSize = 262144;

// Output of the last command: up to 262,144 bytes of text and a NUL.
extern char ResultBuffer[kResultBufferSize + 1];

// The part of ResultBuffer a command writes, from offset start to the
// buffer's end: always NUL-terminated, never written past the buffer. When
// more arrives than fits, the first 64 KiB (up to a line's end) stay, then
// the line "（出力が多いため、途中の <n> バイトを省きました）", then the latest
// output from a line's start.
class ResultText {
 public:
  explicit ResultText(std::size_t start = 0);
  ResultText(const ResultText&) = delete;
  ResultText& operator=(const ResultText&) = delete;

  void Append(const char* bytes, std::size_t count);
  void Append(const std::string& text) { Append(text.data(), text.size()); }
  // Appends line on a line of its own.
  void AppendLine(const std::string& line);

  // The text from start on.
  const char* Text() const { return destination_; }
  std::size_t Stored() const { return stored_; }
  // Offset in ResultBuffer just past the text.
  std::size_t End() const { return start_ + stored_; }
  // Every byte ever appended, kept or not.
  std::size_t Received() const { return received_; }
  // How many times the middle was left out: the text before the end changed.
  std::size_t Cuts() const { return cuts_; }

 private:
  std::size_t MakeRoom(const char*& bytes, std::size_t count);

  std::size_t start_;
  char* destination_;
  std::size_t capacity_;
  std::size_t stored_ = 0;
  std::size_t received_ = 0;
  std::size_t omitted_ = 0;
  std::size_t headEnd_ = 0;    // where the kept beginning ends
  std::size_t tailBegin_ = 0;  // where the latest output starts, after the note
  std::size_t cuts_ = 0;
};

// The line that stands before a tool's output: "> " and the command as the
// user would type it (the tool, the user's arguments, the file or class and
// the class arguments), without what the program adds for speed.
std::string ShownCommandLine(const char* tool, const std::string& arguments,
                             const std::string& target, const std::string& classArguments);

// The verdict lines that end a run's text.
std::string ExitCodeVerdict(DWORD exitCode, DWORD milliseconds);
std::string CompiledVerdict(DWORD milliseconds);
std::string NotCompiledVerdict();

// Where the verdict line at the end of text starts; text's length when it
// ends with none.
std::size_t VerdictStart(const std::string& text);
