#pragma once

#include <string>

#include <cerrno>
#include <dirent.h>

#include <filesystem>

#include "pages/Destination.h"
#include "pages/RecFileData.h"
#include "pages/TestSeams.h"

namespace kpx::test {

// The expected download block, spelled out line by line.
inline std::string Block(const std::string &data, const std::string &copyright, const std::string &standby,
                  const std::string &groupedSize, const std::string &title, const std::string &size,
                  const std::string &disposition)
{
    return "<object data=" + data + " type=\"application/x-mpeg\" copyright=\"" + copyright + "\" \r\n"
           + "    standby=\"" + standby + " (" + groupedSize + "byte)\">\r\n"
           + "\x81\x40<param name=\"title\" value=\"" + title + "\" valuetype=\"data\" />\r\n"
           + "\x81\x40<param name=\"size\" value=\"" + size + "\" valuetype=\"data\" />\r\n"
           + "\x81\x40<param name=\"disposition\" value=\"" + disposition + "\" valuetype=\"data\" />\r\n"
           + "</object>\r\n\r\n";
}

inline TRecFileData Entry(const std::string &name, std::int64_t size)
{
    TRecFileData entry;
    entry.OrgName = name + ".amc";
    entry.CopyName = name + ".amc";
    entry.FileSize = size;
    entry.LinkName = name;
    entry.SaveName = name;
    return entry;
}

} // namespace kpx::test

namespace kpx::test {

// Puts a test's stand-in for one system call (a field of TestSeams()) in
// place while it lives.
template <typename TCall>
class TSeam
{
public:
    TSeam(TCall &slot, TCall standIn) : FSlot(slot), FBefore(slot) { FSlot = standIn; }
    ~TSeam() { FSlot = FBefore; }
    TSeam(const TSeam &) = delete;
    TSeam &operator=(const TSeam &) = delete;

private:
    TCall &FSlot;
    TCall FBefore;
};

// Ends every folder listing with an error after its first names, as a
// failing disk would, while it lives.
class TListingCutShort
{
public:
    explicit TListingCutShort(int names) : FSeam(TestSeams().ReadDir, Read)
    {
        Left() = names;
    }

private:
    static int &Left()
    {
        static int left = 0;
        return left;
    }
    static dirent *Read(DIR *folder)
    {
        if (Left()-- <= 0) {
            errno = EIO;
            return nullptr;
        }
        return ::readdir(folder);
    }
    TSeam<dirent *(*)(DIR *)> FSeam;
};

// A test's path as the engine takes a file: its folder opened once and its
// name there, for a destination (TPlace) or a movie to copy (TMovieSource).
class At
{
public:
    explicit At(const std::filesystem::path &path)
        : FFolder(path.parent_path().native() + "/")
        , FName(path.filename().native())
    {}
    operator TPlace() const { return {FFolder, FName}; }
    operator TMovieSource() const { return {FFolder, FName, 0, std::nullopt}; }

private:
    TOpenFolder FFolder;
    std::string FName;
};

// A test's folder, opened as a run opens it.
inline TOpenFolder Opened(const std::filesystem::path &folder)
{
    return TOpenFolder(folder.native() + "/");
}

} // namespace kpx::test
