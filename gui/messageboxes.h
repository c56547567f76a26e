#pragma once

#include <QMessageBox>
#include <QString>

// The window's modal message boxes: information, warnings and errors titled "Kelvarome",
// questions titled "Alert". Tests answer them through an implementation of their own instead
// of a person.
class MessageBoxes
{
public:
    virtual ~MessageBoxes() = default;

    void information(QWidget *parent, const QString &text);
    void warning(QWidget *parent, const QString &text);
    void critical(QWidget *parent, const QString &text);
    // Yes or No, with the given default button.
    QMessageBox::StandardButton question(QWidget *parent, const QString &text,
                                         QMessageBox::StandardButton defaultButton);

    // Shows one box and returns the button pressed.
    virtual QMessageBox::StandardButton show(QWidget *parent, QMessageBox::Icon icon,
                                             const QString &title, const QString &text,
                                             QMessageBox::StandardButtons buttons,
                                             QMessageBox::StandardButton defaultButton) = 0;
};

class ModalMessageBoxes : public MessageBoxes
{
public:
    QMessageBox::StandardButton show(QWidget *parent, QMessageBox::Icon icon, const QString &title,
                                     const QString &text, QMessageBox::StandardButtons buttons,
                                     QMessageBox::StandardButton defaultButton) override;
};
