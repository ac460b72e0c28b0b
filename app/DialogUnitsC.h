#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

// Converts dialog-template units into pixels with the metrics of the dialog's font, the way
// the classic dialog manager does: a horizontal unit is a quarter of the average character
// width, a vertical unit an eighth of the character height.
class DialogUnitsC {
public:
    explicit DialogUnitsC(const QFont& font);

    int x(int units) const;
    int y(int units) const;
    QRect rect(int x, int y, int w, int h) const;
    QSize size(int w, int h) const;

private:
    int baseX_;
    int baseY_;
};
