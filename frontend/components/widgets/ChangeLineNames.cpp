#include "ChangeLineNames.h"

#include "PlotLines.h"
#include "PlotPainter.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

#include <algorithm>

TfrmLineNames::TfrmLineNames(QStringList& lineNames, std::vector<bool> listed, QWidget* parent)
    : QDialog(parent), m_names(lineNames), m_listed(std::move(listed))
{
    setWindowTitle(QStringLiteral("Legend"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    Label1 = new QLabel(QStringLiteral("Select line to modify:"), this);
    lbLines = new QListWidget(this);
    lbLines->setSelectionMode(QAbstractItemView::SingleSelection);
    Label2 = new QLabel(QStringLiteral("Type new legend below:"), this);
    edLine = new QLineEdit(this);
    QPalette white = edLine->palette();
    white.setColor(QPalette::Base, Qt::white);
    edLine->setPalette(white);
    btnOK = new QPushButton(QStringLiteral("&OK"), this);
    btnCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    btnOK->setAutoDefault(false);
    btnCancel->setAutoDefault(false);
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(lbLines, &QListWidget::itemClicked, this, [this] { lbLinesClick(); });
    connect(lbLines, &QListWidget::itemDoubleClicked, this, [this] { lbLinesClick(); });
    connect(lbLines, &QListWidget::currentRowChanged, this, [this] { lbLinesClick(); });
    edLine->installEventFilter(this);
    m_message = [this](const QString& message) {
        QMessageBox::information(this, QStringLiteral("Information"), message, QMessageBox::Ok);
    };
    resize(260, 260);
}

QColor TfrmLineNames::NameColor(int index) const
{
    if (index < 0 || index >= static_cast<int>(m_listed.size()) || !m_listed[index])
        return palette().color(QPalette::WindowText);
    int position = 0;
    for (int i = 0; i < index; ++i)
        if (m_listed[i])
            ++position;
    return LineColor(position);
}

void TfrmLineNames::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    layOut();
    if (!m_filled) {
        m_filled = true;
        if (const QScreen* screen = this->screen()) {
            QRect frame = frameGeometry();
            frame.moveCenter(screen->availableGeometry().center());
            move(frame.topLeft());
        }
        lbLines->addItems(m_names);
        if (lbLines->count() > 0)
            lbLines->setCurrentRow(0);
        lbLinesClick();
    }
}

void TfrmLineNames::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    layOut();
}

void TfrmLineNames::layOut()
{
    const int minW = 195, minH = 167;
    if (width() < minW || height() < minH) {
        resize(std::max(width(), minW), std::max(height(), minH));
        return; // the resize lays the form out again
    }
    const int w = width() - 20;
    Label1->setGeometry(10, 8, w, Label1->sizeHint().height());
    const int listTop = Label1->geometry().bottom() + 1 + 5;
    const int listHeight = height() - Label1->height() - Label2->sizeHint().height()
                           - edLine->sizeHint().height() - btnOK->sizeHint().height() - 40;
    lbLines->setGeometry(10, listTop, w, std::max(listHeight, 0));
    Label2->setGeometry(10, lbLines->geometry().bottom() + 1 + 5, w, Label2->sizeHint().height());
    edLine->setGeometry(10, Label2->geometry().bottom() + 1 + 5, w, edLine->sizeHint().height());
    const int buttonTop = edLine->geometry().bottom() + 1 + 5;
    const QSize b = btnOK->sizeHint();
    btnOK->setGeometry(20, buttonTop, b.width(), b.height());
    const QSize c = btnCancel->sizeHint();
    btnCancel->setGeometry(width() - 20 - c.width(), buttonTop, c.width(), c.height());
}

void TfrmLineNames::lbLinesClick()
{
    const int row = lbLines->currentRow();
    if (row < 0)
        return;
    edLine->setText(lbLines->item(row)->text());
    QPalette p = edLine->palette();
    p.setColor(QPalette::Text, NameColor(row));
    edLine->setPalette(p);
}

void TfrmLineNames::takeEdit()
{
    const int row = lbLines->currentRow();
    if (row < 0)
        return;
    if (!edLine->text().isEmpty()) {
        lbLines->item(row)->setText(edLine->text());
        return;
    }
    if (m_message)
        m_message(EmptyLegendNameMessage);
    edLine->setText(lbLines->item(row)->text());
}

bool TfrmLineNames::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == edLine) {
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                takeEdit();
                return true;
            }
        } else if (event->type() == QEvent::FocusOut) {
            const auto reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
                takeEdit();
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmLineNames::done(int result)
{
    // The list goes back whatever closed the dialog; the caller uses it after OK only.
    for (int i = 0; i < lbLines->count() && i < m_names.size(); ++i)
        m_names[i] = lbLines->item(i)->text();
    QDialog::done(result);
}
