#include "app/qt_prompts.h"

#include <QFileDialog>
#include <QMessageBox>

namespace vistrela {

void QtPrompts::notice(const std::string& caption, const std::string& text) {
    QMessageBox box(QMessageBox::Information, QString::fromStdString(caption),
                    QString::fromStdString(text), QMessageBox::Ok, parent_.data());
    box.exec();
}

void QtPrompts::passingNotice(const std::string& caption, const std::string& text) {
    const QString all = QString::fromStdString(text);
    const qsizetype newline = all.indexOf('\n');
    auto* box =
        new QMessageBox(QMessageBox::Information, QString::fromStdString(caption),
                        newline < 0 ? all : all.left(newline), QMessageBox::Ok, parent_.data());
    if (newline >= 0) box->setInformativeText(all.mid(newline + 1));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->show();
}

std::string QtPrompts::saveFileName(const std::string& title, const std::string& startDir,
                                    const std::string& filter, const std::string& defaultSuffix) {
    QFileDialog dialog(parent_.data(), QString::fromStdString(title),
                       QString::fromStdString(startDir), QString::fromStdString(filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QString::fromStdString(defaultSuffix));
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().first().toStdString();
}

std::string QtPrompts::folder(const std::string& title, const std::string& startDir) {
    return QFileDialog::getExistingDirectory(parent_.data(), QString::fromStdString(title),
                                             QString::fromStdString(startDir))
        .toStdString();
}

}  // namespace vistrela
