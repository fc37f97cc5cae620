// The instance channel over real mailslots: second starts are channel_sender
// processes, odd messages are written to the slot directly.
#include <gtest/gtest.h>

#include <future>
#include <memory>
#include <string>
#include <vector>

#include "app/instance_channel.h"
#include "app/instance_probe.h"
#include "common/win_handle.h"
#include "test_support.h"

namespace {

// Bounds on waiting for another process, so that a fault fails the test
// instead of hanging it. They are never the thing being tested.
constexpr DWORD kProcessWaitMs = 60000;
constexpr DWORD kBoxWaitMs = 30000;

bool MailslotNameTaken() {
  UniqueHandle client(CreateFileA(kMailslotName, GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  return client.Valid() || GetLastError() == ERROR_SHARING_VIOLATION;
}

// Writes bytes as one message, as any other program could.
void WriteRawMessage(const std::string& bytes) {
  UniqueHandle client;
  for (int attempt = 0; attempt < 100 && !client; ++attempt) {
    client.Reset(CreateFileA(kMailslotName, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!client && GetLastError() == ERROR_SHARING_VIOLATION) Sleep(10);
  }
  ASSERT_TRUE(client.Valid()) << GetLastError();
  DWORD written = 0;
  ASSERT_TRUE(
      WriteFile(client.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
  ASSERT_EQ(written, bytes.size());
}

void WriteRawPath(const std::string& path) { WriteRawMessage(path + '\0'); }

// A channel_sender process; ended by force if a test leaves it running.
class SenderProcess {
 public:
  explicit SenderProcess(const std::vector<std::string>& args, const std::string& folder = "") {
    std::string commandLine = "\"" + FakesFolder() + "\\channel_sender.exe\"";
    for (const std::string& arg : args) commandLine += " \"" + arg + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                       folder.empty() ? nullptr : folder.c_str(), &startup, &info)) {
      process_.Reset(info.hProcess);
      CloseHandle(info.hThread);
      id_ = info.dwProcessId;
    }
  }
  ~SenderProcess() {
    if (process_ && WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT)
      TerminateProcess(process_.Get(), 99);
  }
  bool Started() const { return process_.Valid(); }
  DWORD Id() const { return id_; }
  // The exit code, or STILL_ACTIVE when it did not end in time.
  DWORD ExitCode() {
    WaitForSingleObject(process_.Get(), kProcessWaitMs);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process_.Get(), &code);
    return code;
  }

 private:
  UniqueHandle process_;
  DWORD id_ = 0;
};

DWORD RunSender(const std::vector<std::string>& args, const std::string& folder = "") {
  SenderProcess sender(args, folder);
  EXPECT_TRUE(sender.Started());
  return sender.Started() ? sender.ExitCode() : STILL_ACTIVE;
}

struct MessageBoxSeen {
  bool found = false;
  bool ownerless = false;
  std::string text;
};

struct BoxSearch {
  DWORD processId;
  HWND box;
};

BOOL CALLBACK FindBox(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<BoxSearch*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  char className[16] = "";
  GetClassNameA(window, className, sizeof className);
  if (owner == search->processId && IsWindowVisible(window) && std::string(className) == "#32770") {
    search->box = window;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK FindStaticText(HWND child, LPARAM param) {
  char className[16] = "";
  GetClassNameA(child, className, sizeof className);
  char text[256] = "";
  GetWindowTextA(child, text, sizeof text);
  if (lstrcmpiA(className, "Static") == 0 && text[0] != '\0') {
    *reinterpret_cast<std::string*>(param) = text;
    return FALSE;
  }
  return TRUE;
}

// Waits for the message box of a process, reads it and presses its OK button.
MessageBoxSeen DismissMessageBox(DWORD processId) {
  MessageBoxSeen seen;
  BoxSearch search = {processId, nullptr};
  for (DWORD waited = 0; !search.box && waited < kBoxWaitMs; waited += 20) {
    EnumWindows(FindBox, reinterpret_cast<LPARAM>(&search));
    if (!search.box) Sleep(20);
  }
  if (!search.box) return seen;
  seen.found = true;
  seen.ownerless = GetWindow(search.box, GW_OWNER) == nullptr;
  EnumChildWindows(search.box, FindStaticText, reinterpret_cast<LPARAM>(&seen.text));
  PostMessageA(search.box, WM_COMMAND, IDOK, 0);
  return seen;
}

// Sender and receiver around a mailslot that this test process owns.
class InstanceChannelTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(MailslotNameTaken()) << "another process holds the mailslot";
    ASSERT_TRUE(channel_.Create());
  }

  InstanceChannel channel_;
};

// Messages arrive whole, one per Receive, in the order they were sent.
class InstanceChannelQueue : public InstanceChannelTest {};

TEST_F(InstanceChannelQueue, EmptyPollReturnsFalseEveryTime) {
  std::string path = "unchanged";
  EXPECT_FALSE(channel_.Receive(path));
  EXPECT_FALSE(channel_.Receive(path));
  EXPECT_EQ(path, "unchanged");
}

TEST_F(InstanceChannelQueue, ChannelWithoutMailslotReceivesNothing) {
  InstanceChannel unopened;
  std::string path;
  WriteRawPath("C:\\work\\A.java");
  EXPECT_FALSE(unopened.Receive(path));
  EXPECT_TRUE(channel_.Receive(path));
}

TEST_F(InstanceChannelQueue, PathsOfOneSenderArriveInOrderOnePerReceive) {
  ASSERT_EQ(RunSender({"C:\\work\\A.java", "D:\\src\\B.java", "C:\\work\\C.JAV"}), 0u);
  std::string path;
  ASSERT_TRUE(channel_.Receive(path));
  EXPECT_EQ(path, "C:\\work\\A.java");
  ASSERT_TRUE(channel_.Receive(path));
  EXPECT_EQ(path, "D:\\src\\B.java");
  ASSERT_TRUE(channel_.Receive(path));
  EXPECT_EQ(path, "C:\\work\\C.JAV");
  EXPECT_FALSE(channel_.Receive(path));
}

// Several paths per sender keep their open-write-close cycles overlapping, so
// that they meet the slot held open by another sender.
TEST_F(InstanceChannelQueue, SendersStartedTogetherAllGetThroughEachInItsOrder) {
  constexpr int kSenders = 3;
  constexpr int kPathsEach = 30;
  std::vector<std::vector<std::string>> sent(kSenders);
  for (int s = 0; s < kSenders; ++s)
    for (int i = 0; i < kPathsEach; ++i)
      sent[s].push_back("C:\\work\\S" + std::to_string(s) + "_" + std::to_string(i) + ".java");
  std::vector<std::unique_ptr<SenderProcess>> senders;
  for (const auto& paths : sent) senders.push_back(std::make_unique<SenderProcess>(paths));
  for (auto& sender : senders) EXPECT_EQ(sender->ExitCode(), 0u);

  std::vector<std::vector<std::string>> received(kSenders);
  std::string path;
  for (int n = 0; n < kSenders * kPathsEach; ++n) {
    ASSERT_TRUE(channel_.Receive(path)) << n;
    std::size_t from = path.size() > 9 ? static_cast<std::size_t>(path[9] - '0') : kSenders;
    ASSERT_LT(from, received.size()) << path;
    received[from].push_back(path);
  }
  EXPECT_FALSE(channel_.Receive(path));
  EXPECT_EQ(received, sent);
}

TEST_F(InstanceChannelQueue, RelativePathArrivesMadeFullInTheSenderFolder) {
  TempFolder folder("chan");
  ASSERT_EQ(RunSender({"Rel.java"}, folder.Path()), 0u);
  std::string path;
  ASSERT_TRUE(channel_.Receive(path));
  EXPECT_EQ(path, folder / "Rel.java") << Utf8(path);
}

TEST_F(InstanceChannelQueue, ShiftJisPathArrivesByteForByte) {
  const std::string sjis = "C:\\表示\\ソース.java";
  ASSERT_EQ(RunSender({sjis}), 0u);
  std::string path;
  ASSERT_TRUE(channel_.Receive(path));
  EXPECT_EQ(path, sjis) << Utf8(path);
}

TEST_F(InstanceChannelQueue, LongestPathOfTwoHundredFiftyNineBytesArrives) {
  std::string longest = "C:\\" + std::string(251, 'a') + ".java";
  ASSERT_EQ(longest.size(), 259u);
  ASSERT_EQ(RunSender({longest}), 0u);
  std::string path;
  ASSERT_TRUE(channel_.Receive(path));
  EXPECT_EQ(path, longest);
}

// Whatever else lands in the mailslot is taken out and ignored, and never
// holds up the paths behind it.
class InstanceChannelFiltering : public InstanceChannelTest {};

TEST_F(InstanceChannelFiltering, EmptyMessagesAreConsumedAndIgnored) {
  WriteRawMessage(std::string(1, '\0'));
  WriteRawMessage("");
  WriteRawPath("C:\\work\\After.java");
  std::string path = "unchanged";
  EXPECT_FALSE(channel_.Receive(path));
  EXPECT_FALSE(channel_.Receive(path));
  EXPECT_EQ(path, "unchanged");
  ASSERT_TRUE(channel_.Receive(path));
  EXPECT_EQ(path, "C:\\work\\After.java");
}

TEST_F(InstanceChannelFiltering, OverlongMessageIsDroppedAndTheNextStillArrives) {
  std::string tooLong = "C:\\" + std::string(252, 'a') + ".java";  // 260 bytes and the NUL
  std::string longest = "C:\\" + std::string(251, 'a') + ".java";  // 259 bytes and the NUL
  WriteRawPath("C:\\" + std::string(4000, 'b') + ".java");
  WriteRawPath(tooLong);
  WriteRawPath(longest);
  WriteRawMessage(std::string(260, 'C'));  // no terminator at all
  WriteRawPath("C:\\work\\Next.java");

  std::string path = "unchanged";
  EXPECT_FALSE(channel_.Receive(path));
  EXPECT_FALSE(channel_.Receive(path));
  EXPECT_EQ(path, "unchanged");
  ASSERT_TRUE(channel_.Receive(path));
  EXPECT_EQ(path, longest);
  EXPECT_FALSE(channel_.Receive(path));
  ASSERT_TRUE(channel_.Receive(path));
  EXPECT_EQ(path, "C:\\work\\Next.java");
  EXPECT_FALSE(channel_.Receive(path));
}

TEST_F(InstanceChannelFiltering, TextThatIsNotAFullPlainPathIsConsumedAndIgnored) {
  const std::vector<std::string> rejected = {
      "\"C:\\work\\A.java\"",
      "C:\\work\\A.java\" -opt",
      "C:\\work\\A\tB.java",
      "C:\\work\\A.java\r\n",
      "-opt",
      "A.java",
      "work\\A.java",
      "\\work\\A.java",
      "C:A.java",
      "C:",
      "\\\\server",
      "\\\\server\\",
      "\\\\\\share\\A.java",
      "\\\\.\\pipe\\A.java",
      "\\\\?\\C:\\A.java",
  };
  for (const std::string& text : rejected) WriteRawPath(text);
  WriteRawPath("C:\\work\\Good.java");

  std::string path = "unchanged";
  for (const std::string& text : rejected)
    EXPECT_FALSE(channel_.Receive(path)) << Utf8(text) << " was taken as " << Utf8(path);
  EXPECT_EQ(path, "unchanged");
  ASSERT_TRUE(channel_.Receive(path));
  EXPECT_EQ(path, "C:\\work\\Good.java");
}

TEST_F(InstanceChannelFiltering, UncAndShiftJisPathsAreAccepted) {
  // 表 ends in the byte 0x5C: the server name is one character, not a backslash.
  const std::vector<std::string> accepted = {"\\\\server\\share\\A.java", "\\\\表\\share\\A.java",
                                             "c:\\A.java"};
  for (const std::string& text : accepted) WriteRawPath(text);
  std::string path;
  ASSERT_TRUE(channel_.Receive(path));
  EXPECT_EQ(path, accepted[0]);
  ASSERT_TRUE(channel_.Receive(path)) << "DBCS server name";
  EXPECT_EQ(path, accepted[1]);
  ASSERT_TRUE(channel_.Receive(path));
  EXPECT_EQ(path, accepted[2]);
}

// A second start that cannot hand its path over says so and reports failure;
// so does a start that cannot create the mailslot.
class InstanceChannelFailures : public testing::Test {};

TEST_F(InstanceChannelFailures, SendWithoutRunningInstanceShowsBadHandle) {
  ASSERT_FALSE(MailslotNameTaken());
  SenderProcess sender({"C:\\work\\A.java"});
  ASSERT_TRUE(sender.Started());
  MessageBoxSeen box = DismissMessageBox(sender.Id());
  ASSERT_TRUE(box.found);
  EXPECT_TRUE(box.ownerless);
  EXPECT_EQ(box.text, "bad handle");
  EXPECT_EQ(sender.ExitCode(), 1u);
}

TEST_F(InstanceChannelFailures, SenderWaitsForAMailslotThatIsStillBeingMade) {
  ASSERT_FALSE(MailslotNameTaken());
  SenderProcess sender({"C:\\work\\Early.java"});
  ASSERT_TRUE(sender.Started());
  Sleep(1500);
  InstanceChannel receiver;
  ASSERT_TRUE(receiver.Create());
  EXPECT_EQ(sender.ExitCode(), 0u);
  std::string path;
  ASSERT_TRUE(receiver.Receive(path));
  EXPECT_EQ(path, "C:\\work\\Early.java");
}

TEST_F(InstanceChannelFailures, PathTooLongShowsBadWritingAndWritesNothing) {
  InstanceChannel receiver;
  ASSERT_FALSE(MailslotNameTaken());
  ASSERT_TRUE(receiver.Create());
  TempFolder folder("chan");
  // Too long as given, and too long only once made full in the sender's folder.
  const std::string absolute = "C:\\" + std::string(252, 'a') + ".java";
  const std::string relative = std::string(255 - folder.Path().size(), 'r') + ".java";
  for (const std::string& arg : {absolute, relative}) {
    SenderProcess sender({arg}, folder.Path());
    ASSERT_TRUE(sender.Started());
    MessageBoxSeen box = DismissMessageBox(sender.Id());
    ASSERT_TRUE(box.found) << arg.size();
    EXPECT_TRUE(box.ownerless);
    EXPECT_EQ(box.text, "bad writing");
    EXPECT_EQ(sender.ExitCode(), 1u);
  }
  std::string path;
  EXPECT_FALSE(receiver.Receive(path));
}

TEST_F(InstanceChannelFailures, SecondStartCannotCreateTheMailslotThatIsTaken) {
  InstanceChannel running;
  ASSERT_FALSE(MailslotNameTaken());
  ASSERT_TRUE(running.Create());
  SenderProcess settingsStart({"--create"});
  ASSERT_TRUE(settingsStart.Started());
  MessageBoxSeen box = DismissMessageBox(settingsStart.Id());
  ASSERT_TRUE(box.found);
  EXPECT_TRUE(box.ownerless);
  EXPECT_EQ(box.text, "bad creating");
  EXPECT_EQ(settingsStart.ExitCode(), 1u);
}

TEST_F(InstanceChannelFailures, SecondCreateInOneProcessFailsAndKeepsTheFirstMailslot) {
  InstanceChannel channel;
  ASSERT_FALSE(MailslotNameTaken());
  ASSERT_TRUE(channel.Create());
  auto box = std::async(std::launch::async, DismissMessageBox, GetCurrentProcessId());
  EXPECT_FALSE(channel.Create());
  MessageBoxSeen seen = box.get();
  ASSERT_TRUE(seen.found);
  EXPECT_TRUE(seen.ownerless);
  EXPECT_EQ(seen.text, "bad creating");

  ASSERT_EQ(RunSender({"C:\\work\\Still.java"}), 0u);
  std::string path;
  ASSERT_TRUE(channel.Receive(path));
  EXPECT_EQ(path, "C:\\work\\Still.java");
}

}  // namespace

namespace {

// Starts released together on one event: exactly one of them is first,
// however their probes interleave.
TEST(InstanceRule, StartsReleasedTogetherHaveExactlyOneFirstInstance) {
  constexpr int kStarts = 8;
  const std::string base = "pellaro-race-" + std::to_string(GetCurrentProcessId());
  const std::string mutexName = base + "-mutex";
  UniqueHandle ready(CreateSemaphoreA(nullptr, 0, kStarts, (base + "-ready").c_str()));
  UniqueHandle probed(CreateSemaphoreA(nullptr, 0, kStarts, (base + "-probed").c_str()));
  UniqueHandle go(CreateEventA(nullptr, TRUE, FALSE, (base + "-go").c_str()));
  UniqueHandle end(CreateEventA(nullptr, TRUE, FALSE, (base + "-end").c_str()));
  ASSERT_TRUE(ready && probed && go && end);

  std::vector<UniqueHandle> starts;
  for (int i = 0; i < kStarts; ++i) {
    std::string commandLine =
        "\"" + FakesFolder() + "\\instance_racer.exe\" " + mutexName + " " + base;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    ASSERT_TRUE(CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &info));
    CloseHandle(info.hThread);
    starts.emplace_back(info.hProcess);
  }
  for (int i = 0; i < kStarts; ++i)
    ASSERT_EQ(WaitForSingleObject(ready.Get(), kProcessWaitMs), WAIT_OBJECT_0);
  SetEvent(go.Get());
  for (int i = 0; i < kStarts; ++i)
    ASSERT_EQ(WaitForSingleObject(probed.Get(), kProcessWaitMs), WAIT_OBJECT_0);
  SetEvent(end.Get());

  int first = 0;
  for (UniqueHandle& start : starts) {
    ASSERT_EQ(WaitForSingleObject(start.Get(), kProcessWaitMs), WAIT_OBJECT_0);
    DWORD code = 2;
    GetExitCodeProcess(start.Get(), &code);
    ASSERT_LE(code, 1u);
    if (code == 0) ++first;
  }
  EXPECT_EQ(first, 1);
}

}  // namespace
