#pragma once
// The standard button kinds: their captions, modal results, default and cancel roles, and
// their built-in glyphs (two images side by side: normal and disabled).

#include "controls/FcButtonTypes.h"
#include <QPixmap>
#include <QString>

QString fcKindCaption(TBitBtnKind kind);
int fcKindModalResult(TBitBtnKind kind);
bool fcKindIsDefault(TBitBtnKind kind);
bool fcKindIsCancel(TBitBtnKind kind);
// An 18-pixel-high glyph two images wide; empty for bkCustom.
QPixmap fcKindGlyph(TBitBtnKind kind);
