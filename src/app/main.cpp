#include <cstdio>

#include "common/machine/environment.h"
#include "common/machine/prefix.h"

// Until the main window exists: prints the chosen prefix and its drives.
int main()
{
    const auto prefix = tw::ChoosePrefixFolder();
    std::string error;
    if (!tw::EnsurePrefix(prefix, &error)) {
        std::fprintf(stderr, "Cannot create the prefix %s: %s\n", prefix.c_str(), error.c_str());
        return 1;
    }
    tw::Environment env(prefix);
    std::printf("prefix: %s\n", prefix.c_str());
    for (const auto& root : env.fileSystem().GetLogicalDriveStrings())
        std::printf("drive %s type %u\n", root.c_str(), env.fileSystem().GetDriveType(root));
    return 0;
}
