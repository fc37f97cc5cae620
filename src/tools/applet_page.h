// The one-line HTML page that appletviewer runs when the user names no page.
#pragma once

#include <string>

// The page's text for the applet of sourcePath: the APPLET start tag with the
// class file, width and height, one PARAM element per parameter in list
// order, and the end tag, on one line and without a terminator.
std::string AppletPageText(const std::string& sourcePath);

// Writes "temp.html" beside sourcePath; pagePath receives its path either
// way. False when the page was not written (it already exists, the path is
// too long, or writing failed).
bool WriteAppletPage(const std::string& sourcePath, std::string& pagePath);

// The same page in folder (with its trailing backslash) for the class file
// classFile as appletviewer finds it from there (a.b.Hello.class).
bool WriteAppletPageIn(const std::string& folder, const std::string& classFile,
                       std::string& pagePath);
