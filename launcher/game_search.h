// Finding the game file by its exact name anywhere below the games folder.
#pragma once

#include <string>

// Depth-first walk in listing order; "." and ".." skipped; the first file whose name
// equals name (case-sensitive) wins and its full path goes into result. Folders are
// followed, links included, but none is entered twice, so link cycles end. A folder that
// cannot be listed holds no match. result is untouched when nothing is found.
bool FindFileRecursive(const std::wstring& folder, const std::string& name, std::wstring& result);
