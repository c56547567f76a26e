#include "gui/messageboxes.h"

#include "base/constants.h"

void MessageBoxes::information(QWidget *parent, const QString &text)
{
    show(parent, QMessageBox::Information, MSGBOX_HEADER, text, QMessageBox::Ok,
         QMessageBox::NoButton);
}

void MessageBoxes::warning(QWidget *parent, const QString &text)
{
    show(parent, QMessageBox::Warning, MSGBOX_HEADER, text, QMessageBox::Ok, QMessageBox::NoButton);
}

void MessageBoxes::critical(QWidget *parent, const QString &text)
{
    show(parent, QMessageBox::Critical, MSGBOX_HEADER, text, QMessageBox::Ok,
         QMessageBox::NoButton);
}

QMessageBox::StandardButton MessageBoxes::question(QWidget *parent, const QString &text,
                                                   QMessageBox::StandardButton defaultButton)
{
    return show(parent, QMessageBox::Question, MSGBOX_ALERT, text,
                QMessageBox::Yes | QMessageBox::No, defaultButton);
}

QMessageBox::StandardButton ModalMessageBoxes::show(QWidget *parent, QMessageBox::Icon icon,
                                                    const QString &title, const QString &text,
                                                    QMessageBox::StandardButtons buttons,
                                                    QMessageBox::StandardButton defaultButton)
{
    QMessageBox box(icon, title, text, buttons, parent);
    box.setDefaultButton(defaultButton);
    return QMessageBox::StandardButton(box.exec());
}
