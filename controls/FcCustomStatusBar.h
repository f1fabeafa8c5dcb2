#pragma once
// A status bar docked at the bottom of its window and divided into panels, each of which
// draws its own contents inside a bevelled part.

#include "controls/FcLockKeys.h"
#include "controls/FcStatusBarText.h"
#include "controls/FcStatusPanels.h"
#include <QDateTime>
#include <QList>
#include <QPixmap>
#include <QTimer>
#include <QWidget>

class QSizeGrip;

class TfcCustomStatusBar : public QWidget {
    Q_OBJECT
public:
    explicit TfcCustomStatusBar(QWidget* parent = nullptr);
    ~TfcCustomStatusBar() override;

    // Images for panels of style psGlyph.
    const QList<QPixmap>& Images() const { return images_; }
    void SetImages(const QList<QPixmap>& images);
    TfcStatusPanels& Panels() { return panels_; }
    bool SimplePanel() const { return simplePanel_; }
    void SetSimplePanel(bool v);
    const QString& SimpleText() const { return simpleText_; }
    void SetSimpleText(const QString& t);
    // Shown only while the parent is a window with a sizeable border.
    bool SizeGrip() const { return sizeGrip_; }
    void SetSizeGrip(bool v);
    TfcStatusBarText& StatusBarText() { return statusBarText_; }
    // Keeps the bar at the bottom of its parent, across the parent's width.
    bool AlignBottom() const { return alignBottom_; }
    void SetAlignBottom(bool v);

    // The clock the date and time panels read (tests inject one).
    void SetClock(std::function<QDateTime()> clock) { clock_ = std::move(clock); }
    QDateTime Now() const { return clock_ ? clock_() : QDateTime::currentDateTime(); }

    // The number of parts shown and the bevelled rectangle of part i.
    int PartCount() const;
    QRect PartRect(int i) const;
    // The rectangle a panel draws into: the part inside its bevel, less the size grip for
    // the last panel.
    QRect PanelRect(int i) const;
    bool SizeGripShown() const;
    // The first panel whose part contains the point (the mouse position by default).
    TfcStatusPanel* PanelAt(QPoint p) const;
    TfcStatusPanel* PanelAt() const;

    // Recomputes the pixel widths from the panels' `Width` and repaints every part.
    void UpdatePanelWidths();
    // Called by a panel: repaint its part, or all parts.
    void PanelChanged(TfcStatusPanel* panel, bool allParts);
    // Repaints the panels of the styles that show a lock key.
    void LockKeyChanged(TfcLockKey key);
    // Starts or stops the date/time timer as the panels need it.
    void UpdateTimers();
    bool DateTimeTimerActive() const { return dateTimer_.isActive(); }
    // One tick of the date/time timer: repaints the panels whose shown value changed.
    void DateTimeTick();

    // Every status bar of the process.
    static const QList<TfcCustomStatusBar*>& Registered();

    std::function<void(TfcCustomStatusBar*, TfcStatusPanel*, bool keyIsOn, QRect, QString& text)> OnDrawKeyboardState;
    std::function<void(TfcCustomStatusBar*, TfcStatusPanel*, QRect)> OnDrawPanel;

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void changeEvent(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    void computeWidths();
    void placeControls();
    void placeSizeGrip();
    void dock();
    void paintBevel(QPainter& p, const QRect& r, TfcStatusPanelBevel bevel);

    TfcStatusPanels panels_;
    TfcStatusBarText statusBarText_;
    QList<QPixmap> images_;
    bool simplePanel_ = false;
    QString simpleText_;
    bool sizeGrip_ = true;
    bool alignBottom_ = true;
    QSizeGrip* grip_ = nullptr;
    QTimer dateTimer_;
    std::function<QDateTime()> clock_;
    QSize recordedSize_{-1, -1};
    QPointer<QWidget> watchedParent_;
};
