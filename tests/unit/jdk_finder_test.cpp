// Finding the JDK on a made-up machine: fake JDK folders whose bin\javac.exe
// is the fake tool that logs its own path, registry keys written in the Wine
// prefix, and PATH, JAVA_HOME and the program folders set by the test.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <cstring>
#include <memory>
#include <vector>

#include "common/win_handle.h"
#include "java/jdk_finder.h"
#include "settings/app_settings.h"
#include "test_support.h"
#include "tools/command_pipeline.h"
#include "tools/tool_run.h"

namespace {

// A registry value while the object lives; the keys it had to make are
// removed again, deepest first.
class ScopedRegistryValue {
 public:
  ScopedRegistryValue(HKEY root, REGSAM view, const std::string& path, const char* name,
                      const std::string& value)
      : root_(root), view_(view) {
    UniqueRegKey key;
    for (std::size_t start = 0; start <= path.size();) {
      std::size_t end = path.find('\\', start);
      if (end == std::string::npos) end = path.size();
      const std::string partial = path.substr(0, end);
      start = end + 1;
      DWORD disposition = 0;
      if (RegCreateKeyExA(root, partial.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr,
                          key.Receive(), &disposition) != ERROR_SUCCESS)
        return;
      if (disposition == REG_CREATED_NEW_KEY) made_.push_back(partial);
    }
    RegSetValueExA(key.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
  }
  ~ScopedRegistryValue() {
    for (auto key = made_.rbegin(); key != made_.rend(); ++key)
      RegDeleteKeyExA(root_, key->c_str(), view_, 0);
  }
  ScopedRegistryValue(const ScopedRegistryValue&) = delete;
  ScopedRegistryValue& operator=(const ScopedRegistryValue&) = delete;

 private:
  HKEY root_;
  REGSAM view_;
  std::vector<std::string> made_;
};

class MadeUpMachine : public testing::Test {
 protected:
  void SetUp() override {
    ResetSettingsInMemory();
    ForgetFoundJdks();
    folder_ = std::make_unique<TempFolder>("jdks");
    log_ = *folder_ / "fake.log";
    char system[MAX_PATH];
    GetSystemDirectoryA(system, MAX_PATH);
    Set("PATH", system);
    Set("JAVA_HOME", "");
    Set("ProgramW6432", Folder("pf64"));
    Set("ProgramFiles", Folder("pf64"));
    Set("ProgramFiles(x86)", Folder("pf86"));
    Set("PELLARO_FAKE_LOG", log_);
    Set("PELLARO_FAKE_FULL_NAMES", "1");
    source_ = Folder("src") + "\\Hello.java";
    WriteFileBytes(source_, "class Hello {}");
  }
  void TearDown() override {
    // Last made first, so that each removes the keys it made once they are empty.
    while (!registry_.empty()) registry_.pop_back();
    ForgetFoundJdks();
    ResetSettingsInMemory();
  }

  void Set(const std::string& name, const std::string& value) {
    environment_.push_back(std::make_unique<ScopedEnv>(name, value));
  }
  // A folder under the test's own, made with the ones above it.
  std::string Folder(const std::string& relative) {
    const std::string path = *folder_ / relative;
    SHCreateDirectoryExA(nullptr, path.c_str(), nullptr);
    return path;
  }
  // A fake JDK: bin\javac.exe and java.exe (and appletviewer.exe), and a
  // release file when version is given.
  std::string MakeJdk(const std::string& relative, const std::string& version, bool appletviewer) {
    const std::string jdk = Folder(relative);
    const std::string bin = Folder(relative + "\\bin") + "\\";
    for (std::string tool : {"javac", "java", "appletviewer"}) {
      if (tool == "appletviewer" && !appletviewer) continue;
      EXPECT_TRUE(CopyFileA((FakesFolder() + "\\" + tool + ".exe").c_str(),
                            (bin + tool + ".exe").c_str(), FALSE));
    }
    if (!version.empty()) WriteFileBytes(jdk + "\\release", "JAVA_VERSION=\"" + version + "\"\n");
    return jdk;
  }
  void Register(HKEY root, REGSAM view, const std::string& path, const char* name,
                const std::string& folder) {
    registry_.push_back(std::make_unique<ScopedRegistryValue>(root, view, path, name, folder));
  }

