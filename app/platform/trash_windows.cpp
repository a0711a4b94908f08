// The recycle bin on Windows: the shell's own delete operation with undo,
// which asks the user itself and shows its own errors.
#include "trash.h"

#include <QDir>
#include <QFileInfo>

#include <windows.h>
#include <shellapi.h>

#include <string>

namespace rastrex {

namespace {

class WindowsTrash final : public Trash {
public:
    Outcome moveToTrash(const QString& path) override
    {
        Outcome out;
        // The shell takes a list of names, each closed by a zero, the list
        // closed by one more.
        std::wstring from = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()).toStdWString();
        from.push_back(L'\0');
        from.push_back(L'\0');

        SHFILEOPSTRUCTW op{};
        op.hwnd = GetActiveWindow();
        op.wFunc = FO_DELETE;
        op.pFrom = from.c_str();
        op.pTo = nullptr;
        op.fFlags = FOF_ALLOWUNDO;
        const int result = SHFileOperationW(&op);
        if (result == 0 && !op.fAnyOperationsAborted) {
            out.moved = true;
        } else if (result != 0) {
            out.reason = QStringLiteral("シェルのエラー %1").arg(result);
        }
        // Declined in the shell's own question: not moved, nothing to tell.
        return out;
    }
};

}  // namespace

Trash& systemTrash()
{
    static WindowsTrash trash;
    return trash;
}

}  // namespace rastrex
