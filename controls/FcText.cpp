#include "controls/FcText.h"

#include <QFontMetrics>
#include <QPainter>
#include <cmath>
#include <cstdlib>
#include <numbers>

namespace {
double radians(int degrees) { return degrees * std::numbers::pi / 180.0; }
}  // namespace

TfcText::TfcText(TfcTextOwner* owner) : owner_(owner) {
    auto relay = [this](bool refit) { Changed(refit); };
    disabled_.SetOnChange(relay);
    extrude_.SetOnChange(relay);
    shadow_.SetOnChange(relay);
}

void TfcText::Changed(bool refit) {
    if (owner_) owner_->fcTextChanged(refit);
}

void TfcText::SetRotation(int degrees) {
    rotation_ = degrees >= 0 ? degrees % 360 : 360 - (std::abs(degrees) % 360);
    Changed(true);
}

QFont TfcText::DrawingFont() const {
    QFont f = owner_ ? owner_->fcTextFont() : QFont();
    f.setWeight(f.bold() ? QFont::Bold : QFont::Normal);
    return f;
}

int TfcText::TextFlags() const {
    int flags = Qt::TextDontClip | Qt::AlignTop;
    if (wordWrap_) flags |= Qt::TextWordWrap;
    if (options_ & toShowAccel) flags |= Qt::TextShowMnemonic;
    bool aligned = rotation_ % 360 == 0;
    if (aligned && alignment_ == taCenter) flags |= Qt::AlignHCenter;
    else if (aligned && alignment_ == taRightJustify) flags |= Qt::AlignRight;
    else flags |= Qt::AlignLeft;
    return flags;
}

QStringList TfcText::Pieces() const {
    if (text_.isEmpty()) return {};
    return text_.split(QStringLiteral("\r\n"));
}

// Inside a piece a lone CR or LF is an ordinary line break of the layout.
QString TfcText::PreparePiece(const QString& piece) const {
    QString s = piece;
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return s;
}

QSize TfcText::PieceSize(const QFontMetrics& fm, const QString& piece, int width) const {
    if (piece.isEmpty()) return {0, fm.height()};
    int flags = (TextFlags() & ~Qt::AlignHorizontal_Mask) | Qt::AlignLeft;
    QRect box = wordWrap_ ? QRect(0, 0, std::max(width, 1), 1 << 24) : QRect(0, 0, 0, 0);
    return fm.boundingRect(box, flags, PreparePiece(piece)).size();
}

QSize TfcText::TextBlockSize() const {
    QFontMetrics fm(DrawingFont());
    int w = 0, h = 0;
    const QStringList pieces = Pieces();
    for (int i = 0; i < pieces.size(); ++i) {
        QSize s = PieceSize(fm, pieces[i], drawRect_.width());
        w = std::max(w, s.width());
        h += s.height();
        if (i + 1 < pieces.size()) h += lineSpacing_;
    }
    return {w, h};
}

QPoint TfcText::EffectiveShadowOffset() const {
    if (!shadow_.Enabled()) return {0, 0};
    int x = shadow_.XOffset(), y = shadow_.YOffset();
    if (extrude_.Enabled()) {
        QPoint s = fcOrientationStep(extrude_.Orientation());
        auto agrees = [](int step, int off) { return (step >= 0 && off > 0) || (step < 0 && off <= 0); };
        if (!agrees(s.x(), x)) x = 0;
        if (!agrees(s.y(), y)) y = 0;
    }
    return {x, y};
}

QSize TfcText::EffectsSize(bool clamp) const {
    QSize block = TextBlockSize();
    QPoint ext = extrude_.Extent();
    QPoint sh = EffectiveShadowOffset();
    int w = block.width() + ext.x() + std::abs(sh.x());
    int h = block.height() + ext.y() + std::abs(sh.y());
    if (style_ == fclsOutline) {
        w += 2;
        h += 2;
    }
    double a = radians(rotation_);
    double s = std::abs(std::sin(a)), c = std::abs(std::cos(a));
    int nw = fcFloored(s * h + c * w);
    int nh = fcFloored(c * h + s * w);
    if (clamp) {
        nw = std::min(nw, drawRect_.width());
        nh = std::min(nh, drawRect_.height());
    }
    return {nw, nh};
}

