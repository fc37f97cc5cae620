// Every start that is not compile-only: the editor, the tool window and the
// message loop.
#pragma once

#include <windows.h>

#include <string>

enum class StartupKind { SettingsFile, JavaSource, Other };

// By the path's ending, letter case as given: ".PXS"/".pxs" is a settings
// file, ".JAV" (a short name) or ".java" a Java source.
StartupKind ClassifyStartupFile(const std::string& path);

int RunInteractiveStartup(std::string commandLine, bool anotherInstance, HANDLE instanceMutex);
