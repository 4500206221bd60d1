#include "pages/FileErrors.h"

#include <cerrno>
#include <cstring>

#include "text/Cp932.h"

namespace kpx {

std::string DescribeErrno(int error)
{
    switch (error) {
    case NotRegularFileError:
        return Sjis("通常のファイルではありません（パイプ、ソケットまたはデバイス）。");
    case SourceChangedError:
        return Sjis("コピー中に元のファイルが書き換えられました。");
    case ENOENT:
        return Sjis("ファイルまたはフォルダが見つかりません。");
    case EACCES:
    case EPERM:
        return Sjis("アクセスが拒否されました。");
    case EROFS:
        return Sjis("読み取り専用のドライブです。");
    case ENOSPC:
    case EDQUOT:
        return Sjis("ディスクの空き容量が不足しています。");
    case EFBIG:
        return Sjis("ファイルが大きすぎます。");
    case EISDIR:
        return Sjis("同じ名前のフォルダがあります。");
    case ENOTDIR:
        return Sjis("パスの途中にフォルダでないものがあります。");
    case ENAMETOOLONG:
        return Sjis("ファイル名が長すぎます。");
    case EIO:
        return Sjis("入出力エラーが発生しました。");
    default:
        return Sjis(std::string(std::strerror(error)));
    }
}

std::string DisplayPath(const std::filesystem::path &path)
{
    return Utf8ToCp932Lossy(FileNameText(path.native()));
}

std::string FailureText(const TFileFailure &failure)
{
    const std::string file = Sjis("ファイル「") + DisplayPath(failure.Path) + Sjis("」");
    const auto withReason = [&](const char *what) { return file + Sjis(what) + "\r\n" + DescribeErrno(failure.Error); };
    switch (failure.Step) {
    case TFileStep::ReadSource:
        return withReason("を読み込めません。");
    case TFileStep::Create:
        return withReason("を作成できません。");
    case TFileStep::CopyInto:
        return withReason("へコピーできません。");
    case TFileStep::Write:
        return withReason("を書き込めません。");
    case TFileStep::KeepSource:
        return file + Sjis("は元の動画ファイルなので、置き換えません。");
    case TFileStep::WriteOut:
        return Sjis("フォルダ「") + DisplayPath(failure.Path) + Sjis("」に書き込んだ内容をディスクに保存できませんでした。")
               + "\r\n" + DescribeErrno(failure.Error);
    }
    return file;
}

} // namespace kpx
