#include "support/TestSupport.h"

#include <csignal>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

#include "text/Cp932.h"

namespace kpx::test {

std::string Hex(std::string_view bytes)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : bytes) {
        if (!out.empty())
            out += ' ';
        out += digits[c >> 4];
        out += digits[c & 0xF];
    }
    return out;
}

std::string ReadFileBytes(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::filesystem::path &path, std::string_view bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write test file " + path.string());
}

std::map<std::string, std::string> FolderContents(const std::filesystem::path &folder)
{
    std::map<std::string, std::string> contents;
    for (const auto &entry : std::filesystem::recursive_directory_iterator(folder))
        contents[entry.path().lexically_relative(folder).string()] =
            entry.is_regular_file() ? ReadFileBytes(entry.path()) : std::string("<folder>");
    return contents;
}

TempDir::~TempDir()
{
    // By bytes: Qt cannot remove names that are not UTF-8 (the CP932 name tests).
    std::error_code ignored;
    std::filesystem::remove_all(path(), ignored);
}

TempDir::TempDir()
{
    if (!FDir.isValid())
        throw std::runtime_error("cannot create a temporary folder");
}

std::filesystem::path TempDir::path() const
{
    return std::filesystem::path(FDir.path().toStdString());
}

std::string TempDir::cp932() const
{
    return Sjis(FDir.path().toStdString() + "/");
}

std::filesystem::path TempDir::operator/(std::string_view utf8Name) const
{
    return path() / std::filesystem::path(std::string(utf8Name));
}

pid_t EndedProcessId()
{
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return child;
}

FileSizeLimit::FileSizeLimit(rlim_t bytes)
{
    getrlimit(RLIMIT_FSIZE, &FSaved);
    FOldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = FSaved;
    limited.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limited);
}

FileSizeLimit::~FileSizeLimit()
{
    setrlimit(RLIMIT_FSIZE, &FSaved);
    std::signal(SIGXFSZ, FOldHandler);
}

} // namespace kpx::test
