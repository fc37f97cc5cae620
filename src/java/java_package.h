// The package a Java source declares, and how it places the source: javac and
// java must run in the folder above the package's folders, and java takes the
// class's qualified name.
#pragma once

#include <string>

// The name in the source's first declaration when that is "package a.b;",
// after a UTF-8 byte order mark, blanks and comments; empty otherwise (the
// default package). The name's bytes are the source's own; with shiftJis a
// lead byte takes the next byte with it, as that may be any byte.
std::string DeclaredPackage(const std::string& source, bool shiftJis);

// a\b for the package a.b.
std::string PackageFolders(const std::string& package);

// The folder above the package's folders: for C:\src\a\b\ and a.b it is
// C:\src\ (with its backslash). Empty when folder (with its trailing
// backslash) does not end in the package's folders, compared without regard
// to case.
std::string PackageRoot(const std::string& folder, const std::string& package);

// a.b.Name, or Name alone in the default package.
std::string QualifiedName(const std::string& package, const std::string& className);
