// The applet parameter list's stored text form.
#include "settings/applet_param.h"

#include <cstring>

void ParseParamText(const char* text, std::size_t length, AppletParamList& list) {
  if (length <= 1) return;
  std::size_t position = 1;
  bool haveName = false;
  std::string name;
  while (position < length) {
    // 0x22 is never the trail byte of a double-byte character, so a plain
    // byte search finds only real quotes.
    const void* quote = std::memchr(text + position, '"', length - position);
    if (!quote) break;
    std::size_t end = static_cast<const char*>(quote) - text;
    std::string token(text + position, end - position);
    if (haveName) {
      list.push_back({std::move(name), std::move(token)});
      name.clear();
    } else {
      name = std::move(token);
    }
    haveName = !haveName;
    position = end + 1;
  }
}

std::string BuildParamText(const AppletParamList& list) {
  std::string text = "\"";
  for (const AppletParam& param : list) {
    text += param.name;
    text += '"';
    text += param.value;
    text += '"';
  }
  return text;
}

std::string ParamItemText(const AppletParam& param) {
  return "NAME\"" + param.name + "\" VALUE=\"" + param.value + "\"";
}
