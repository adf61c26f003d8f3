#pragma once

#include <string_view>

namespace tw {

class Environment;

// Modes of RunFileOperation; the first three are the stored removal methods.
namespace RemoveMode {
constexpr int RecycleBin = 1;
constexpr int Delete = 2;
constexpr int MoveToFolder = 3;
constexpr int CopyToFolder = 4;
} // namespace RemoveMode

// Removes (1 Recycle Bin, 2 permanently), moves (3) or copies (4) one file through
// the shell's file operation, replacing a file of the same name in the folder; true
// only when the shell answers 0. Any other mode, and modes 3 and 4 with an empty
// folder text or one that names no existing folder, fail without touching anything
// (a missing folder must never become the file's new name; the shell refuses it).
bool RunFileOperation(Environment& env, std::string_view file, std::string_view folder, int mode);

} // namespace tw
