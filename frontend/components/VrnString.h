#pragma once

// String helpers. Positions count from 1; a search that finds nothing, or
// searches for an empty text, yields 0. Positions outside the string are
// clamped to it.

#include "Extended.h"

#include <QString>

// S[Pos], or character 0 when Pos lies outside S.
QChar GetChar(const QString& s, int pos);
// The tail of S from From to the end; From below 1 gives all of S, beyond
// the end an empty text.
QString CopyFrom(const QString& s, int from);
// True when X is integral and within the 32-bit signed range.
bool IsInteger(Extended x);
// Position of the first Sub in CopyFrom(S, From), counted in that tail.
int PosFrom(const QString& sub, const QString& s, int from);
int PosOrDefault(const QString& sub, const QString& s, int defaultPos);
int PosOrEnd(const QString& sub, const QString& s);
// Every occurrence of Old replaced, left to right; inserted text is never
// searched again. An empty Old leaves S as it is.
QString ReplaceAll(const QString& s, const QString& oldText, const QString& newText);
