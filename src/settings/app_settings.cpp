// Loading and saving the configuration record under HKEY_CURRENT_USER.
#include "settings/app_settings.h"

#include <cstring>

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

AppSettings::AppSettings() {
  for (int i = 0; i < kSlotCount; ++i) Cmd[i].ExeMode = static_cast<DWORD>(i + 1);
  PxsMode = 0;
  LoadSettings();
}

AppSettings::~AppSettings() { SaveSettings(); }

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
}

void AppSettings::SaveSettings() const {
  for (int i = 0; i < kSlotCount; ++i) {
    RegKey key;
    key.Create(HKEY_CURRENT_USER, kSlotKeyPaths[i]);
    const CommandSlot& slot = Cmd[i];
    key.WriteDword("ExeMode", slot.ExeMode);
    key.WriteText("FirstCmdLine", FieldText(slot.FirstCmdLine, sizeof slot.FirstCmdLine));
    key.WriteText("SecondCmdLine", FieldText(slot.SecondCmdLine, sizeof slot.SecondCmdLine));
    key.WriteText("ToolTipText", FieldText(slot.ToolTipText, sizeof slot.ToolTipText));
    key.WriteDword("HotKey1", slot.HotKey1);
    key.WriteDword("HotKey2", slot.HotKey2);
  }

  RegKey key;
  key.Create(HKEY_CURRENT_USER, kAppDataSavePath);
  key.WriteText("editor", FieldText(editor, sizeof editor));
  key.WriteText("height", FieldText(height, sizeof height));
  key.WriteText("width", FieldText(width, sizeof width));
  key.WriteDword("Forground", Forground);
  key.WriteText("LineJump", FieldText(LineJump, sizeof LineJump));
  key.WriteDword("Kekka", Kekka);
  key.WriteDword("DOSPrompt", DOSPrompt);
  key.WriteText("ClassCmdLine", FieldText(ClassCmdLine, sizeof ClassCmdLine));
  key.WriteText("HTMLRead", FieldText(HTMLRead, sizeof HTMLRead));
  key.WriteDword("LogSizeX", static_cast<DWORD>(LogSizeX));
  key.WriteDword("LogSizeY", static_cast<DWORD>(LogSizeY));
  key.WriteDword("LogPosX", static_cast<DWORD>(LogPosX));
  key.WriteDword("LogPosY", static_cast<DWORD>(LogPosY));
  key.WriteDword("WindowX", static_cast<DWORD>(WindowX));
  key.WriteDword("WindowY", static_cast<DWORD>(WindowY));
  key.WriteDword("Fukusuu", Fukusuu);
  key.WriteBinary("font", &font, sizeof font);

  std::string paramText = BuildParamText(Param);
  key.WriteText("Param", paramText.size() < 2 ? kNoParamText : paramText);
}
