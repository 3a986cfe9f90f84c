#pragma once

// What the data-entry windows share. Each is a child window of the main
// window that loads its fields from the project when it becomes the active
// child (FormActivate) and validates and stores them when it stops being the
// active child, when the main window commits it, and when it closes
// (FormDeactivate). An entry that does not validate keeps the window open and
// in front, and nothing of it reaches the project.

#include "Extended.h"
#include "Main.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>
#include <vector>

class QCloseEvent;
class QGridLayout;
class QMdiSubWindow;
class TDataEdit;
class TProgramData;

class DataDialog : public QWidget, public ChildWindow {
    Q_OBJECT

public:
    DataDialog(TMainForm& form, const QString& caption);

    // Loads the fields from the project and the units in force.
    virtual void FormActivate() = 0;
    // Stores the fields; false when an entry was refused (the window is then
    // brought back to the front and nothing is stored).
    virtual bool FormDeactivate() = 0;

    bool StoreEdits() override { return FormDeactivate(); }
    void Reload() override { FormActivate(); }

protected:
    TMainForm& Form() const { return m_form; }
    // True unless the focused control is a number field whose entry does
    // not validate.
    bool activeEntryValid();
    // Checks field; a refusal shows the field's message once for each user
    // action it stops and brings the window back to the front.
    bool entryValid(TDataEdit* field);
    // Brings the window back to the front with the focus in field (when given).
    void bringToFront(TDataEdit* field);
    // A number field and its label in the next row of the dialog's grid;
    // its messages go through the main window's information box.
    TDataEdit* addField(const QString& caption, const QString& units);
    QGridLayout* grid() const { return m_grid; }

    void closeEvent(QCloseEvent* event) override;

private:
    void subWindowActivated(QMdiSubWindow* window);

    TMainForm& m_form;
    QGridLayout* m_grid = nullptr;
    bool m_active = false;
    // Brought back after a refusal: the fields keep what the user typed.
    bool m_keepFields = false;
    QPointer<QWidget> m_activeControl;
    QPointer<TDataEdit> m_refusedField;
    QString m_refusedText;
    // The refusal belongs to the user action still running.
    bool m_refusalPending = false;
};

// A dialog of number fields, each bound to one value of the project. Every
// text change of a field marks the project modified.
class NumberDialog : public DataDialog {
    Q_OBJECT

public:
    using Getter = std::function<Extended(const TProgramData&)>;
    using Setter = std::function<void(TProgramData&, Extended)>;

    using DataDialog::DataDialog;

    void FormActivate() override;
    bool FormDeactivate() override;

    // The fields in their order.
    std::vector<TDataEdit*> Fields() const;

protected:
    TDataEdit* addBoundField(const QString& caption, const QString& units, Getter get, Setter set);
    // A field bound to an Extended member of the project.
    TDataEdit* addBoundField(const QString& caption, const QString& units, Extended TProgramData::*member);

private:
    struct Binding {
        TDataEdit* Edit;
        Getter Get;
        Setter Set;
    };
    std::vector<Binding> m_bindings;
};

// Installs the data dialogs and the About box in the main window.
void InstallDataDialogs(TMainForm& form);