  // Every place the finder looks at, each with a JDK; the newest is 25, and
  // only the JDK 8 has appletviewer.
  void InstallEverywhere() {
    Set("JAVA_HOME", MakeJdk("home\\jdk-11", "11.0.2", false) + "\\bin");
    Register(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, "SOFTWARE\\JavaSoft\\JDK\\17", "JavaHome",
             MakeJdk("reg\\jdk17", "", false));
    Register(HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY,
             "SOFTWARE\\Eclipse Adoptium\\JDK\\21.0.5.11\\hotspot\\MSI", "Path",
             MakeJdk("reg\\temurin", "21.0.5", false));
    Register(HKEY_CURRENT_USER, KEY_WOW64_64KEY, "SOFTWARE\\Azul Systems\\Zulu\\zulu-8",
             "InstallationPath", MakeJdk("reg\\zulu8", "1.8.0_402", true));
    Register(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, "SOFTWARE\\JavaSoft\\JDK\\16", "JavaHome",
             Folder("reg\\removed"));
    jdk25_ = MakeJdk("pf64\\Java\\jdk-25", "25", false);
    Register(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, "SOFTWARE\\JavaSoft\\JDK\\25", "JavaHome",
             jdk25_);
    MakeJdk("pf86\\BellSoft\\jdk-9", "", false);
    Folder("pf64\\Microsoft\\Edge");
  }

  // Runs slot 0 as ExeMode mode; the tools that ran, by full path.
  std::vector<std::string> Run(DWORD mode) {
    DeleteFileA(log_.c_str());
    Settings.Cmd[0].ExeMode = mode;
    ResultBuffer[0] = '\0';
    RunSequence(0, source_, ResultBuffer);
    std::vector<std::string> tools;
    for (const auto& record : ReadFakeLog(log_))
      if (record.size() == 3) tools.push_back(record[0]);
    return tools;
  }

