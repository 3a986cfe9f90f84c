#include "SaveAttb.h"

#include "DataEdit.h"
#include "Misc.h"
#include "PlotGeometry.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <cfloat>
#include <new>

namespace {

TDataEdit* field(QWidget* parent, QGridLayout* grid, int row, const QString& caption, bool integerOnly,
                 Extended minVal, Extended maxVal, Extended number)
{
    auto* label = new QLabel(parent);
    auto* edit = new TDataEdit(parent);
    DataEditModel& m = edit->Model();
    m.SetIntegerOnly(integerOnly);
    m.SetCaption(caption);
    if (!integerOnly)
        m.SetUnitsString(QStringLiteral("in"));
    m.SetUnits(1);
    m.SetMaxVal(maxVal);
    m.SetMinVal(minVal);
    m.SetNumber(number);
    edit->SetEditLabel(label);
    grid->addWidget(label, row, 0);
    grid->addWidget(edit, row, 1);
    return edit;
}

} // namespace

TdlgFormat::TdlgFormat(QImage* bitmap, QWidget* parent) : QDialog(parent), m_bitmap(bitmap)
{
    setWindowTitle(QStringLiteral("Save Attributes"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint);
    auto* top = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    top->addLayout(grid);
    deHeight = field(this, grid, 0, QStringLiteral("&Height"), false, 2.0L, LDBL_MAX, 4.0L);
    deWidth = field(this, grid, 1, QStringLiteral("&Width"), false, 2.0L, LDBL_MAX, 6.0L);
    dePPI = field(this, grid, 2, QStringLiteral("&Pixels Per Inch"), true, 10.0L, 2147483647.0L, 72.0L);

    auto* group = new QGroupBox(QStringLiteral("Colors"), this);
    auto* groupLayout = new QVBoxLayout(group);
    rbBW = new QRadioButton(QStringLiteral("Black and White"), group);
    rb16 = new QRadioButton(QStringLiteral("16 Colors"), group);
    rb256 = new QRadioButton(QStringLiteral("256 Colors"), group);
    rbHigh = new QRadioButton(QStringLiteral("High Color (16 bit)"), group);
    rbTrue = new QRadioButton(QStringLiteral("True Color (24 bit)"), group);
    for (QRadioButton* b : {rbBW, rb16, rb256, rbHigh, rbTrue})
        groupLayout->addWidget(b);
    rb16->setChecked(true);
    top->addWidget(group);

    auto* buttons = new QHBoxLayout;
    btnOK = new QPushButton(QStringLiteral("OK"), this);
    btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    btnOK->setDefault(true);
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    top->addLayout(buttons);
    connect(btnOK, &QPushButton::clicked, this, &TdlgFormat::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

    SetMessageHandler([this](const QString& message) {
        QMessageBox::information(this, QStringLiteral("Information"), message, QMessageBox::Ok);
    });
}

void TdlgFormat::SetMessageHandler(MessageHandler handler)
{
    m_message = std::move(handler);
    for (TDataEdit* e : {deHeight, deWidth, dePPI})
        e->SetMessageHandler([this](TDataEdit*, const QString& message) {
            if (m_message)
                m_message(message);
        });
}

QString TdlgFormat::TooLargeMessage()
{
    return QStringLiteral("A bitmap can have at most %1 pixels on a side.").arg(MaxBitmapSide);
}

void TdlgFormat::btnOKClick()
{
    // Every field is checked again: a field that was never left still holds
    // whatever was typed.
    for (TDataEdit* e : {deHeight, deWidth, dePPI})
        if (!e->Validate())
            return;
    const auto size = BitmapSizeFor(deWidth->Number(), deHeight->Number(), dePPI->Number());
    if (!size) {
        if (m_message)
            m_message(TooLargeMessage());
        return;
    }
    try {
        QImage image(static_cast<int>(size->Width), static_cast<int>(size->Height), QImage::Format_RGB32);
        if (image.isNull())
            throw std::bad_alloc();
        *m_bitmap = std::move(image);
    } catch (const std::bad_alloc&) {
        done(AbortResult);
        return;
    }
    accept();
}