QRect TfcText::CalcTextRect(bool clamp) {
    QSize block = TextBlockSize();
    QPoint sh = EffectiveShadowOffset();
    QPoint ext = extrude_.Extent();
    int x = drawRect_.left() + drawRect_.width() / 2 - sh.x() / 2 - ext.x() / 2;
    int y = drawRect_.top() + drawRect_.height() / 2 - sh.y() / 2 - ext.y() / 2;
    double a = radians(rotation_);
    x -= fcFloored(std::cos(a) * block.width()) / 2;
    y += fcFloored(std::sin(a) * block.width()) / 2;
    y -= fcFloored(std::cos(a) * block.height()) / 2;
    x -= fcFloored(std::sin(a) * block.height()) / 2;
    x = std::max(x, drawRect_.left());
    y = std::max(y, drawRect_.top());
    textRect_ = QRect(QPoint(x, y), EffectsSize(clamp));
    return textRect_;
}

void TfcText::DrawLines(QPainter& p, QRect r, std::optional<QColor> color) {
    if (!color) return;
    QFont font = DrawingFont();
    QFontMetrics fm(font);
    p.setFont(font);
    p.setPen(*color);
    const int flags = TextFlags();
    const bool rotated = rotation_ % 360 != 0;
    const double a = radians(rotation_);
    for (const QString& piece : Pieces()) {
        QString s = PreparePiece(piece);
        if ((options_ & toShowEllipsis) && !wordWrap_) {
            QStringList lines = s.split(QLatin1Char('\n'));
            for (QString& line : lines)
                line = fm.elidedText(line, Qt::ElideRight, r.width(), flags & Qt::TextShowMnemonic);
            s = lines.join(QLatin1Char('\n'));
        }
        if (rotated) {
            p.save();
            p.translate(r.topLeft());
            p.rotate(-rotation_);
            p.drawText(QRect(0, 0, r.width(), r.height()), flags, s);
            p.restore();
        } else {
            p.drawText(r, flags, s);
        }
        int d = PieceSize(fm, piece, r.width()).height() + lineSpacing_;
        r.translate(fcFloored(std::sin(a) * d), fcFloored(std::cos(a) * d));
    }
}

QColor TfcText::color(TfcColor c, const QColor& fallback) const {
    return c.resolveOr(owner_ ? owner_->fcTextPalette() : QPalette(), fallback);
}

std::optional<QColor> TfcText::opt(TfcColor c) const {
    return c.resolve(owner_ ? owner_->fcTextPalette() : QPalette());
}

void TfcText::DrawCopies(QPainter& p, const QList<QPair<QPoint, std::optional<QColor>>>& copies) {
    for (const auto& [offset, c] : copies) DrawLines(p, textRect_.translated(offset), c);
}

void TfcText::DrawExtrusion(QPainter& p) {
    if (!extrude_.Enabled()) return;
    QPoint s = fcOrientationStep(extrude_.Orientation());
    QPoint ext = extrude_.Extent();
    textRect_.translate(ext.x() / 2, ext.y() / 2);
    textRect_.translate(-s.x() * ext.x() / 2, -s.y() * ext.y() / 2);
    const QPalette pal = owner_ ? owner_->fcTextPalette() : QPalette();
    for (int i = 1; i <= extrude_.Depth(); ++i) {
        textRect_.translate(s);
        DrawLines(p, textRect_, extrude_.LayerColor(i, pal));
    }
}

