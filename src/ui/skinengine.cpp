#include "ui/skinengine.h"

#include <QApplication>

#include <algorithm>

#include "common/base/text.h"
#include "common/base/winpath.h"
#include "common/fs/filesystem.h"

namespace tw {
namespace {

constexpr std::string_view SkinExtension = ".qss";
// A style sheet larger than this is not a skin; it is not read into memory.
constexpr uint64_t MaxSkinFileSize = 1024 * 1024;

struct BuiltInSkin {
    const char* name;
    const char* styleSheet;
};

// "Neutral" is the platform's own look; "Harbour" a light blue-grey one.
constexpr BuiltInSkin BuiltInSkins[] = {
    {"Neutral", ""},
    {"Harbour", R"(
QMainWindow, QDialog { background: #eef3f7; }
#pnlHeader { background: qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 #2f5d7c, stop:1 #4f8fb3); }
#pnlHeader QLabel { color: white; }
#pnlHeader QToolButton { color: white; border: none; padding: 4px 8px; }
#pnlHeader QToolButton:hover { background: rgba(255, 255, 255, 40); border-radius: 3px; }
#barMenu { background: #dde7ef; }
#barMenu QToolButton { border: none; padding: 4px; }
#barMenu QToolButton:checked { background: #b9d1e2; border-radius: 4px; }
#barMenu QToolButton:hover { background: #cadceb; border-radius: 4px; }
QTreeView { background: white; alternate-background-color: #f4f8fb; selection-background-color: #4f8fb3; }
QHeaderView::section { background: #dde7ef; border: none; border-right: 1px solid #c3d3df; padding: 3px; }
QPushButton { background: #f7fafc; border: 1px solid #a9bfd0; border-radius: 3px; padding: 3px 10px; }
QPushButton:hover { background: #e3eef6; }
QPushButton:disabled { color: #9aa7b1; border-color: #ccd7df; }
QStatusBar { background: #dde7ef; }
)"},
};

const BuiltInSkin* findBuiltIn(std::string_view name)
{
    for (const BuiltInSkin& skin : BuiltInSkins)
        if (equalsIgnoreCase(skin.name, name))
            return &skin;
    return nullptr;
}

bool endsWithIgnoreCase(std::string_view text, std::string_view end)
{
    return text.size() >= end.size() && equalsIgnoreCase(text.substr(text.size() - end.size()), end);
}

} // namespace

SkinEngine::SkinEngine(const FileSystem& fileSystem) : m_fileSystem(fileSystem) {}

std::vector<std::string> SkinEngine::fileSkinNames() const
{
    std::vector<std::string> names;
    if (m_folder.empty())
        return names;
    FindData entry;
    uint32_t error = 0;
    auto find = m_fileSystem.FindFirstFile(IncludeTrailingBackslash(m_folder) + "*" + std::string(SkinExtension), entry, error);
    if (!find)
        return names;
    do {
        if (entry.attributes & FileAttribute::Directory)
            continue;
        // The pattern rules of the platform also match longer extensions (".qssx").
        if (!endsWithIgnoreCase(entry.name, SkinExtension) || entry.name.size() == SkinExtension.size())
            continue;
        std::string name = entry.name.substr(0, entry.name.size() - SkinExtension.size());
        if (!findBuiltIn(name))
            names.push_back(std::move(name));
    } while (find->next(entry));
    return names;
}

std::vector<std::string> SkinEngine::skinNames() const
{
    std::vector<std::string> names;
    for (const BuiltInSkin& skin : BuiltInSkins)
        names.emplace_back(skin.name);
    for (std::string& name : fileSkinNames())
        names.push_back(std::move(name));
    std::stable_sort(names.begin(), names.end(),
                     [](const std::string& a, const std::string& b) { return compareIgnoreCase(a, b) < 0; });
    return names;
}

bool SkinEngine::applySkin(const std::string& name)
{
    QString styleSheet;
    std::string listedName;
    if (const BuiltInSkin* skin = findBuiltIn(name)) {
        styleSheet = QString::fromUtf8(skin->styleSheet);
        listedName = skin->name;
    } else {
        const std::vector<std::string> files = fileSkinNames();
        const auto found = std::find_if(files.begin(), files.end(),
                                        [&](const std::string& file) { return equalsIgnoreCase(file, name); });
        if (found == files.end())
            return false;
        const std::string path = IncludeTrailingBackslash(m_folder) + *found + std::string(SkinExtension);
        const std::optional<uint64_t> size = m_fileSystem.GetFileSize(path);
        if (!size || *size > MaxSkinFileSize)
            return false;
        const auto lines = m_fileSystem.ReadLines(path);
        if (!lines)
            return false;
        for (const std::string& line : *lines) {
            styleSheet += QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()));
            styleSheet += QLatin1Char('\n');
        }
        listedName = *found;
    }
    if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance()))
        app->setStyleSheet(styleSheet);
    m_active = std::move(listedName);
    return true;
}

} // namespace tw
