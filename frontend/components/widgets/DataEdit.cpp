#include "DataEdit.h"

#include <QApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMessageBox>

TDataEdit::TDataEdit(QWidget* parent) : QLineEdit(parent)
{
    setText(m_model.Text());
    // A value loaded or rewritten by the check shows from its start: the
    // leading digits and the decimal point stay in view.
    m_model.OnTextChanged = [this] {
        m_syncing = true;
        setText(m_model.Text());
        setCursorPosition(0);
        m_syncing = false;
    };
    m_model.OnLabelChanged = [this] { updateLabel(); };
    connect(this, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (!m_syncing)
            m_model.SetText(text);
    });
    m_messageHandler = [](TDataEdit* field, const QString& message) {
        QMessageBox::information(field, QStringLiteral("Information"), message, QMessageBox::Ok);
    };
}

void TDataEdit::SetEditLabel(QLabel* label)
{
    m_label = label;
    if (m_label)
        m_label->setBuddy(this);
    updateLabel();
}

void TDataEdit::updateLabel()
{
    if (!m_label)
        return;
    m_label->setEnabled(isEnabled());
    m_label->setText(m_model.LabelText());
}

bool TDataEdit::Validate()
{
    doExit();
    return m_model.IsValid();
}

void TDataEdit::doExit()
{
    if (m_checking) // the message box takes the focus while it is shown
        return;
    m_checking = true;
    emit exited();
    const ExitCheckResult result = m_model.ExitCheck();
    if (!result.Valid) {
        if (m_messageHandler)
            m_messageHandler(this, result.Message);
        if (isVisible())
            setFocus(Qt::OtherFocusReason);
    }
    m_checking = false;
}

namespace {

// The child window of a multiple-document area that holds widget, if any.
QMdiSubWindow* childWindowOf(const QWidget* widget)
{
    for (QWidget* w = widget ? widget->parentWidget() : nullptr; w; w = w->parentWidget())
        if (auto* sub = qobject_cast<QMdiSubWindow*>(w))
            return sub;
    return nullptr;
}

// The child window that widget is or lies in, if any.
QMdiSubWindow* childWindowAt(QWidget* widget)
{
    if (auto* sub = qobject_cast<QMdiSubWindow*>(widget))
        return sub;
    return childWindowOf(widget);
}

} // namespace

void TDataEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    // Switching windows or opening a menu does not leave the field; neither
    // does activating another child window, whose owner checks the entry
    // when it is deactivated. Tab and Shift+Tab leave it, also where the
    // focus order wraps by way of the window's own frame; a click on that
    // frame only hands the focus back to the field.
    const Qt::FocusReason reason = event->reason();
    if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
        return;
    bool leaves = true;
    if (QMdiSubWindow* own = childWindowOf(this)) {
        QWidget* now = QApplication::focusWidget();
        const bool key = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason;
        const QMdiSubWindow* target = key ? childWindowAt(now) : childWindowOf(now);
        leaves = target == own || (!target && key);
    }
    if (leaves)
        doExit();
    // No longer edited: the text shows from its start.
    if (!hasFocus())
        setCursorPosition(0);
}

void TDataEdit::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        doExit();
        selectAll();
        event->accept(); // no default button
        return;
    }
    const QString typed = event->text();
    const int selected = static_cast<int>(selectedText().size());
    if (typed.size() == 1 && hasSelectedText()
        && DataEditModel::OperatorGoesToEnd(typed[0], selected, static_cast<int>(text().size())))
        setCursorPosition(static_cast<int>(text().size()));
    QLineEdit::keyPressEvent(event);
}

void TDataEdit::changeEvent(QEvent* event)
{
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        updateLabel();
}
