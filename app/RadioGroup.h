#pragma once
// A framed group of radio items without caption, one item per row, arranged evenly
// down the frame under a top margin of one text line. ItemIndex -1 means none chosen.
// The arrow keys move to the previous or next item and choose it, going round at the
// ends, as in a standard radio group.

#include <QButtonGroup>
#include <QGroupBox>
#include <QList>
#include <QRadioButton>
#include <QStringList>

class TRadioGroup : public QGroupBox {
    Q_OBJECT
public:
    explicit TRadioGroup(QWidget* parent = nullptr);

    void SetItems(const QStringList& items);
    int ItemCount() const { return int(buttons_.size()); }
    QRadioButton* Item(int i) const { return buttons_.value(i); }
    int ItemIndex() const;
    // Checks item `i`, or clears the choice for -1.
    void SetItemIndex(int i);
    // Gives the keyboard focus to the chosen item, or to the first one.
    void FocusItem();

signals:
    // The user chose an item (by mouse or keyboard).
    void clicked();

protected:
    void resizeEvent(QResizeEvent* e) override;
    void changeEvent(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void arrange();

    QButtonGroup group_;
    QList<QRadioButton*> buttons_;
};
