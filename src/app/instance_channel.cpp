// The instance channel over the mailslot: one NUL-terminated full path per
// message, written by a second start and read by the running instance.
#include "app/instance_channel.h"

#include <windows.h>

#include <vector>

#include "common/dbcs_text.h"
#include "tools/path_ops.h"

const char kMailslotName[] = "\\\\.\\mailslot\\pellaro";

namespace {

// A path and its terminator must fit the program's 260-byte path fields.
constexpr std::size_t kMaxMessageSize = MAX_PATH;

// How long a second start keeps trying while another one holds the slot open
// for writing (only one writer may have it open at a time), and while the
// running instance has not made the slot yet (it is starting up).
constexpr DWORD kBusyRetryMilliseconds = 1000;
constexpr DWORD kMissingRetryMilliseconds = 5000;
constexpr DWORD kOpenRetryPause = 10;

void ShowChannelError(const char* text) { MessageBoxA(nullptr, text, nullptr, MB_OK); }

// The double quote and every control character: none belongs in a file name,
// and a quote would let the text end the editor's quoted argument.
const char* ForbiddenChars() {
  static const char set[] =
      "\"\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0a\x0b\x0c\x0d\x0e\x0f"
      "\x10\x11\x12\x13\x14\x15\x16\x17\x18\x19\x1a\x1b\x1c\x1d\x1e\x1f";
  return set;
}

// What the running instance accepts as a file to start an editor on.
bool IsDeliverablePath(const std::string& path) {
  return path.size() < kMaxMessageSize && IsFullPath(path) &&
         !ContainsAnyChar(path, ForbiddenChars());
}

// The path as the running instance will see it: the sender's current folder
// means nothing over there. A full path is sent as it was given.
std::string SentPath(const std::string& path) {
  if (path.size() >= kMaxMessageSize) return std::string();
  return IsFullPath(path) ? path : FullPathOf(path);
}

HANDLE OpenMailslotForWriting() {
  DWORD start = GetTickCount();
  for (;;) {
    HANDLE handle = CreateFileA(kMailslotName, GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle != INVALID_HANDLE_VALUE) return handle;
    const DWORD error = GetLastError();
    const DWORD patience = error == ERROR_SHARING_VIOLATION ? kBusyRetryMilliseconds
                           : error == ERROR_FILE_NOT_FOUND  ? kMissingRetryMilliseconds
                                                            : 0;
    if (GetTickCount() - start >= patience) return handle;
    Sleep(kOpenRetryPause);
  }
}

}  // namespace

bool InstanceChannel::Create() {
  // A failed second call must not close the mailslot already held.
  UniqueHandle slot(CreateMailslotA(kMailslotName, 0, 0, nullptr));
  if (!slot) {
    ShowChannelError("bad creating");
    return false;
  }
  handle_ = std::move(slot);
  return true;
}

bool InstanceChannel::Receive(std::string& output) {
  if (!handle_) return false;
  DWORD nextSize = 0;
  if (!GetMailslotInfo(handle_.Get(), nullptr, &nextSize, nullptr, nullptr)) return false;
  if (nextSize == MAILSLOT_NO_MESSAGE) return false;

  // Read the message whole, whatever its size, so that an oversized one is
  // taken out of the queue instead of blocking the messages behind it. The
  // spare byte also lets an empty message be consumed.
  std::vector<char> message(static_cast<std::size_t>(nextSize) + 1, '\0');
  DWORD read = 0;
  if (!ReadFile(handle_.Get(), message.data(), static_cast<DWORD>(message.size()), &read, nullptr))
    return false;
  if (read > kMaxMessageSize) return false;

  std::string path = FieldText(message.data(), read);
  if (!IsDeliverablePath(path)) return false;
  output = path;
  return true;
}

bool InstanceChannel::Send(std::string path) {
  std::string full = SentPath(path);
  // The running instance would drop anything else without a word.
  if (!IsDeliverablePath(full)) {
    ShowChannelError("bad writing");
    return false;
  }

  UniqueHandle slot(OpenMailslotForWriting());
  if (!slot) {
    ShowChannelError("bad handle");
    return false;
  }
  DWORD size = static_cast<DWORD>(full.size() + 1);
  DWORD written = 0;
  bool whole = WriteFile(slot.Get(), full.c_str(), size, &written, nullptr) && written == size;
  // Closed before any message box: while it is open no other start can write.
  slot.Reset();
  if (!whole) {
    ShowChannelError("bad writing");
    return false;
  }
  return true;
}
