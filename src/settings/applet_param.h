// The applet parameter list: (name, value) pairs, their stored text form and
// the line the settings page shows for a pair.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct AppletParam {
  std::string name;
  std::string value;
};

// In the order the user added the pairs; duplicates stay.
using AppletParamList = std::vector<AppletParam>;

// Appends the pairs found in the stored text to list. The first byte is
// skipped; the text after it is name"value"name"value"...
void ParseParamText(const char* text, std::size_t length, AppletParamList& list);

// A double quote, then name"value" for each pair; a lone quote for none.
std::string BuildParamText(const AppletParamList& list);

// NAME"name" VALUE="value"
std::string ParamItemText(const AppletParam& param);
