#pragma once

#include <QString>

#include <string>
#include <vector>

namespace tw {

class FileSystem;

// The look of every window: a skin is a Qt style sheet, either built into the
// program ("Neutral", the plain look, and "Harbour") or read from a "<name>.qss"
// file of the skin folder. Applying one restyles the whole application.
class SkinEngine {
public:
    // The skin that stands for the plain look.
    static constexpr const char* DefaultSkin = "Neutral";

    // An engine that reads skin files through the machine's file system; the
    // plain look is active until a skin is applied.
    explicit SkinEngine(const FileSystem& fileSystem);

    // The folder whose skin files are listed, as a Windows path ("" for none).
    void setSkinFolder(std::string windowsFolder) { m_folder = std::move(windowsFolder); }
    const std::string& skinFolder() const { return m_folder; }

    // Names of the built-in skins and of the skin files of the folder, sorted by
    // name without regard to case; a file named like a built-in skin is not listed.
    std::vector<std::string> skinNames() const;

    // Makes the named skin (compared without regard to case) the active one; false,
    // with the look unchanged, when no such skin exists or its file cannot be read.
    bool applySkin(const std::string& name);
    // The active skin's name as listed.
    const std::string& activeSkinName() const { return m_active; }

private:
    std::vector<std::string> fileSkinNames() const;

    const FileSystem& m_fileSystem;
    std::string m_folder;
    std::string m_active = DefaultSkin;
};

} // namespace tw
