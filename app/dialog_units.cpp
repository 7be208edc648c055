#include "app/dialog_units.h"

#include <QFontMetrics>

namespace {

// du * base / divisor, rounded to the nearest pixel.
int Scale(int units, int base, int divisor) { return (units * base + divisor / 2) / divisor; }

}  // namespace

DialogUnits::DialogUnits(const QFont& font) {
  const QFontMetrics metrics(font);
  const int letters = metrics.horizontalAdvance(
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  m_nBaseWidth = (letters / 26 + 1) / 2;  // the average over 52 letters, rounded
  m_nBaseHeight = metrics.height();
}

QRect DialogUnits::ToPixels(int x, int y, int width, int height) const {
  const int left = Scale(x, m_nBaseWidth, 4);
  const int top = Scale(y, m_nBaseHeight, 8);
  return QRect(left, top, Scale(x + width, m_nBaseWidth, 4) - left,
               Scale(y + height, m_nBaseHeight, 8) - top);
}
