#include "common/removal.h"

#include <exception>
#include <string>

#include "common/machine/environment.h"
#include "common/shell/shell.h"

namespace tw {

bool RunFileOperation(Environment& env, std::string_view file, std::string_view folder, int mode)
{
    using namespace ShellOp;
    constexpr uint16_t Quiet = FOF_SILENT | FOF_NOCONFIRMATION | FOF_FILESONLY; // 0x0094
    FileOperation operation;
    switch (mode) {
    case RemoveMode::RecycleBin:
        operation.function = FO_DELETE;
        operation.flags = Quiet | FOF_ALLOWUNDO; // 0x00D4
        break;
    case RemoveMode::Delete:
        operation.function = FO_DELETE;
        operation.flags = Quiet;
        break;
    case RemoveMode::MoveToFolder:
        operation.function = FO_MOVE;
        operation.flags = Quiet;
        break;
    case RemoveMode::CopyToFolder:
        operation.function = FO_COPY;
        operation.flags = Quiet;
        break;
    default:
        // An unknown method (0 written by hand, say) requests nothing at all.
        return false;
    }
    // A move or copy needs a folder to go into; the shell refuses an empty or
    // missing one as well, this keeps the rule visible where the modes are.
    if ((mode == RemoveMode::MoveToFolder || mode == RemoveMode::CopyToFolder) && folder.empty())
        return false;

    operation.from = std::string(file);
    operation.from.append(2, '\0');
    operation.to = std::string(folder);
    try {
        // Only 0 is success: a negative code is a failure too.
        return env.shell().SHFileOperation(operation) == 0;
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace tw
