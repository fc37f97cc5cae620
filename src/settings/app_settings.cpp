// Loading and saving the configuration record under HKEY_CURRENT_USER.
#include "settings/app_settings.h"

#include <cstring>
#include <string>

#include "common/dbcs_text.h"
#include "settings/reg_key.h"

const char kSlotKeyPaths[kSlotCount][40] = {
    "Software\\DrussetAPP\\Pellaro\\Cmd1",
    "Software\\DrussetAPP\\Pellaro\\Cmd2",
    "Software\\DrussetAPP\\Pellaro\\Cmd3",
};
const char kAppDataLoadPath[] = "Software\\DrussetAPP\\Pellaro\\AppData";
const char kAppDataSavePath[] = "SoftWare\\DrussetApp\\Pellaro\\AppData";

namespace {

const char kNoParamText[] = "NO DATA";

// Reads a text field; a missing or oversized value leaves it empty.
template <std::size_t N>
void LoadText(const RegKey& key, const char* name, char (&field)[N]) {
  if (!key.ReadText(name, field, N)) field[0] = '\0';
}

void LoadFlag(const RegKey& key, const char* name, DWORD& field, DWORD fallback) {
  if (!key.ReadDword(name, field)) field = fallback;
}

void LoadPosition(const RegKey& key, const char* name, LONG& field) {
  DWORD value = 0;
  field = key.ReadDword(name, value) ? static_cast<LONG>(value) : 0;
}

}  // namespace

LOGFONTA DefaultResultFont() {
  LOGFONTA font = {};
  font.lfHeight = 14;
  font.lfWeight = FW_NORMAL;
  font.lfCharSet = SHIFTJIS_CHARSET;
  font.lfQuality = PROOF_QUALITY;
  font.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
  // The horizontal face: the "@" face draws every glyph turned on its side.
  std::strcpy(font.lfFaceName, "ＭＳ ゴシック");
  return font;
}

namespace {

std::string StoredValueId(int key, const char* name) { return std::to_string(key) + name; }

}  // namespace

AppSettings::AppSettings(Storage storage) : storage_(storage) {
  for (int i = 0; i < kSlotCount; ++i) Cmd[i].ExeMode = static_cast<DWORD>(i + 1);
  PxsMode = 0;
  font = DefaultResultFont();
  if (storage_ == Storage::LoadAndSave) LoadSettings();
}

AppSettings::~AppSettings() {
  if (storage_ == Storage::LoadAndSave) SaveSettings();
}

void AppSettings::LoadSettings() {
  for (int i = 0; i < kSlotCount; ++i) {
    RegKey key;
    key.Create(HKEY_CURRENT_USER, kSlotKeyPaths[i]);
    CommandSlot& slot = Cmd[i];
    key.ReadDword("ExeMode", slot.ExeMode);
    key.ReadText("FirstCmdLine", slot.FirstCmdLine, sizeof slot.FirstCmdLine);
    key.ReadText("SecondCmdLine", slot.SecondCmdLine, sizeof slot.SecondCmdLine);
    key.ReadText("ToolTipText", slot.ToolTipText, sizeof slot.ToolTipText);
    key.ReadDword("HotKey1", slot.HotKey1);
    key.ReadDword("HotKey2", slot.HotKey2);
  }

  RegKey key;
  key.Create(HKEY_CURRENT_USER, kAppDataLoadPath);
  LoadText(key, "editor", editor);
  LoadText(key, "height", height);
  LoadText(key, "width", width);
  LoadFlag(key, "Forground", Forground, 1);
  LoadText(key, "LineJump", LineJump);
  LoadFlag(key, "Kekka", Kekka, 0);
  LoadFlag(key, "DOSPrompt", DOSPrompt, 0);
  LoadText(key, "ClassCmdLine", ClassCmdLine);
  LoadText(key, "HTMLRead", HTMLRead);
  LoadPosition(key, "LogSizeX", LogSizeX);
  LoadPosition(key, "LogSizeY", LogSizeY);
  LoadPosition(key, "LogPosX", LogPosX);
  LoadPosition(key, "LogPosY", LogPosY);
  LoadPosition(key, "WindowX", WindowX);
  LoadPosition(key, "WindowY", WindowY);
  LoadFlag(key, "Fukusuu", Fukusuu, 0);
  if (!key.ReadBinary("font", &font, sizeof font)) font = DefaultResultFont();

  std::string paramText;
  if (key.ReadAll("Param", paramText) && !paramText.empty())
    ParseParamText(paramText.data(), paramText.size(), Param);
  LoadText(key, "JdkFolder", JdkFolder);
  LoadFlag(key, "FastJavac", FastJavac, 1);
  LoadFlag(key, "ShowHints", ShowHints, 1);
  RememberStoredState();
}

