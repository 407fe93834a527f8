#include "ui/QtUserInteraction.h"

#include "ui/HelpViewer.h"
#include "ui/BrowseFolder.h"

#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace meloport {

QtUserInteraction::QtUserInteraction() = default;
QtUserInteraction::~QtUserInteraction() = default;

void QtUserInteraction::showMessage(QWidget *owner, MessageIcon icon, const QString &caption, const QString &text)
{
    QMessageBox box(icon == MessageIcon::Warning ? QMessageBox::Warning : QMessageBox::Information, caption, text,
                    QMessageBox::Ok, owner);
    box.exec();
}

bool QtUserInteraction::askQuestion(QWidget *owner, const QString &caption, const QString &text,
                                    DefaultAnswer defaultAnswer)
{
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No, owner);
    // The access keys Japanese desktops give these two buttons: a question box answers Y and N
    // even without Alt.
    box.button(QMessageBox::Yes)->setText(QStringLiteral("はい(&Y)"));
    box.button(QMessageBox::No)->setText(QStringLiteral("いいえ(&N)"));
    // A question before changing files: a stray Enter or Esc must leave them alone. Only a
    // question that changes nothing but the window may take Enter for はい.
    box.setDefaultButton(defaultAnswer == DefaultAnswer::Yes ? QMessageBox::Yes : QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

QString QtUserInteraction::browseForFolder(QWidget *owner, const QString &startFolder, const QString &title)
{
    return BrowseForFolder(owner, startFolder, title);
}

std::optional<QString> QtUserInteraction::getOpenFileName(QWidget *owner, const OpenFileRequest &request)
{
    QFileDialog dialog(owner, request.title, QString(), request.filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(request.defaultSuffix);
    dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

bool QtUserInteraction::openUrl(const QUrl &url)
{
    return QDesktopServices::openUrl(url);
}

void QtUserInteraction::showHelp(QWidget *, const QString &helpFile, int topic)
{
    if (!m_helpViewer)
        m_helpViewer = std::make_unique<HelpViewer>();
    m_helpViewer->showTopic(helpFile, topic);
}

void QtUserInteraction::closeHelp()
{
    m_helpViewer.reset();
}

void QtUserInteraction::showModal(QDialog &dialog)
{
    dialog.exec();
}

} // namespace meloport
