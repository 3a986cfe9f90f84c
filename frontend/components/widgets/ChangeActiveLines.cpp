#include "ChangeActiveLines.h"

#include "PlotLines.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include <algorithm>

TfrmActiveLines::TfrmActiveLines(const QStringList& lineNames, QStringList& lineFlags, QWidget* parent)
    : QDialog(parent), m_names(lineNames), m_flags(lineFlags)
{
    setWindowTitle(QStringLiteral("Active Plots"));
    Label1 = new QLabel(QStringLiteral("Select Line to Active/Desactive"), this);
    Label3 = new QLabel(QStringLiteral("Active :"), this);
    Label2 = new QLabel(QStringLiteral("Graph"), this);
    lbLines = new QListWidget(this);
    lbLines->setSelectionMode(QAbstractItemView::MultiSelection);
    ActivateDesactivateButton = new QPushButton(QStringLiteral("Activate/Desactivate Selected"), this);
    ActivateButton = new QPushButton(QStringLiteral("Activate All"), this);
    DesactivateButton = new QPushButton(QStringLiteral("Desactivate All"), this);
    btnOK = new QPushButton(QStringLiteral("&OK"), this);
    btnCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    for (QPushButton* b : {ActivateDesactivateButton, ActivateButton, DesactivateButton, btnOK, btnCancel})
        b->setAutoDefault(false);
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(ActivateButton, &QPushButton::clicked, this, [this] { setAll(ListedFlag); });
    connect(DesactivateButton, &QPushButton::clicked, this, [this] { setAll(UnlistedFlag); });
    connect(ActivateDesactivateButton, &QPushButton::clicked, this, [this] { activateDesactivateSelected(); });
    connect(lbLines, &QListWidget::itemDoubleClicked, this, [this] {
        const int row = lbLines->currentRow();
        if (row < 0)
            return;
        SetKodeLines(row);
        SetLineNames(row);
    });
    resize(300, 320);
}

void TfrmActiveLines::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    layOut();
    if (!m_filled) {
        m_filled = true;
        for (int i = 0; i < m_names.size(); ++i) {
            lbLines->addItem(QString());
            SetLineNames(i);
        }
        if (lbLines->count() > 0)
            lbLines->setCurrentRow(0);
    }
}

void TfrmActiveLines::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    layOut();
}

void TfrmActiveLines::layOut()
{
    const int minW = 190, minH = 234;
    if (width() < minW || height() < minH) {
        resize(std::max(width(), minW), std::max(height(), minH));
        return;
    }
    const int w = width() - 20;
    Label1->setGeometry(10, 8, w, Label1->sizeHint().height());
    const int headTop = Label1->geometry().bottom() + 1 + 5;
    Label3->setGeometry(12, headTop, Label3->sizeHint().width(), Label3->sizeHint().height());
    Label2->setGeometry(12 + Label3->sizeHint().width() + 16, headTop, Label2->sizeHint().width(),
                        Label2->sizeHint().height());
    const int listTop = Label1->geometry().bottom() + 1 + Label2->height() + 10;
    const QSize ad = ActivateDesactivateButton->sizeHint();
    const QSize a = ActivateButton->sizeHint();
    const QSize ok = btnOK->sizeHint();
    const int listHeight = height() - Label1->y() - Label1->height() - Label2->height() - a.height() - ad.height()
                           - ok.height() - 50;
    lbLines->setGeometry(10, listTop, w, std::max(listHeight, 0));
    const int adTop = lbLines->geometry().bottom() + 1 + 10;
    ActivateDesactivateButton->setGeometry(15, adTop, ad.width(), ad.height());
    const int aTop = adTop + ad.height() + 10;
    ActivateButton->setGeometry(10, aTop, a.width(), a.height());
    const QSize d = DesactivateButton->sizeHint();
    DesactivateButton->setGeometry(width() - 10 - d.width(), aTop, d.width(), d.height());
    const int okTop = aTop + a.height() + 10;
    btnOK->setGeometry(20, okTop, ok.width(), ok.height());
    const QSize c = btnCancel->sizeHint();
    btnCancel->setGeometry(width() - 20 - c.width(), okTop, c.width(), c.height());
}

void TfrmActiveLines::SetLineNames(int index)
{
    if (index < 0 || index >= lbLines->count() || index >= m_flags.size() || index >= m_names.size())
        return;
    lbLines->item(index)->setText(ActiveLinesItemText(m_flags[index], m_names[index]));
}

void TfrmActiveLines::SetKodeLines(int index)
{
    if (index < 0 || index >= m_flags.size())
        return;
    m_flags[index] = ToggledFlag(m_flags[index]);
}

void TfrmActiveLines::setAll(const QString& flag)
{
    for (int i = 0; i < m_flags.size(); ++i) {
        m_flags[i] = flag;
        SetLineNames(i);
    }
}

void TfrmActiveLines::activateDesactivateSelected()
{
    QList<int> rows;
    for (int i = 0; i < lbLines->count(); ++i)
        if (lbLines->item(i)->isSelected())
            rows << i;
    if (rows.size() == 1)
        rows = {lbLines->currentRow()};
    for (int row : rows) {
        SetKodeLines(row);
        SetLineNames(row);
    }
}
