#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include <QProcessEnvironment>
#include <QStringList>

namespace kpx::test {

// What one run of kpx_publish left: its exit status and what it said (UTF-8).
struct TProgramRun
{
    int ExitCode = -1;
    std::string Out;
    std::string Err;
};

struct TProgramSetup
{
    QString Program = QStringLiteral(KPX_PUBLISH_EXE);
    QString StandardInputFile; // empty: a pipe that is closed at once
    QProcessEnvironment Environment = QProcessEnvironment::systemEnvironment();
};

// Runs the real executable and waits for it; a crash or a hang fails the test.
TProgramRun RunProgram(const QStringList &arguments, const TProgramSetup &setup = {});

// A settings file as the desktop program writes it: CP932, CR LF, from UTF-8 lines.
void WriteSettingsFile(const std::filesystem::path &path, const std::vector<std::string_view> &utf8Lines);

// The arguments as QStrings, paths in their native spelling.
QString Arg(const std::filesystem::path &path);

} // namespace kpx::test
