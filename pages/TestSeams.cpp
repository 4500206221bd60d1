#include "pages/TestSeams.h"

#include <unistd.h>

namespace kpx {

TTestSeams &TestSeams()
{
    static TTestSeams seams;
    return seams;
}

int CloseDescriptor(int fd)
{
    const auto close = TestSeams().Close;
    return close ? close(fd) : ::close(fd);
}

dirent *ReadFolderEntry(DIR *folder)
{
    const auto read = TestSeams().ReadDir;
    return read ? read(folder) : ::readdir(folder);
}

int SyncFileSystemOf(int fd)
{
    const auto sync = TestSeams().SyncFileSystem;
    return sync ? sync(fd) : ::syncfs(fd);
}

} // namespace kpx
