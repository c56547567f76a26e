#pragma once

#include <QMessageBox>
#include <QString>

// The window's modal dialogs: message boxes (information, warnings and errors titled
// "Kelvarome", questions titled "Alert") and the file and folder choosers. Tests answer them
// through an implementation of their own instead of a person.
class Dialogs
{
public:
    virtual ~Dialogs() = default;

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
    // A box without an icon whose text is rich text (links open in the browser), with OK.
    virtual void notice(QWidget *parent, const QString &title, const QString &richText) = 0;
    // The file the user picks to open, empty when cancelled.
    virtual QString openFileName(QWidget *parent, const QString &caption, const QString &folder,
                                 const QString &filter) = 0;
    // The existing folder the user picks, empty when cancelled.
    virtual QString existingDirectory(QWidget *parent, const QString &caption,
                                      const QString &folder) = 0;
};

class ModalDialogs : public Dialogs
{
public:
    QMessageBox::StandardButton show(QWidget *parent, QMessageBox::Icon icon, const QString &title,
                                     const QString &text, QMessageBox::StandardButtons buttons,
                                     QMessageBox::StandardButton defaultButton) override;
    void notice(QWidget *parent, const QString &title, const QString &richText) override;
    QString openFileName(QWidget *parent, const QString &caption, const QString &folder,
                         const QString &filter) override;
    QString existingDirectory(QWidget *parent, const QString &caption,
                              const QString &folder) override;
};
