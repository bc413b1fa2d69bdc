// guards.h - checks made before the library deletes, writes or starts
// something whose name came from outside: a folder, a registry key, an argument.
#ifndef ZK_PLATFORM_GUARDS_H
#define ZK_PLATFORM_GUARDS_H

#include <cstddef>

namespace zk {

// True when `path` names something at least one level below `folder`: both
// are made full and long (8.3 names and "." / ".." resolved), compared without
// regard to case, trailing backslashes ignored.  The folder itself, a sibling
// that only shares the folder's name as a prefix, and null or empty texts are
// never inside.
bool isStrictlyInside(const char* path, const char* folder);

// True when both name the same folder, compared in the same forms as above;
// null or empty texts never do.
bool isSameFolder(const char* a, const char* b);

// A game's own key (no root): SOFTWARE\<division>\<name> or deeper, outside Microsoft, Classes,
// Policies, Wow6432Node and the maker's shared game list; no empty, "." or ".." part.  Any case.
bool isProductKey(const char* keyPath);

// A product's entry in the system's shared lists: exactly one non-empty part
// below SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall or ...\App Paths.  Any case.
bool isProductUninstallKey(const char* keyPath);

// Writes `arg` as one argument of a command line, so that the Windows parser
// (CommandLineToArgvW, the C runtime's startup) gives back exactly `arg`: as it
// is when it is not empty and has no blank, tab, newline or quote; otherwise in
// quotes, with \" for each quote and the backslashes before a quote or the
// closing quote doubled.  Null counts as "".  When the result does not fit:
// false and an empty `out`, because a cut argument would be another argument,
// or an open quote that swallows the rest of the line.
bool quoteArgument(const char* arg, char* out, size_t cap);

} // namespace zk

#endif
