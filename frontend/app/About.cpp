#include "About.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

QPixmap ProgramPixmap(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    // Two soil layers below the ground surface, and the pile through them.
    p.fillRect(QRectF(0, 0.30 * s, s, 0.35 * s), QColor(196, 160, 110));
    p.fillRect(QRectF(0, 0.65 * s, s, 0.35 * s), QColor(150, 115, 80));
    p.fillRect(QRectF(0.40 * s, 0.10 * s, 0.20 * s, 0.80 * s), QColor(120, 120, 125));
    p.fillRect(QRectF(0.25 * s, 0.05 * s, 0.50 * s, 0.10 * s), QColor(80, 80, 90));
    return pixmap;
}

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("About KELDOR"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(true);

    ProgramIcon = new QLabel(this);
    ProgramIcon->setPixmap(ProgramPixmap(48));
    ProductName = new QLabel(QStringLiteral("KELDOR"), this);
    QFont bold = ProductName->font();
    bold.setBold(true);
    ProductName->setFont(bold);
    Version = new QLabel(QStringLiteral("Version 2.0"), this);
    Comments = new QLabel(
        QStringLiteral("A program for the Analysis of a pile or drilled shaft under dynamic loading."), this);
    Comments->setAlignment(Qt::AlignCenter);
    Comments->setWordWrap(true);
    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

    auto* names = new QVBoxLayout;
    names->addWidget(ProductName);
    names->addWidget(Version);
    auto* head = new QHBoxLayout;
    head->addWidget(ProgramIcon);
    head->addLayout(names);
    head->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(head);
    layout->addWidget(Comments);
    layout->addWidget(OKButton, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    Comments->setMinimumWidth(300);
}

void TAboutBox::ShowCentred()
{
    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    exec();
}
