#pragma once

// Arithmetic expressions typed into numeric fields and cells. Intermediate
// results travel as text with 18 significant digits; every rejection,
// arithmetic faults included, is an EAssignError whose message the caller
// shows as it stands.

#include "Extended.h"
#include "Misc.h"

#include <QString>

class EAssignError : public Exception {
public:
    using Exception::Exception;
};

// "Entry could not be evaluated:" CR detail
QString evaluationMessage(const QString& detail);

// Evaluates Text with the locale's decimal separator.
Extended Evaluate(const QString& text);
Extended Evaluate(const QString& text, QChar separator);
// One operand: constant, prefix function, factorial, $hex or decimal number.
Extended EvaluateTerm(const QString& operand, QChar separator);
// True for the 25 function names (any case), "!" and "$".
bool IsFunctionName(const QString& token);
Extended Factorial(Extended x);
Extended Sec(Extended x);
Extended Csc(Extended x);
