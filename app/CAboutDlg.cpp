#include "app/CAboutDlg.h"

#include "mibcore/Version.h"
#include "mibcore/platform/Language.h"
#include "mibcore/platform/Resources.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(Quillon::tr("バージョン情報 Quillon"));
    setObjectName("IDD_ABOUTBOX");

    auto* outer = new QHBoxLayout(this);
    auto* icon = new QLabel(this);
    icon->setPixmap(platform::LoadIcon("IDR_MAINFRAME").pixmap(32, 32));
    icon->setAlignment(Qt::AlignTop);
    outer->addWidget(icon);

    auto* texts = new QVBoxLayout;
    texts->addWidget(new QLabel(QString("Quillon Version %1").arg(quillon::Version()), this));
    texts->addWidget(new QLabel("Last Update: 2005/01/08", this));
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(Quillon::tr("お問合せ先"), this), 0, 0);
    auto* mail = new QLabel(QString("<a href=\"mailto:%1\">%1</a>").arg(quillon::kContactAddress), this);
    mail->setOpenExternalLinks(true);
    mail->setTextInteractionFlags(Qt::TextBrowserInteraction);
    mail->setObjectName("contact");
    grid->addWidget(mail, 0, 1);
    grid->addWidget(new QLabel(Quillon::tr("ホームページ"), this), 1, 0);
    auto* home = new QLabel(QString("<a href=\"%1\">%1</a>").arg(quillon::kHomePage), this);
    home->setOpenExternalLinks(true);
    home->setTextInteractionFlags(Qt::TextBrowserInteraction);
    home->setObjectName("homepage");
    grid->addWidget(home, 1, 1);
    texts->addLayout(grid);
    outer->addLayout(texts);

    auto* ok = new QPushButton("OK", this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* right = new QVBoxLayout;
    right->addWidget(ok);
    right->addStretch();
    outer->addLayout(right);
    setFixedSize(sizeHint());
}
