// Finding the game file by its exact name anywhere below the games folder.
#pragma once

#include <string>

// Depth-first walk in listing order; "." and ".." skipped; the first file whose name
// equals name (case-sensitive) wins and its full path goes into result. Folders are
// followed, links included, but no link leads into a folder entered before, so link cycles
// end; a link whose target has no known identity (file id 0) is followed only when no other
// such link lies on its path. A folder the file system cannot list through a handle is
// listed by name instead. A folder that cannot be listed at all holds no match. result is
// untouched when nothing is found. Paths of any length work.
bool FindFileRecursive(const std::wstring& folder, const std::string& name, std::wstring& result);
