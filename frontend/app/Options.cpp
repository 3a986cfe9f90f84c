#include "Options.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSortFilterProxyModel>

namespace {

const QString kProgramsFilter = QStringLiteral("Programs (*)");
const QString kAllFilesFilter = QStringLiteral("All Files (*)");

TDlgOptions::Browser& browser()
{
    static TDlgOptions::Browser current = &TDlgOptions::BrowseForProgram;
    return current;
}

// Lets folders and, while "Programs" is chosen, only executable files through.
class ProgramFilter : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;
    bool m_programsOnly = true;

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override
    {
        if (!m_programsOnly)
            return true;
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (!files)
            return true;
        const QFileInfo info = files->fileInfo(files->index(row, 0, parent));
        return info.isDir() || TDlgOptions::IsProgram(info);
    }
};

} // namespace

TDlgOptions::TDlgOptions(TMainForm& form) : DataDialog(form, QStringLiteral("Control Options"))
{
    auto* label = new QLabel(QStringLiteral("&Text Editor:"), this);
    EdtWord = new QLineEdit(this);
    EdtWord->setObjectName(QStringLiteral("EdtWord"));
    EdtWord->setMinimumWidth(320);
    // What an empty field stands for, shown while it is empty.
    EdtWord->setPlaceholderText(QStringLiteral("Empty: the desktop's opener, else KELDOR's own text window"));
    EdtWord->setToolTip(QStringLiteral("The program (or command line) that Edit Input Text, Edit Processor-Run Notes "
                                       "and Edit Output Text open the file in. Left empty, the file opens in the "
                                       "desktop's program for it or, where there is none, read-only in a window "
                                       "of KELDOR's own."));
    label->setBuddy(EdtWord);
    BrowseButton = new QPushButton(QStringLiteral("&Browse..."), this);
    grid()->addWidget(label, 0, 0, 1, 2);
    grid()->addWidget(EdtWord, 1, 0);
    grid()->addWidget(BrowseButton, 1, 1);
    connect(BrowseButton, &QPushButton::clicked, this, &TDlgOptions::browseClick);
    FormActivate();
}

void TDlgOptions::FormActivate()
{
    EdtWord->setText(Form().WordProcessor());
}

bool TDlgOptions::FormDeactivate()
{
    // Taken as it stands: a program path or a command line, checked when used.
    Form().SetWordProcessor(EdtWord->text());
    return true;
}

void TDlgOptions::SetBrowser(Browser chooser)
{
    browser() = chooser ? std::move(chooser) : Browser(&TDlgOptions::BrowseForProgram);
}

void TDlgOptions::browseClick()
{
    const QString chosen = browser()(this, EdtWord->text());
    if (!chosen.isEmpty())
        EdtWord->setText(chosen);
}

bool TDlgOptions::IsProgram(const QFileInfo& file)
{
    return file.isFile() && file.isExecutable();
}

QString TDlgOptions::BrowseForProgram(QWidget* parent, const QString& current)
{
    QFileDialog dialog(parent, QStringLiteral("Browse"));
    // Qt's own dialog, so that the Programs entry can list executable files.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters({kProgramsFilter, kAllFilesFilter});
    auto* filter = new ProgramFilter(&dialog);
    dialog.setProxyModel(filter);
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [filter](const QString& name) {
        filter->m_programsOnly = name == kProgramsFilter;
        filter->invalidate();
    });
    const QFileInfo preset(current.trimmed());
    if (!current.trimmed().isEmpty()) {
        if (preset.isDir())
            dialog.setDirectory(preset.absoluteFilePath());
        else {
            dialog.setDirectory(preset.absolutePath());
            dialog.selectFile(preset.fileName());
        }
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
}