void TfcText::DrawShadow(QPainter& p) {
    if (!shadow_.Enabled()) return;
    bool enabled = owner_ ? owner_->fcTextEnabled() : true;
    auto c = enabled ? opt(shadow_.Color()) : opt(disabled_.ShadeColor());
    DrawLines(p, textRect_.translated(shadow_.XOffset(), shadow_.YOffset()), c);
}

void TfcText::DrawStandard(QPainter& p) {
    bool enabled = owner_ ? owner_->fcTextEnabled() : true;
    if (!enabled) {
        DrawEmbossed(p, true);
        return;
    }
    CalcTextRect(true);
    DrawExtrusion(p);
    DrawShadow(p);
    DrawLines(p, textRect_, owner_ ? owner_->fcTextColor() : QColor(Qt::black));
}

void TfcText::DrawEmbossed(QPainter& p, bool lowered) {
    const bool e = owner_ ? owner_->fcTextEnabled() : true;
    CalcTextRect(true);
    DrawExtrusion(p);
    DrawShadow(p);
    auto hl = opt(e ? highlight_ : disabled_.HighlightColor());
    auto sh = opt(e ? shade_ : disabled_.ShadeColor());
    std::optional<QColor> face = e ? std::optional<QColor>(owner_ ? owner_->fcTextColor() : QColor(Qt::black))
                                   : opt(disabled_.ShadeColor());
    QList<QPair<QPoint, std::optional<QColor>>> copies;
    if (e) copies.append({QPoint(-1, -1), lowered ? sh : hl});
    copies.append({QPoint(1, 1), lowered ? hl : sh});
    copies.append({QPoint(0, 0), face});
    DrawCopies(p, copies);
}

void TfcText::DrawOutline(QPainter& p) {
    const bool e = owner_ ? owner_->fcTextEnabled() : true;
    CalcTextRect(true);
    DrawExtrusion(p);
    DrawShadow(p);
    auto ring = opt(e ? outline_ : disabled_.ShadeColor());
    QList<QPair<QPoint, std::optional<QColor>>> copies;
    for (int o = fcTopLeft; o <= fcBottom; ++o) copies.append({fcOrientationStep(TfcOrientation(o)), ring});
    std::optional<QColor> face = e ? std::optional<QColor>(owner_ ? owner_->fcTextColor() : QColor(Qt::black))
                                   : opt(disabled_.HighlightColor());
    copies.append({QPoint(0, 0), face});
    DrawCopies(p, copies);
}

void TfcText::Draw(QPainter& p) {
    const QRect saved = drawRect_;
    if (rotation_ % 360 == 0) {
        QSize s = CalcTextRect(true).size();
        QRect r = drawRect_;
        if (alignment_ == taLeftJustify) r.setWidth(s.width());
        else if (alignment_ == taRightJustify) r.setLeft(r.left() + r.width() - s.width());
        if (vAlignment_ == vaTop) r.setHeight(s.height());
        else if (vAlignment_ == vaBottom) r.setTop(r.top() + r.height() - s.height());
        drawRect_ = r;
    }
    p.save();
    p.setBrush(Qt::NoBrush);
    switch (style_) {
    case fclsDefault: DrawStandard(p); break;
    case fclsLowered: DrawEmbossed(p, true); break;
    case fclsRaised: DrawEmbossed(p, false); break;
    case fclsOutline: DrawOutline(p); break;
    }
    p.restore();
    drawRect_ = saved;
}

void TfcText::Assign(const TfcText& o) {
    alignment_ = o.alignment_;
    disabled_.Assign(o.disabled_);
    extrude_.Assign(o.extrude_);
    highlight_ = o.highlight_;
    lineSpacing_ = o.lineSpacing_;
    options_ = o.options_;
    outline_ = o.outline_;
    rotation_ = o.rotation_;
    shade_ = o.shade_;
    shadow_.Assign(o.shadow_);
    style_ = o.style_;
    vAlignment_ = o.vAlignment_;
    wordWrap_ = o.wordWrap_;
    text_ = o.text_;
    Changed(true);
}
