#pragma once
// The texts of the status bar's lock-key panels.

#include <QString>

class TfcCustomStatusBar;

class TfcStatusBarText {
public:
    explicit TfcStatusBarText(TfcCustomStatusBar* bar) : bar_(bar) {}
    const QString& CapsLock() const { return capsLock_; }
    const QString& Overwrite() const { return overwrite_; }
    const QString& NumLock() const { return numLock_; }
    const QString& ScrollLock() const { return scrollLock_; }
    void SetCapsLock(const QString& t) { assign(capsLock_, t); }
    void SetOverwrite(const QString& t) { assign(overwrite_, t); }
    void SetNumLock(const QString& t) { assign(numLock_, t); }
    void SetScrollLock(const QString& t) { assign(scrollLock_, t); }
    TfcCustomStatusBar* StatusBar() const { return bar_; }

private:
    void assign(QString& field, const QString& t);
    TfcCustomStatusBar* bar_;
    QString capsLock_ = QStringLiteral("Caps");
    QString overwrite_ = QStringLiteral("Overwrite");
    QString numLock_ = QStringLiteral("Num");
    QString scrollLock_ = QStringLiteral("Scroll");
};
