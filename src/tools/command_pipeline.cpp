// The command pipeline: which file a command works on, and the tool runs of
// its slot one after the other.
#include "tools/command_pipeline.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "app/process_objects.h"
#include "common/dbcs_text.h"
#include "editor/editor_tracker.h"
#include "settings/app_settings.h"
#include "tools/applet_page.h"
#include "tools/path_ops.h"
#include "tools/run_plan.h"
#include "tools/tool_run.h"

namespace {

constexpr DWORD kCompileFirst = 1;
constexpr DWORD kThenJava = 2;
constexpr DWORD kThenAppletviewer = 6;

const char kErrorWord[] = "error";
// What the result shows when a tool could not be run at all (no interpreter,
// no pipes), as compile-only mode says it.
const char kRunFailedText[] = "失敗しました";
const char kJapaneseErrorWord[] = "エラー";

char FoldAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Whether word stands in text at offset i, a character boundary. Walking
// word by characters keeps both in step: a lead byte is never an ASCII
// letter, so a single-byte character only ever meets a single-byte one.
bool StandsAt(const std::string& text, std::size_t i, const std::string& word, bool ignoreCase) {
  if (word.empty() || text.size() - i < word.size()) return false;
  for (std::size_t k = 0; k < word.size(); k += CharLengthAt(word, k)) {
    if (CharLengthAt(word, k) == 2) {
      if (text[i + k] != word[k] || text[i + k + 1] != word[k + 1]) return false;
    } else if (ignoreCase ? FoldAscii(text[i + k]) != FoldAscii(word[k]) : text[i + k] != word[k]) {
      return false;
    }
  }
  return true;
}

// How the interpreter and javac show the source file: its full path, its
// folder (the prompt shows it without the trailing backslash) and its name.
// The folder's letter case may differ between the editor's path and the
// prompt, so these are matched without case.
std::vector<std::string> OwnNames(const std::string& sourcePath, const std::string& toolFolder) {
  std::vector<std::string> names = {sourcePath, WithoutTrailingBackslash(DirectoryOf(sourcePath)),
                                    FileNameOf(sourcePath)};
  // A package's root, and the source's path from there as javac shows it.
  if (!toolFolder.empty() && sourcePath.compare(0, toolFolder.size(), toolFolder) == 0) {
    names.push_back(WithoutTrailingBackslash(toolFolder));
    names.push_back(sourcePath.substr(toolFolder.size()));
  }
  names.erase(std::remove(names.begin(), names.end(), std::string()), names.end());
  std::sort(names.begin(), names.end(),
            [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
  return names;
}

bool IsOwnWindow(HWND window) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  return process == GetCurrentProcessId();
}

// The other program's window the user sees just beneath window in z-order.
// Hidden windows, such as the input method's default windows, and the
// program's own windows (a result window left over the editor) are passed over.
HWND VisibleWindowBeneath(HWND window) {
  HWND next = GetWindow(window, GW_HWNDNEXT);
  while (next && (!IsWindowVisible(next) || IsOwnWindow(next))) next = GetWindow(next, GW_HWNDNEXT);
  return next;
}

// Runs the tool; when it could not be run, the failure text follows what the
// run itself said (a folder that could not be entered). True when the tool
// ran to its end, so that the sequence may go on.
bool RunToolOrSayFailed(const char* tool, const ToolCall& call, int slot, ToolArguments arguments,
                        ResultText& text) {
  const RunEnd end = RunTool(tool, call, slot, arguments, text);
  if (end == RunEnd::NotStarted) text.Append(kRunFailedText, std::strlen(kRunFailedText));
  return end == RunEnd::Finished;
}

void RunAppletviewer(int slot, const std::string& path, const RunPlan& plan,
                     ToolArguments arguments, ResultText& text) {
  std::string page = FieldText(Settings.HTMLRead, sizeof Settings.HTMLRead);
  if (!page.empty()) {
    // A drive letter and a colon make the page absolute.
    if (FindFirstChar(page, ':') != 1) page = DirectoryOf(path) + page;
    RunToolOrSayFailed("appletviewer", CallWithJdk(plan, page), slot, arguments, text);
    return;
  }
  // A class in a package is named by its qualified name from the package's
  // root, where appletviewer then runs.
  bool created = plan.package.empty()
                     ? WriteAppletPage(path, page)
                     : WriteAppletPageIn(plan.folder, plan.className + ".class", page);
  RunToolOrSayFailed("appletviewer", CallWithJdk(plan, page), slot, arguments, text);
  // A page that was there before belongs to the user.
  if (created) DeleteFileA(page.c_str());
}

}  // namespace

bool ReportsCompileError(const std::string& text, const std::string& sourcePath,
                         const std::string& toolFolder) {
  const std::vector<std::string> ownNames = OwnNames(sourcePath, toolFolder);
  std::size_t i = 0;
  while (i < text.size()) {
    auto own = std::find_if(ownNames.begin(), ownNames.end(),
                            [&](const std::string& name) { return StandsAt(text, i, name, true); });
    if (own != ownNames.end()) {
      i += own->size();
      continue;
    }
    if (StandsAt(text, i, kErrorWord, false) || StandsAt(text, i, kJapaneseErrorWord, false))
      return true;
    i += CharLengthAt(text, i);
  }
  return false;
}

bool FindTargetFile(std::string& path, HWND* editorWindow) {
  HWND candidate = GetForegroundWindow();
  HWND main = Settings.MainWindow;
  if (candidate && candidate == main) {
    // A command from the strip: the editor is the window just beneath it.
    SetWindowPos(main, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    candidate = VisibleWindowBeneath(main);
    SetWindowPos(main, Settings.Forground ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE);
  }
  std::string file;
  if (candidate) Editors.FileForWindow(candidate, file);
  if (file.empty()) return false;
  CurrentSourceFile = file;
  path = file;
  if (editorWindow) *editorWindow = candidate;
  return true;
}

RunOrigin RunSequence(int slot, const std::string& sourcePath, char* output) {
  std::string path = sourcePath;
  ResolveLongName(path);
  RunOrigin origin = {path, std::string()};
  if (slot < 0 || slot >= kSlotCount || Settings.PxsMode) return origin;

  DWORD mode = Settings.Cmd[slot].ExeMode;
  const bool compileFirst = (mode & kCompileFirst) != 0;
  mode &= ~kCompileFirst;
  if (!compileFirst && mode != kThenJava && mode != kThenAppletviewer) return origin;

  ResultText text(static_cast<std::size_t>(output - ResultBuffer));
  RunPlan plan;
  std::string refusal;
  // One JDK for the whole sequence, so that appletviewer loads what javac made.
  const ToolsNeeded needed = mode == kThenAppletviewer ? ToolsNeeded::JdkWithAppletviewer
                             : mode == kThenJava       ? ToolsNeeded::Jdk
                                                       : ToolsNeeded::JavacAlone;
  if (!PlanRun(path, needed, plan, refusal)) {
    text.Append(refusal);
    return origin;
  }
  origin.toolFolder = plan.folder;

  // The tool after a successful compile takes the slot's second arguments.
  ToolArguments arguments = ToolArguments::First;
  if (compileFirst) {
    // A compile that did not run has not succeeded either.
    if (!RunToolOrSayFailed("javac", JavacCall(plan), slot, arguments, text)) return origin;
    if (ReportsCompileError(text.Text(), path, plan.folder)) return origin;
    arguments = ToolArguments::Second;
  }

  if (mode == kThenJava)
    RunToolOrSayFailed("java", JavaCall(plan), slot, arguments, text);
  else if (mode == kThenAppletviewer)
    RunAppletviewer(slot, path, plan, arguments, text);
  return origin;
}

bool RunCommand(int slot, char* output, RunOrigin* origin, HWND* editorWindow) {
  if (slot < 0 || slot >= kSlotCount) return false;
  std::string path;
  if (!FindTargetFile(path, editorWindow)) return false;
  const RunOrigin ran = RunSequence(slot, path, output);
  if (origin) *origin = ran;
  return true;
}
