#include "app/DialogUnitsC.h"

#include <QFontMetrics>

namespace {

int MulDiv(int number, int numerator, int denominator) {
    long long product = static_cast<long long>(number) * numerator;
    return static_cast<int>((product + denominator / 2) / denominator);
}

} // namespace

DialogUnitsC::DialogUnitsC(const QFont& font) {
    QFontMetrics metrics(font);
    const QString alphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    int width = metrics.horizontalAdvance(alphabet);
    baseX_ = (width / 26 + 1) / 2;
    baseY_ = metrics.height();
    if (baseX_ <= 0) {
        baseX_ = 6;
    }
    if (baseY_ <= 0) {
        baseY_ = 13;
    }
}

int DialogUnitsC::x(int units) const {
    return MulDiv(units, baseX_, 4);
}

int DialogUnitsC::y(int units) const {
    return MulDiv(units, baseY_, 8);
}

QRect DialogUnitsC::rect(int x0, int y0, int w, int h) const {
    return QRect(x(x0), y(y0), x(w), y(h));
}

QSize DialogUnitsC::size(int w, int h) const {
    return QSize(x(w), y(h));
}
