// Planning a command's tool runs: the JDK, the package root, javac's file and
// java's class.
#include "tools/run_plan.h"

#include <windows.h>

#include <memory>
#include <vector>

#include "common/dbcs_text.h"
#include "common/system_text.h"
#include "java/java_package.h"
#include "java/source_encoding.h"
#include "settings/app_settings.h"
#include "tools/path_ops.h"
#include "tools/waiting_interpreter.h"

namespace {

const char kNoJdkText[] =
    "javac が見つかりません。JDK をインストールするか、設定の「拡張設定」の"
    "「JDK フォルダ」に JDK のフォルダを指定してください。\r\n";
const char kNoAppletviewerText[] =
    "appletviewer が見つかりません。appletviewer は JDK 11 で削除されました。"
    "アプレットを表示するには、appletviewer のある JDK (JDK 8 など) を"
    "インストールしてください。\r\n";
const char kNotFoundText[] = "見つかりません";
const char kByteOrderMarkText[] =
    "注意: javac は UTF-8 の BOM (バイトオーダーマーク) を読めません。"
    "エディタで「UTF-8 (BOM なし)」を選んで保存し直してください。\r\n";
// Enough names for the user to find the files; the rest are counted.
constexpr std::size_t kNamedOtherFiles = 10;

std::string SettingFolder() { return FieldText(Settings.JdkFolder, sizeof Settings.JdkFolder); }

// In Unicode, so that no variable outside the ANSI code page reaches the
// tools damaged.
std::wstring CurrentEnvironment() {
  std::unique_ptr<wchar_t, decltype(&FreeEnvironmentStringsW)> strings(GetEnvironmentStringsW(),
                                                                       &FreeEnvironmentStringsW);
  if (!strings) return std::wstring();
  // The block ends with an empty string: two NULs in a row.
  const wchar_t* start = strings.get();
  const wchar_t* end = start;
  while (end[0] || end[1]) ++end;
  return std::wstring(start, end + 2);
}

// What the one read of the source tells: its encoding, how much of it was
// read, and the package it declares as ANSI text like the folders' names.
struct SourceFacts {
  SourceEncoding encoding = SourceEncoding::Ascii;
  std::size_t bytesRead = 0;
  bool read = false;
  std::string package;
};

SourceFacts ReadSourceFacts(const std::string& source) {
  SourceFacts facts;
  std::string bytes;
  bool whole = true;
  if (!ReadSourceSample(source, bytes, whole)) return facts;
  facts.read = true;
  facts.bytesRead = bytes.size();
  facts.encoding = DecideSourceEncoding(bytes, whole);
  switch (facts.encoding) {
    case SourceEncoding::Ascii:
      facts.package = DeclaredPackage(bytes, false);
      break;
    case SourceEncoding::Windows31j:
      facts.package = Recode(DeclaredPackage(bytes, true), 932, CP_ACP);
      break;
    case SourceEncoding::Utf16:
      bytes = Utf16SourceAsUtf8(bytes);
      [[fallthrough]];
    case SourceEncoding::Utf8:
    case SourceEncoding::Utf8WithBom:
      facts.package = Recode(DeclaredPackage(bytes, false), CP_UTF8, CP_ACP);
      break;
  }
  return facts;
}

std::string PackageMismatchText(const std::string& package, const std::string& folder) {
  return "パッケージ " + package + " のクラスは、フォルダ " + PackageFolders(package) +
         " の中に置いてください。今のフォルダ: " + folder +
         "\r\nコンパイルだけなら、今のフォルダのままでもできます。\r\n";
}

std::string OtherEncodingText(const std::vector<std::string>& files, const char* told) {
  std::string names;
  for (std::size_t i = 0; i < files.size() && i < kNamedOtherFiles; ++i)
    names += (i ? ", " : "") + files[i];
  if (files.size() > kNamedOtherFiles)
    names += " ほか " + std::to_string(files.size() - kNamedOtherFiles) + " 個";
  return std::string(
             "注意: 次のファイルはこのファイルとエンコーディングが違うため、javac "
             "が正しく読めません (javac に伝えたエンコーディング: ") +
         (*told ? told : "なし") + "): " + names +
         "。エディタで同じエンコーディングに保存し直してください。\r\n";
}

// The encoding javac is told for the source and the others of its folder,
// and the note on what it cannot read.
void PlanEncoding(const std::string& source, const SourceFacts& facts, RunPlan& plan) {
  if (!facts.read) return;
  const FolderEncoding decided = DecideFolderEncoding(
      facts.encoding,
      OtherSourceEncodings(DirectoryOf(source), FileNameOf(source), facts.bytesRead));
  const char* name = JavacEncodingName(decided.encoding);
  plan.javacEncoding = name;
  if (facts.encoding == SourceEncoding::Utf8WithBom) plan.encodingNote += kByteOrderMarkText;
  if (!decided.otherFiles.empty()) plan.encodingNote += OtherEncodingText(decided.otherFiles, name);
}

std::optional<Jdk> RunJdkFor(const std::string& settingFolder) {
  const JdkSearch search = FoundJdks(settingFolder);
  const Jdk* jdk = PickRunJdk(search);
  return jdk ? std::optional<Jdk>(*jdk) : std::nullopt;
}

}  // namespace

