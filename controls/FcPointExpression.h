#pragma once
// The integer expressions of a custom button shape's point list: decimal numbers and the
// operators * / + -, the multiplicative ones first, otherwise left to right.

#include <QPoint>
#include <QString>

// Evaluates one coordinate expression. Raises EInvalidOperation for a character other
// than blanks, digits and * + , - / and for a division by zero; EFcConvertError for an
// operand or result that is not an integer (a missing operand included).
int fcEvalPointExpression(const QString& expr);

// One line of a point list, "x, y", with WIDTH and HEIGHT standing for the button's width
// and height less one. Raises EInvalidOperation when there is no comma.
QPoint fcParseCustomPoint(const QString& line, int width1, int height1);