void AppSettings::ForEachStoredValue(const StoredValueVisitor& visit) const {
  auto text = [&](int key, const char* name, const char* field, std::size_t size) {
    visit(key, name, REG_SZ, FieldText(field, size));
  };
  auto number = [&](int key, const char* name, DWORD value) {
    visit(key, name, REG_DWORD, std::string(reinterpret_cast<const char*>(&value), sizeof value));
  };
  for (int i = 0; i < kSlotCount; ++i) {
    const CommandSlot& slot = Cmd[i];
    number(i, "ExeMode", slot.ExeMode);
    text(i, "FirstCmdLine", slot.FirstCmdLine, sizeof slot.FirstCmdLine);
    text(i, "SecondCmdLine", slot.SecondCmdLine, sizeof slot.SecondCmdLine);
    text(i, "ToolTipText", slot.ToolTipText, sizeof slot.ToolTipText);
    number(i, "HotKey1", slot.HotKey1);
    number(i, "HotKey2", slot.HotKey2);
  }
  const int app = kAppDataKey;
  text(app, "editor", editor, sizeof editor);
  text(app, "height", height, sizeof height);
  text(app, "width", width, sizeof width);
  number(app, "Forground", Forground);
  text(app, "LineJump", LineJump, sizeof LineJump);
  number(app, "Kekka", Kekka);
  number(app, "DOSPrompt", DOSPrompt);
  text(app, "ClassCmdLine", ClassCmdLine, sizeof ClassCmdLine);
  text(app, "HTMLRead", HTMLRead, sizeof HTMLRead);
  number(app, "LogSizeX", static_cast<DWORD>(LogSizeX));
  number(app, "LogSizeY", static_cast<DWORD>(LogSizeY));
  number(app, "LogPosX", static_cast<DWORD>(LogPosX));
  number(app, "LogPosY", static_cast<DWORD>(LogPosY));
  number(app, "WindowX", static_cast<DWORD>(WindowX));
  number(app, "WindowY", static_cast<DWORD>(WindowY));
  number(app, "Fukusuu", Fukusuu);
  visit(app, "font", REG_BINARY, std::string(reinterpret_cast<const char*>(&font), sizeof font));
  std::string paramText = BuildParamText(Param);
  visit(app, "Param", REG_SZ, paramText.size() < 2 ? kNoParamText : paramText);
  text(app, "JdkFolder", JdkFolder, sizeof JdkFolder);
  number(app, "FastJavac", FastJavac);
  number(app, "ShowHints", ShowHints);
}

void AppSettings::RememberStoredState() {
  RegKey keys[kSlotCount + 1];
  for (int i = 0; i < kSlotCount; ++i) keys[i].Open(HKEY_CURRENT_USER, kSlotKeyPaths[i]);
  keys[kAppDataKey].Open(HKEY_CURRENT_USER, kAppDataLoadPath);
  stored_.clear();
  ForEachStoredValue([&](int key, const char* name, DWORD, const std::string& bytes) {
    stored_[StoredValueId(key, name)] = {keys[key].Exists(name), bytes};
  });
}

void AppSettings::SaveSettings() {
  RegKey keys[kSlotCount + 1];
  for (int i = 0; i < kSlotCount; ++i) keys[i].Create(HKEY_CURRENT_USER, kSlotKeyPaths[i]);
  keys[kAppDataKey].Create(HKEY_CURRENT_USER, kAppDataSavePath);
  // Only what this process changed, and the defaults of values that were
  // missing: a value it could not take in (too long for its field, say) stays
  // as stored, and another process's newer settings are not overwritten with
  // this one's stale copy.
  ForEachStoredValue([&](int key, const char* name, DWORD type, const std::string& bytes) {
    StoredState& state = stored_[StoredValueId(key, name)];
    // Unchanged: nothing to write, unless it is still missing.
    if (state.bytes == bytes && (state.existed || keys[key].Exists(name))) return;
    if (keys[key].WriteBytes(name, type, bytes) == ERROR_SUCCESS) state = {true, bytes};
  });
}
