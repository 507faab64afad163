#include "ui/app/TFileDialogs.h"

#include <QFileDialog>
#include <QFileInfo>

QString TFileDialogs::projectFilter()
{
    return QStringLiteral("Corvane Configuration Project file (*.cvp)");
}

QString TFileDialogs::openFilter()
{
    return projectFilter() + QStringLiteral(";;BMP Data Project file (*.bdp)");
}

QString TQtFileDialogs::newProjectName(QWidget* parent, const QString& folder)
{
    // An open dialog that accepts names of files that do not exist yet: the
    // new project is only bound to the name and written on the first save.
    // Its button says what happens: nothing is opened.
    QFileDialog dlg(parent, QStringLiteral("New Project..."), folder, projectFilter());
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    dlg.setLabelText(QFileDialog::Accept, createText());
    dlg.setFileMode(QFileDialog::AnyFile);
    dlg.setOption(QFileDialog::DontConfirmOverwrite, true);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return QString();
    return dlg.selectedFiles().constFirst();
}

QString TQtFileDialogs::openProjectName(QWidget* parent, const QString& folder)
{
    return QFileDialog::getOpenFileName(parent, QStringLiteral("Open Project..."), folder, openFilter());
}

QString TQtFileDialogs::saveProjectName(QWidget* parent, const QString& suggested)
{
    // QFileDialog asks before replacing an existing file and only offers
    // folders that exist. A name typed without extension is saved as
    // NAME.cvp, so the dialog adds it first and asks about that file.
    QFileDialog dlg(parent, QStringLiteral("Save Project..."), QString(), projectFilter());
    if (!suggested.isEmpty()) {
        const QFileInfo info(suggested);
        dlg.setDirectory(info.absolutePath());
        dlg.selectFile(info.fileName());
    }
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setFileMode(QFileDialog::AnyFile);
    dlg.setDefaultSuffix(QStringLiteral("cvp"));
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return QString();
    return dlg.selectedFiles().constFirst();
}
