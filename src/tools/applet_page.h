// The one-line HTML page that appletviewer runs when the user names no page.
#pragma once

#include <string>

// Writes "temp.html" beside sourcePath; pagePath receives its path either
// way. False when the page was not written (it already exists, the path is
// too long, or writing failed).
bool WriteAppletPage(const std::string& sourcePath, std::string& pagePath);
