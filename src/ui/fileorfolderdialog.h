#pragma once

#include <QDialog>

#include <filesystem>
#include <optional>

class QFileSystemModel;
class QTreeView;

namespace tw {

// A picker of one file or one folder of the host, with a prompt line above the tree.
class FileOrFolderDialog : public QDialog {
    Q_OBJECT
public:
    FileOrFolderDialog(const QString& prompt, QWidget* parent = nullptr);

    // The host path of the current entry; nullopt when none is chosen.
    std::optional<std::filesystem::path> chosenPath() const;

private:
    QFileSystemModel* m_model;
    QTreeView* m_tree;
};

} // namespace tw
