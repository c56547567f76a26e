#include "gui/dialogs.h"

#include <QFileDialog>

#include "base/constants.h"

void Dialogs::information(QWidget *parent, const QString &text)
{
    show(parent, QMessageBox::Information, MSGBOX_HEADER, text, QMessageBox::Ok,
         QMessageBox::NoButton);
}

void Dialogs::warning(QWidget *parent, const QString &text)
{
    show(parent, QMessageBox::Warning, MSGBOX_HEADER, text, QMessageBox::Ok, QMessageBox::NoButton);
}

void Dialogs::critical(QWidget *parent, const QString &text)
{
    show(parent, QMessageBox::Critical, MSGBOX_HEADER, text, QMessageBox::Ok,
         QMessageBox::NoButton);
}

QMessageBox::StandardButton Dialogs::question(QWidget *parent, const QString &text,
                                              QMessageBox::StandardButton defaultButton)
{
    return show(parent, QMessageBox::Question, MSGBOX_ALERT, text,
                QMessageBox::Yes | QMessageBox::No, defaultButton);
}

QMessageBox::StandardButton ModalDialogs::show(QWidget *parent, QMessageBox::Icon icon,
                                               const QString &title, const QString &text,
                                               QMessageBox::StandardButtons buttons,
                                               QMessageBox::StandardButton defaultButton)
{
    QMessageBox box(icon, title, text, buttons, parent);
    box.setDefaultButton(defaultButton);
    return QMessageBox::StandardButton(box.exec());
}

void ModalDialogs::notice(QWidget *parent, const QString &title, const QString &richText)
{
    QMessageBox box(QMessageBox::NoIcon, title, richText, QMessageBox::Ok, parent);
    box.setTextFormat(Qt::RichText);
    box.setTextInteractionFlags(Qt::TextBrowserInteraction);
    box.exec();
}

QString ModalDialogs::openFileName(QWidget *parent, const QString &caption, const QString &folder,
                                   const QString &filter)
{
    return QFileDialog::getOpenFileName(parent, caption, folder, filter);
}

QString ModalDialogs::existingDirectory(QWidget *parent, const QString &caption,
                                        const QString &folder)
{
    return QFileDialog::getExistingDirectory(parent, caption, folder, QFileDialog::ShowDirsOnly);
}
