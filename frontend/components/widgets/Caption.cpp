#include "Caption.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

TfrmGraphCaption::TfrmGraphCaption(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Graph Caption"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowCloseButtonHint);
    auto* top = new QVBoxLayout(this);
    top->addWidget(new QLabel(QStringLiteral("Enter Graph Caption"), this));
    edtCaption = new QLineEdit(this);
    top->addWidget(edtCaption);
    auto* group = new QGroupBox(QStringLiteral("Caption Location"), this);
    auto* groupLayout = new QHBoxLayout(group);
    rbTop = new QRadioButton(QStringLiteral("Top"), group);
    rbBottom = new QRadioButton(QStringLiteral("Bottom"), group);
    groupLayout->addWidget(rbTop);
    groupLayout->addWidget(rbBottom);
    top->addWidget(group);
    btnOK = new QPushButton(QStringLiteral("&OK"), this);
    btnOK->setDefault(true);
    top->addWidget(btnOK, 0, Qt::AlignHCenter);
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
}
