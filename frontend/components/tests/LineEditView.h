#pragma once

// What part of a line edit's text is in view, as it is painted.

#include <QLineEdit>
#include <QPointF>

// The text position drawn at the field's left edge: 0 when the field shows
// the start of its text. Painting first brings the view up to date.
inline int FirstShownPosition(QLineEdit* field)
{
    field->grab();
    const QPointF edge(field->contentsRect().left() + 1, field->height() / 2);
    return field->inputMethodQuery(Qt::ImCursorPosition, edge).toInt();
}

// Whether the text is wider than the field can show at once.
inline bool Overflows(const QLineEdit* field)
{
    return field->fontMetrics().horizontalAdvance(field->text()) > field->contentsRect().width();
}
