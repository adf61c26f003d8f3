#include "ui/fileorfolderdialog.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace tw {

FileOrFolderDialog::FileOrFolderDialog(const QString& prompt, QWidget* parent)
    : QDialog(parent), m_model(new QFileSystemModel(this)), m_tree(new QTreeView(this))
{
    setObjectName("StBrowser1");
    setWindowTitle(prompt);
    resize(480, 420);

    m_model->setFilter(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    m_model->setRootPath(QDir::rootPath());
    m_tree->setModel(m_model);
    m_tree->setRootIndex(m_model->index(QDir::rootPath()));
    m_tree->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_tree->header()->setStretchLastSection(false);
    const QModelIndex home = m_model->index(QDir::homePath());
    m_tree->setCurrentIndex(home);
    m_tree->scrollTo(home);

    auto* label = new QLabel(prompt, this);
    label->setTextFormat(Qt::PlainText);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto updateOk = [this, buttons] { buttons->button(QDialogButtonBox::Ok)->setEnabled(m_tree->currentIndex().isValid()); };
    connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this, updateOk);
    updateOk();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_tree, 1);
    layout->addWidget(buttons);
}

std::optional<std::filesystem::path> FileOrFolderDialog::chosenPath() const
{
    const QModelIndex current = m_tree->currentIndex();
    if (!current.isValid())
        return std::nullopt;
    return std::filesystem::path(m_model->filePath(current).toStdString());
}

} // namespace tw
