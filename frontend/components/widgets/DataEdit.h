#pragma once

// The numeric entry field: a line edit over DataEditModel with a linked
// label that shows the caption and the units. Leaving the field, pressing
// Enter or Validate() runs the exit check; a rejected entry is reported in a
// message box and the field takes the focus back.

#include "DataEditModel.h"

#include <QLineEdit>

#include <functional>

class QLabel;

class TDataEdit : public QLineEdit {
    Q_OBJECT

public:
    using MessageHandler = std::function<void(TDataEdit* field, const QString& message)>;

    explicit TDataEdit(QWidget* parent = nullptr);

    DataEditModel& Model() { return m_model; }
    const DataEditModel& Model() const { return m_model; }

    QLabel* EditLabel() const { return m_label; }
    void SetEditLabel(QLabel* label);
    void SetCaption(const QString& caption) { m_model.SetCaption(caption); }
    void SetUnitsString(const QString& units) { m_model.SetUnitsString(units); }
    void SetUnits(int units) { m_model.SetUnits(units); }
    Extended Number() const { return m_model.Number(); }
    void SetNumber(Extended x) { m_model.SetNumber(x); }

    // Runs the exit check and answers whether the entry was accepted.
    bool Validate();

    // Where rejection messages go; an information box unless replaced.
    void SetMessageHandler(MessageHandler handler) { m_messageHandler = std::move(handler); }

signals:
    void exited();

protected:
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void doExit();
    void updateLabel();

    DataEditModel m_model;
    QLabel* m_label = nullptr;
    MessageHandler m_messageHandler;
    bool m_syncing = false;
    bool m_checking = false;
};
