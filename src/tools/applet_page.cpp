// Writing the applet page.
#include "tools/applet_page.h"

#include <windows.h>
#include <commdlg.h>

#include "common/dbcs_text.h"
#include "common/win_handle.h"
#include "settings/app_settings.h"
#include "tools/path_ops.h"

namespace {

constexpr std::size_t kMaxPathLength = MAX_PATH - 1;

// The class file as the system would show its name to the user: Hello.class,
// or Hello where extensions are hidden.
std::string ClassFileTitle(const std::string& sourcePath) {
  std::string classPath = sourcePath;
  StripExtension(classPath);
  classPath += ".class";
  char title[MAX_PATH] = {};
  if (GetFileTitleA(classPath.c_str(), title, sizeof title) != 0) return FileNameOf(classPath);
  return FieldText(title, sizeof title);
}

std::string PageText(const std::string& classFile) {
  std::string text = "<APPLET CODE=\"" + classFile + "\" WIDTH=\"" +
                     FieldText(Settings.width, sizeof Settings.width) + "\" HEIGHT=\"" +
                     FieldText(Settings.height, sizeof Settings.height) + "\">";
  for (const AppletParam& param : Settings.Param)
    text += "<PARAM NAME=\"" + param.name + "\" VALUE=\"" + param.value + "\">";
  text += "</APPLET>";
  return text;
}

}  // namespace

std::string AppletPageText(const std::string& sourcePath) {
  return PageText(ClassFileTitle(sourcePath));
}

bool WriteAppletPage(const std::string& sourcePath, std::string& pagePath) {
  return WriteAppletPageIn(DirectoryOf(sourcePath), ClassFileTitle(sourcePath), pagePath);
}

bool WriteAppletPageIn(const std::string& folder, const std::string& classFile,
                       std::string& pagePath) {
  pagePath = folder + "temp.html";
  // Without a folder the page would land in the current directory, not
  // beside the source.
  if (folder.empty() || pagePath.size() > kMaxPathLength) return false;

  const std::string text = PageText(classFile);
  UniqueHandle file(CreateFileA(pagePath.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  DWORD written = 0;
  bool complete =
      WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
      written == text.size();
  file.Reset();
  // A partly written page is not left behind to be taken for a whole one.
  if (!complete) DeleteFileA(pagePath.c_str());
  return complete;
}