bool PlanRun(const std::string& source, ToolsNeeded needed, RunPlan& plan, std::string& refusal) {
  const JdkSearch search = FoundJdks(SettingFolder());
  const Jdk* jdk =
      needed == ToolsNeeded::JdkWithAppletviewer ? PickAppletJdk(search) : PickRunJdk(search);
  if (!jdk) {
    // The user may install one before the next run.
    ForgetFoundJdks();
    refusal = PickRunJdk(search) ? kNoAppletviewerText : kNoJdkText;
    return false;
  }

  const std::string folder = DirectoryOf(source);
  const SourceFacts facts = ReadSourceFacts(source);
  std::string root = PackageRoot(folder, facts.package);
  if (!facts.package.empty() && root.empty()) {
    if (needed != ToolsNeeded::JavacAlone) {
      refusal = PackageMismatchText(facts.package, folder);
      return false;
    }
    // javac compiles it where it stands, as it always has.
    root = folder;
  }
  std::string className = source;
  StripExtension(className);
  plan = RunPlan();
  plan.jdk = *jdk;
  plan.folder = root;
  plan.sourceFile = source.substr(root.size());
  plan.package = facts.package;
  plan.className = QualifiedName(facts.package, FileNameOf(className));
  plan.environment = ToolEnvironment(*jdk);
  PlanEncoding(source, facts, plan);
  return true;
}

namespace {

ToolCall CallIn(const RunPlan& plan, const std::string& target) {
  ToolCall call;
  call.folder = plan.folder;
  call.target = target;
  call.environment = plan.environment;
  return call;
}

}  // namespace

ToolCall JavacCall(const RunPlan& plan) {
  ToolCall call = CallIn(plan, plan.sourceFile);
  call.jdk = plan.jdk;
  call.javacEncoding = plan.javacEncoding;
  call.encodingNote = plan.encodingNote;
  return call;
}

// java's JDK tells how the program reads what the user types.
ToolCall JavaCall(const RunPlan& plan) {
  ToolCall call = CallIn(plan, plan.className);
  call.jdk = plan.jdk;
  return call;
}

ToolCall CallWithJdk(const RunPlan& plan, const std::string& path) {
  ToolCall call = CallOn(path);
  call.environment = plan.environment;
  call.jdk = plan.jdk;
  return call;
}

std::optional<Jdk> ChosenJdk() { return RunJdkFor(SettingFolder()); }

std::wstring ToolEnvironment(const Jdk& jdk) {
  // Even where PATH finds this JDK's javac, an earlier folder may hold another
  // java (Oracle's javapath) or a javac.cmd.
  const std::wstring own = CurrentEnvironment();
  // Without the block (a system that has none in Unicode) the tools had
  // better keep the program's whole environment than get PATH alone.
  if (own.empty()) return own;
  return EnvironmentWithPathFirst(own, ToWide(jdk.bin, CP_ACP));
}

void PrepareInterpreterForNextRun() {
  if (!RunEnvironmentKnown()) {
    const std::optional<Jdk> jdk = ChosenJdk();
    ExpectRunEnvironment(jdk ? ToolEnvironment(*jdk) : std::wstring());
  }
  PrepareInterpreter();
}

std::string JdkDescription(const std::string& settingFolder) {
  const std::optional<Jdk> jdk = RunJdkFor(settingFolder);
  if (!jdk) return kNotFoundText;
  return jdk->folder + (jdk->version.empty() ? std::string() : " (" + jdk->version + ")");
}

std::wstring EnvironmentWithPathFirst(const std::wstring& block, const std::wstring& folder) {
  std::wstring result;
  bool found = false;
  for (std::size_t start = 0; start < block.size();) {
    std::size_t end = block.find(L'\0', start);
    if (end == std::wstring::npos) end = block.size();
    if (end == start) break;
    std::wstring entry = block.substr(start, end - start);
    start = end + 1;
    if (!found && lstrcmpiW(entry.substr(0, 5).c_str(), L"PATH=") == 0) {
      entry.insert(5, folder + L";");
      found = true;
    }
    result += entry;
    result += L'\0';
  }
  if (!found) {
    result += L"PATH=" + folder;
    result += L'\0';
  }
  result += L'\0';
  return result;
}
