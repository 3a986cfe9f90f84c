#include "EntryIdentity.h"

#include <fcntl.h>
#include <sys/stat.h>

bool SameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool IsStillNamed(int folder, const char* name, int fd)
{
    struct stat opened {};
    struct stat named {};
    return ::fstat(fd, &opened) == 0 && opened.st_nlink > 0
           && ::fstatat(folder, name, &named, AT_SYMLINK_NOFOLLOW) == 0 && SameFile(opened, named);
}