  std::unique_ptr<TempFolder> folder_;
  std::vector<std::unique_ptr<ScopedEnv>> environment_;
  std::vector<std::unique_ptr<ScopedRegistryValue>> registry_;
  std::string log_;
  std::string source_;
  std::string jdk25_;
};

using Names = std::vector<std::string>;

TEST_F(MadeUpMachine, NewestInstalledJdkRunsAndAppletsTakeTheNewestWithAppletviewer) {
  InstallEverywhere();
  // JDK 25 is registered and in the program folder: found once.
  Names versions;
  for (const Jdk& jdk : SearchJdks("").found) versions.push_back(jdk.version);
  EXPECT_EQ(versions, (Names{"25", "21.0.5", "17", "11.0.2", "9", "1.8.0_402"}));

  const std::string bin25 = jdk25_ + "\\bin\\";
  EXPECT_EQ(Run(3), (Names{bin25 + "javac.exe", bin25 + "java.exe"})) << Utf8(ResultBuffer);
  const std::string bin8 = *folder_ / "reg\\zulu8\\bin\\";
  EXPECT_EQ(Run(7), (Names{bin8 + "javac.exe", bin8 + "appletviewer.exe"})) << Utf8(ResultBuffer);
}

TEST_F(MadeUpMachine, SettingComesFirstThenThePathThenTheInstalledOnes) {
  InstallEverywhere();
  const std::string mine = MakeJdk("mine", "17.0.1", false);
  const std::string onPath = MakeJdk("path\\jdk", "", false);
  Set("PATH", onPath + "\\bin;" + EnvironmentValue("PATH"));

  auto runJdk = [](const std::string& setting) {
    const JdkSearch search = SearchJdks(setting);
    return PickRunJdk(search) ? PickRunJdk(search)->folder : "none";
  };
  EXPECT_EQ(runJdk(mine + "\\bin\\"), mine);
  EXPECT_EQ(runJdk(*folder_ / "no-jdk-here"), onPath);

  std::strcpy(Settings.JdkFolder, mine.c_str());
  EXPECT_EQ(Run(3), (Names{mine + "\\bin\\javac.exe", mine + "\\bin\\java.exe"}));
}

TEST_F(MadeUpMachine, WithoutAJdkNothingRunsAndTheResultSaysWhy) {
  EXPECT_TRUE(Run(3).empty());
  std::string result = ResultBuffer;
  EXPECT_EQ(result.find("認識されていません"), std::string::npos) << Utf8(result);
  EXPECT_NE(result.find("javac が見つかりません"), std::string::npos) << Utf8(result);

  // The search is made again once a run found nothing.
  MakeJdk("pf64\\Microsoft\\jdk-17.0.9.8-hotspot", "", false);
  EXPECT_TRUE(Run(7).empty());
  result = ResultBuffer;
  EXPECT_NE(result.find("JDK 11 で削除されました"), std::string::npos) << Utf8(result);
  EXPECT_EQ(Run(1).size(), 1u) << Utf8(ResultBuffer);
}

// Oracle's JRE puts a folder with java.exe alone at PATH's front; the JDK
// that compiles stands at its end. java must come from that JDK too.
TEST_F(MadeUpMachine, JavaComesFromTheJdkOfJavacWhateverStandsBeforeItOnPath) {
  const std::string javapath = Folder("Oracle\\Java\\javapath");
  ASSERT_TRUE(
      CopyFileA((FakesFolder() + "\\java.exe").c_str(), (javapath + "\\java.exe").c_str(), FALSE));
  const std::string jdk = MakeJdk("jdk-21", "21.0.5", false);
  Set("PATH", javapath + ";" + EnvironmentValue("PATH") + ";" + jdk + "\\bin");
  EXPECT_EQ(Run(3), (Names{jdk + "\\bin\\javac.exe", jdk + "\\bin\\java.exe"}))
      << Utf8(ResultBuffer);
}

// An update replaces the JDK's folder; one installed meanwhile is seen once
// the search has aged.
TEST_F(MadeUpMachine, JdkReplacedByAnUpdateIsFoundAgain) {
  const std::string old = MakeJdk("pf64\\Microsoft\\jdk-17.0.9.8-hotspot", "", false);
  EXPECT_EQ(Run(1), Names{old + "\\bin\\javac.exe"});
  const std::string updated = *folder_ / "pf64\\Microsoft\\jdk-17.0.10.7-hotspot";
  ASSERT_TRUE(MoveFileA(old.c_str(), updated.c_str()));
  EXPECT_EQ(Run(1), Names{updated + "\\bin\\javac.exe"}) << Utf8(ResultBuffer);

  const std::string newer = MakeJdk("pf64\\Java\\jdk-21", "21", false);
  EXPECT_EQ(FoundJdks("").found.front().folder, updated);
  EXPECT_EQ(FoundJdks("", 0).found.front().folder, newer);
}

// The tools get the program's environment in Unicode, only PATH changed.
TEST_F(MadeUpMachine, VariableOutsideTheAnsiCodePageReachesTheToolsWhole) {
  MakeJdk("pf64\\Java\\jdk-21", "21", false);
  ASSERT_TRUE(SetEnvironmentVariableW(L"PELLARO_ZDIR", L"C:\\work\\Zo\u00EB\u0142"));
  Set("PELLARO_FAKE_ENV", "PELLARO_ZDIR");
  Run(3);
  SetEnvironmentVariableW(L"PELLARO_ZDIR", nullptr);
  Names values;
  for (const auto& record : ReadFakeLog(log_))
    if (record.size() == 2 && record[0] == "env") values.push_back(record[1]);
  EXPECT_EQ(values, (Names{"C:\\work\\Zo\xC3\xAB\xC5\x82", "C:\\work\\Zo\xC3\xAB\xC5\x82"}));
}

}  // namespace
