#include "DataDialog.h"

#include "About.h"
#include "DataEdit.h"
#include "DataUnit.h"
#include "Options.h"
#include "SoilParams.h"
#include "Title.h"
#include "UserAction.h"
#include "cPileProperties.h"
#include "ncPileProperties.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLayout>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTimer>

DataDialog::DataDialog(TMainForm& form, const QString& caption) : m_form(form)
{
    setWindowTitle(caption);
    m_grid = new QGridLayout(this);
    m_grid->setSizeConstraint(QLayout::SetFixedSize);
    connect(form.MdiArea(), &QMdiArea::subWindowActivated, this, &DataDialog::subWindowActivated);
    // The active control stays the one that had the focus last in this
    // window, also while another window has the focus.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now && isAncestorOf(now))
            m_activeControl = now;
    });
}

void DataDialog::subWindowActivated(QMdiSubWindow* window)
{
    // No active child at all (the main window lost the focus, a message box
    // is up) is no change of the active child.
    if (!window)
        return;
    if (window == parentWidget()) {
        if (!m_active && !m_keepFields)
            FormActivate();
        m_active = true;
        m_keepFields = false;
    } else if (m_active) {
        m_active = false;
        // A refused entry brings the window back (the field takes the focus
        // back at once): it keeps what the user typed.
        m_keepFields = true;
        if (FormDeactivate())
            m_keepFields = false;
    }
}

void DataDialog::bringToFront(TDataEdit* field)
{
    QPointer<TDataEdit> focus = field;
    auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget());
    const auto raise = [this, frame, focus] {
        if (frame) {
            frame->showNormal();
            m_form.MdiArea()->setActiveSubWindow(frame);
        }
        if (focus)
            focus->setFocus(Qt::OtherFocusReason);
    };
    if (!frame || m_form.MdiArea()->currentSubWindow() == frame)
        raise();
    else // another child is being activated now: come back once it is
        QTimer::singleShot(0, this, raise);
}

bool DataDialog::activeEntryValid()
{
    auto* field = qobject_cast<TDataEdit*>(m_activeControl.data());
    return !field || entryValid(field);
}

bool DataDialog::entryValid(TDataEdit* field)
{
    // Within the action that was refused (a menu that commits when it opens
    // and again for its command) the refusal stands without a second
    // message, and nothing is stored, not even a bound the field put in
    // place. A later action checks the entry again, message and all.
    if (m_refusalPending && field == m_refusedField && field->text() == m_refusedText) {
        bringToFront(field);
        return false;
    }
    if (field->Validate()) {
        m_refusedField = nullptr;
        return true;
    }
    m_refusedField = field;
    m_refusedText = field->text();
    m_refusalPending = true;
    CallWhenUserActionEnds(this, [this] { m_refusalPending = false; });
    bringToFront(field);
    return false;
}

TDataEdit* DataDialog::addField(const QString& caption, const QString& units)
{
    const int row = m_grid->rowCount();
    auto* label = new QLabel(this);
    auto* edit = new TDataEdit(this);
    edit->SetCaption(caption);
    edit->SetUnitsString(units);
    edit->SetEditLabel(label);
    edit->setMinimumWidth(160);
    edit->SetMessageHandler([this](TDataEdit* f, const QString& message) { m_form.Dialogs().Inform(f, message); });
    m_grid->addWidget(label, row, 0);
    m_grid->addWidget(edit, row, 1);
    return edit;
}

void DataDialog::closeEvent(QCloseEvent* event)
{
    if (!FormDeactivate()) {
        event->ignore();
        return;
    }
    m_active = false;
    event->accept();
}

// ------------------------------------------------------------ number dialogs

TDataEdit* NumberDialog::addBoundField(const QString& caption, const QString& units, Getter get, Setter set)
{
    TDataEdit* edit = addField(caption, units);
    // Every change of a field's text is an edit of the project, also the
    // change that loading a different value makes.
    connect(edit, &QLineEdit::textChanged, this, [this] { Form().SetModified(true); });
    m_bindings.push_back({edit, std::move(get), std::move(set)});
    return edit;
}

TDataEdit* NumberDialog::addBoundField(const QString& caption, const QString& units, Extended TProgramData::*member)
{
    return addBoundField(
        caption, units, [member](const TProgramData& d) { return d.*member; },
        [member](TProgramData& d, Extended x) { d.*member = x; });
}

std::vector<TDataEdit*> NumberDialog::Fields() const
{
    std::vector<TDataEdit*> fields;
    for (const Binding& b : m_bindings)
        fields.push_back(b.Edit);
    return fields;
}

void NumberDialog::FormActivate()
{
    const TProgramData& data = Form().ProgramData();
    for (const Binding& b : m_bindings) {
        b.Edit->SetUnits(data.Units);
        b.Edit->SetNumber(b.Get(data));
    }
}

bool NumberDialog::FormDeactivate()
{
    if (!activeEntryValid())
        return false;
    // Every field is evaluated before anything is stored: all or nothing.
    std::vector<Extended> values;
    for (const Binding& b : m_bindings) {
        try {
            values.push_back(b.Edit->Number());
        } catch (const Exception&) {
            // An entry left invalid in a field that is not the active control.
            b.Edit->setFocus(Qt::OtherFocusReason);
            entryValid(b.Edit);
            return false;
        }
    }
    TProgramData& data = Form().ProgramData();
    for (std::size_t i = 0; i < m_bindings.size(); ++i)
        m_bindings[i].Set(data, values[i]);
    return true;
}

// ------------------------------------------------------------------ wiring

namespace {

template <class DialogClass>
TMainForm::ChildFactory dialogFactory()
{
    return [](TMainForm& form) -> QWidget* { return new DialogClass(form); };
}

} // namespace

void InstallDataDialogs(TMainForm& form)
{
    form.SetChildFactory(ChildKind::ProjectTitle, dialogFactory<TdlgTitle>());
    form.SetChildFactory(ChildKind::PileProperties, dialogFactory<TfrmCPileProperties>());
    form.SetChildFactory(ChildKind::SuperstructureProperties, dialogFactory<TfrmNCPileProperties>());
    form.SetChildFactory(ChildKind::FrequencyData, dialogFactory<TfrmSoilParams>());
    form.SetChildFactory(ChildKind::ControlOptions, dialogFactory<TDlgOptions>());
    // Made once, hidden until Help, About.
    auto* about = new TAboutBox(&form);
    form.SetAboutBox([about](TMainForm&) { about->ShowCentred(); });
}
