#include "platform/Platform.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>

namespace meloport::platform {

QString describeError(int code)
{
    switch (code) {
    case EEXIST:
    case ENOTEMPTY:
        return QStringLiteral("同じ名前のファイルが既にあります");
    case ENOENT:
        return QStringLiteral("ファイルまたはフォルダが見つかりません");
    case ENOTDIR:
        return QStringLiteral("フォルダではありません");
    case EISDIR:
        return QStringLiteral("フォルダです");
    case EACCES:
    case EPERM:
        return QStringLiteral("アクセスが拒否されました");
    case EROFS:
        return QStringLiteral("書き込みできない場所です");
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return QStringLiteral("ディスクの空きが足りません");
    case ENAMETOOLONG:
        return QStringLiteral("名前が長すぎます");
    case EINVAL:
    case EILSEQ:
        return QStringLiteral("ファイル名に使えない文字が含まれています");
    case EXDEV:
        return QStringLiteral("別のドライブへは移動できません");
    case EBUSY:
    case ETXTBSY:
        return QStringLiteral("ファイルが使用中です");
    case EIO:
        return QStringLiteral("読み書き中にエラーが発生しました");
    default:
        return QString::fromLocal8Bit(std::strerror(code));
    }
}

QChar pathSeparator()
{
    return u'/';
}

namespace {

// Case-insensitive test of the ".ext" ending on the raw bytes: the extension is ASCII, and
// working on bytes avoids decoding the names of every file that does not match.
bool hasExtension(const char *name, std::size_t length, const QByteArray &dotExtension)
{
    const auto n = static_cast<std::size_t>(dotExtension.size());
    return length > n && qstrnicmp(name + length - n, dotExtension.constData(), n) == 0;
}

bool isRegularFile(int dirFd, const dirent *entry)
{
    if (entry->d_type == DT_REG)
        return true;
    if (entry->d_type != DT_UNKNOWN && entry->d_type != DT_LNK)
        return false;
    // Some file systems do not fill d_type, and a link counts as the file it points to.
    struct stat st {};
    return fstatat(dirFd, entry->d_name, &st, 0) == 0 && S_ISREG(st.st_mode);
}

} // namespace

QStringList findFiles(const QString &folder, const QString &extension)
{
    QStringList names;
    std::unique_ptr<DIR, int (*)(DIR *)> dir(opendir(QFile::encodeName(folder).constData()), closedir);
    if (!dir)
        return names;
    const QByteArray dotExtension = '.' + extension.toLatin1();
    const int dirFd = dirfd(dir.get());
    while (const dirent *entry = readdir(dir.get())) {
        if (entry->d_name[0] == '.')
            continue; // hidden, and "." and ".."
        const std::size_t length = std::strlen(entry->d_name);
        if (hasExtension(entry->d_name, length, dotExtension) && isRegularFile(dirFd, entry))
            // File names are UTF-8 here, as QFile::decodeName takes them.
            names.append(QString::fromUtf8(entry->d_name, static_cast<qsizetype>(length)));
    }
    return names;
}

} // namespace meloport::platform
