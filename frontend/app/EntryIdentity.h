#pragma once

// Whether an open file or folder is still the entry it was opened as: the
// test a run makes after it locks what it made, and a removal of leftovers
// before it removes what it locked.

struct stat;

// True when a and b describe the same file.
bool SameFile(const struct stat& a, const struct stat& b);

// True when the open file or folder `fd` is still the entry `name` of the
// folder `folder` (AT_FDCWD: name is a path): no one removed or replaced it
// since it was opened.
bool IsStillNamed(int folder, const char* name, int fd);
