// System calls a test may stand in for. May touch: the system calls it stands for.
#pragma once

#include <dirent.h>
#include <string>

namespace kpx {

// Where a test stands in for what only a failing disk or another process
// would do at a given moment. Each is the real call, or nothing, unless a
// test replaced it.
struct TTestSeams
{
    int (*Close)(int fd) = nullptr;              // ::close
    dirent *(*ReadDir)(DIR *folder) = nullptr;   // ::readdir
    int (*SyncFileSystem)(int fd) = nullptr;     // ::syncfs
    void (*ModesProbed)(const std::string &probe) = nullptr; // the permission probe's file exists
};

TTestSeams &TestSeams();

int CloseDescriptor(int fd);
dirent *ReadFolderEntry(DIR *folder);
int SyncFileSystemOf(int fd);

} // namespace kpx
