#pragma once

// What the numeric entry field knows, without a display: its text, bounds,
// flags and units, the label text and the exit check. The widget TDataEdit
// shows it and reports the check's message.

#include "Extended.h"
#include "Misc.h"

#include <QString>

#include <functional>

// Outcome of one exit check: Valid, or the message to show before the field
// takes the focus back.
struct ExitCheckResult {
    bool Valid = false;
    QString Message;
};

class DataEditModel {
public:
    // (2^64 - 80) x 2^16320: 79 units in the last place below the largest
    // finite Extended, about 1.18973149535723176E4932.
    static const Extended DefaultMaxVal;

    DataEditModel();

    const QString& Text() const { return m_text; }
    void SetText(const QString& text);

    const QString& Caption() const { return m_caption; }
    void SetCaption(const QString& caption);
    bool IntegerOnly() const { return m_integerOnly; }
    void SetIntegerOnly(bool value);
    bool Hex() const { return m_hex; }
    void SetHex(bool value) { m_hex = value; }
    Extended MinVal() const { return m_minVal; }
    void SetMinVal(Extended x);
    Extended MaxVal() const { return m_maxVal; }
    void SetMaxVal(Extended x);
    const QString& UnitsString() const { return m_unitsString; }
    void SetUnitsString(const QString& units);
    int Units() const { return m_units; }
    void SetUnits(int units);
    // While the field is read from a stored description the bound and number
    // setters store values as given.
    bool Loading() const { return m_loading; }
    void SetLoading(bool loading) { m_loading = loading; }
    bool IsValid() const { return m_valid; }

    // Evaluates the current text; raises the evaluator's errors.
    Extended Number() const;
    // Clamps X into the bounds and shows it.
    void SetNumber(Extended x);
    static QString FormatNumber(bool hex, Extended x);

    // The units expression with its placeholders named for Units.
    QString ExpandUnits() const;
    // Caption, followed by the expanded units in parentheses when there are any.
    QString LabelText() const;

    // Evaluates and checks the entry; on success the text becomes the
    // canonical number. Never raises for a bad entry.
    ExitCheckResult ExitCheck();

    // An operator typed over a fully selected text is appended to it.
    static bool OperatorGoesToEnd(QChar key, int selectionLength, int textLength);

    std::function<void()> OnTextChanged;  // the text changed from inside the model
    std::function<void()> OnLabelChanged; // caption or units changed

private:
    // The number's text, chosen so that it reads back within the bounds:
    // more digits where 18 would round across a bound.
    QString textWithinBounds(Extended x) const;
    void setTextFromModel(const QString& text);
    void labelChanged();

    QString m_text;
    QString m_caption;
    bool m_integerOnly = false;
    bool m_hex = false;
    Extended m_minVal;
    Extended m_maxVal;
    QString m_unitsString;
    int m_units = 1;
    bool m_loading = false;
    bool m_valid = false;
};
