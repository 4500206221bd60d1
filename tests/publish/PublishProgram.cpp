#include "PublishProgram.h"

#include <gtest/gtest.h>

#include <QProcess>

#include "support/TestSupport.h"
#include "text/Cp932.h"

namespace kpx::test {

TProgramRun RunProgram(const QStringList &arguments, const TProgramSetup &setup)
{
    QProcess process;
    process.setProcessEnvironment(setup.Environment);
    if (!setup.StandardInputFile.isEmpty())
        process.setStandardInputFile(setup.StandardInputFile);
    process.start(setup.Program, arguments);
    TProgramRun run;
    if (!process.waitForStarted(30000)) {
        ADD_FAILURE() << "kpx_publish did not start: " << process.errorString().toStdString();
        return run;
    }
    if (setup.StandardInputFile.isEmpty())
        process.closeWriteChannel();
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        ADD_FAILURE() << "kpx_publish did not finish";
    }
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit) << "kpx_publish crashed";
    run.ExitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.Out = process.readAllStandardOutput().toStdString();
    run.Err = process.readAllStandardError().toStdString();
    return run;
}

void WriteSettingsFile(const std::filesystem::path &path, const std::vector<std::string_view> &utf8Lines)
{
    std::string bytes;
    for (std::string_view line : utf8Lines)
        bytes += Sjis(line) + "\r\n";
    WriteFileBytes(path, bytes);
}

QString Arg(const std::filesystem::path &path)
{
    return QString::fromStdString(path.native());
}

} // namespace kpx::test
