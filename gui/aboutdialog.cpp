#include "gui/aboutdialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/constants.h"

const QString AboutDialog::WEBSITE_URL = QStringLiteral("https://www.kelvarome.example");
const QString AboutDialog::SUPPORT_ADDRESS = QStringLiteral("support@kelvarome.example");

static QLabel *linkLabel(const QString &html, QWidget *parent)
{
    auto *label = new QLabel(html, parent);
    label->setTextFormat(Qt::RichText);
    label->setTextInteractionFlags(Qt::TextBrowserInteraction);
    label->setOpenExternalLinks(true);
    return label;
}

AboutDialog::AboutDialog(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(tr("About"));
    setAttribute(Qt::WA_DeleteOnClose);
    setMinimumSize(250, 100);
    setMaximumSize(524, 300);
    setStyleSheet(QStringLiteral("QDialog { background-color: white; }"));

    auto *logoFrame = new QLabel(this);
    logoFrame->setObjectName(QStringLiteral("frmLogo"));
    logoFrame->setFixedSize(200, 47);
    logoFrame->setPixmap(
            QPixmap(LOGO_FULL).scaled(200, 47, Qt::KeepAspectRatio, Qt::SmoothTransformation));

    auto *versionLabel = new QLabel(APP_VERSION, this);
    versionLabel->setObjectName(QStringLiteral("lblVersion"));

    auto *websiteLabel = linkLabel(QStringLiteral("<a href=\"%1\">%1</a>").arg(WEBSITE_URL), this);
    websiteLabel->setObjectName(QStringLiteral("lblWebsite"));

    auto *contactLabel = new QLabel(tr("For any problems or feedback, please contact"), this);

    // Concatenated, not arg(): "%0D" would be taken for a place marker.
    const QString mailto = QStringLiteral("mailto:") + SUPPORT_ADDRESS
            + QStringLiteral("?subject=BugReport&body=Dear Devs,%0D%0A");
    auto *mailLabel =
            linkLabel(QStringLiteral("<a href=\"%1\">%2</a>").arg(mailto, SUPPORT_ADDRESS), this);
    mailLabel->setObjectName(QStringLiteral("lblMail"));

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::close);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(logoFrame, 0, Qt::AlignHCenter);
    layout->addWidget(versionLabel, 0, Qt::AlignHCenter);
    layout->addWidget(websiteLabel, 0, Qt::AlignHCenter);
    layout->addWidget(contactLabel, 0, Qt::AlignHCenter);
    layout->addWidget(mailLabel, 0, Qt::AlignHCenter);
    layout->addWidget(buttons);
}
