#pragma once

#include <QDialog>

// The modeless About box: logo, version, the maker's site and the support address.
class AboutDialog : public QDialog
{
    Q_OBJECT

public:
    explicit AboutDialog(QWidget *parent = nullptr);

    static const QString WEBSITE_URL;
    static const QString SUPPORT_ADDRESS;
};
