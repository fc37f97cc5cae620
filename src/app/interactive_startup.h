// Every start that is not compile-only: the editor, the tool window and the
// message loop.
#pragma once

#include <windows.h>

#include <string>

enum class StartupKind { SettingsFile, JavaSource, Other };

// The file a start names: the command line less one pair of surrounding
// quotes, made full against the current directory. Empty when none is named.
std::string StartupFile(std::string commandLine);

// By the path's ending, letter case as given: ".PXS"/".pxs" is a settings
// file, ".JAV" (a short name) or ".java" a Java source.
StartupKind ClassifyStartupFile(const std::string& path);

int RunInteractiveStartup(std::string commandLine, bool anotherInstance, HANDLE instanceMutex);
