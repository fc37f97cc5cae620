// The text of a command's run: tool lines, output kept within the buffer, verdict.
#include "tools/transcript.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

char ResultBuffer[kResultBufferSize + 1];

namespace {

constexpr std::size_t kKeptHead = 64 * 1024;
// A cut leaves out at least this much more than needed, so that output that
// keeps coming moves the kept text seldom.
constexpr std::size_t kCutStep = 16 * 1024;
// The note line's most bytes.
constexpr std::size_t kNoteRoom = 96;
const char kVerdictOpen[] = "--- ";
const char kVerdictClose[] = " ---\r\n";

std::string OmittedNote(std::size_t omitted) {
  return "（出力が多いため、途中の " + std::to_string(omitted) + " バイトを省きました）\r\n";
}

// The first offset at or after at where a line starts, within count bytes;
// at itself when no line starts there. A line feed is never the trail byte
// of a double-byte character, so this is always a character's start.
std::size_t LineStartFrom(const char* bytes, std::size_t count, std::size_t at) {
  if (at >= count) return count;
  if (at > 0 && bytes[at - 1] == '\n') return at;
  const void* feed = std::memchr(bytes + at, '\n', count - at);
  return feed ? static_cast<std::size_t>(static_cast<const char*>(feed) - bytes) + 1 : at;
}

std::string Seconds(DWORD milliseconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%lu.%lu", static_cast<unsigned long>(milliseconds / 1000),
                static_cast<unsigned long>(milliseconds % 1000 / 100));
  return text;
}

}  // namespace

ResultText::ResultText(std::size_t start)
    : start_(std::min(start, kResultBufferSize)),
      destination_(ResultBuffer + start_),
      capacity_(kResultBufferSize - start_) {
  destination_[0] = '\0';
}

void ResultText::Append(const char* bytes, std::size_t count) {
  received_ += count;
  if (count > capacity_ - stored_) count = MakeRoom(bytes, count);
  std::memcpy(destination_ + stored_, bytes, count);
  stored_ += count;
  destination_[stored_] = '\0';
}

void ResultText::AppendLine(const std::string& line) {
  if (stored_ > 0 && destination_[stored_ - 1] != '\n') Append("\r\n");
  Append(line);
}

// Leaves out the oldest output after the kept beginning, and the front of
// bytes when they alone would not fit; gives how many of bytes go in.
std::size_t ResultText::MakeRoom(const char*& bytes, std::size_t count) {
  // Too little room for a beginning and a tail: the rest is dropped.
  if (capacity_ < 2 * kKeptHead + kNoteRoom) return capacity_ - stored_;
  if (cuts_ == 0) {
    // The beginning kept ends with a line, where one ends within it.
    const std::size_t head = std::min(kKeptHead, stored_);
    headEnd_ = head;
    for (std::size_t i = head; i > 0; --i) {
      if (destination_[i - 1] == '\n') {
        headEnd_ = i;
        break;
      }
    }
    tailBegin_ = headEnd_;
  }
  const std::size_t tailRoom = capacity_ - headEnd_ - kNoteRoom;
  std::size_t oldTail = stored_ - tailBegin_;
  std::size_t dropped = 0;
  if (count + kCutStep >= tailRoom) {
    // The new bytes fill the room by themselves: all of the old tail goes,
    // with the front of the new bytes.
    const std::size_t skip =
        LineStartFrom(bytes, count, std::min(count, count + kCutStep - tailRoom));
    omitted_ += oldTail + skip;
    bytes += skip;
    count -= skip;
    dropped = oldTail;
    oldTail = 0;
  } else {
    const std::size_t over = std::min(oldTail, oldTail + count + kCutStep - tailRoom);
    dropped = LineStartFrom(destination_ + tailBegin_, oldTail, over);
    omitted_ += dropped;
    oldTail -= dropped;
  }
  std::string note = OmittedNote(omitted_);
  if (headEnd_ > 0 && destination_[headEnd_ - 1] != '\n') note.insert(0, "\r\n");
  std::memmove(destination_ + headEnd_ + note.size(), destination_ + tailBegin_ + dropped, oldTail);
  std::memcpy(destination_ + headEnd_, note.data(), note.size());
  tailBegin_ = headEnd_ + note.size();
  stored_ = tailBegin_ + oldTail;
  ++cuts_;
  return std::min(count, capacity_ - stored_);
}

std::string ShownCommandLine(const char* tool, const std::string& arguments,
                             const std::string& target, const std::string& classArguments) {
  std::string line = std::string("> ") + tool;
  for (const std::string* part : {&arguments, &target, &classArguments})
    if (!part->empty()) line += " " + *part;
  return line + "\r\n";
}

std::string ExitCodeVerdict(DWORD exitCode, DWORD milliseconds) {
  // Shown as the program gave it: System.exit(-1) is -1.
  return kVerdictOpen + std::string("終了コード ") +
         std::to_string(static_cast<long>(static_cast<LONG>(exitCode))) + " (" +
         Seconds(milliseconds) + " 秒)" + kVerdictClose;
}

std::string CompiledVerdict(DWORD milliseconds) {
  return kVerdictOpen + std::string("コンパイルできました (") + Seconds(milliseconds) + " 秒)" +
         kVerdictClose;
}

std::string NotCompiledVerdict() {
  return kVerdictOpen + std::string("コンパイルできませんでした") + kVerdictClose;
}

std::size_t VerdictStart(const std::string& text) {
  const std::size_t close = sizeof kVerdictClose - 1;
  if (text.size() < close || text.compare(text.size() - close, close, kVerdictClose) != 0)
    return text.size();
  const std::size_t lineStart = text.rfind('\n', text.size() - close);
  const std::size_t start = lineStart == std::string::npos ? 0 : lineStart + 1;
  return text.compare(start, sizeof kVerdictOpen - 1, kVerdictOpen) == 0 ? start : text.size();
}
