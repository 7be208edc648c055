// Dialog units to pixels for a dialog font: x = du * average character width / 4,
// y = du * character height / 8, the average width measured over the 52 Latin letters.
#pragma once

#include <QFont>
#include <QRect>

class DialogUnits {
 public:
  explicit DialogUnits(const QFont& font);

  QRect ToPixels(int x, int y, int width, int height) const;

 private:
  int m_nBaseWidth;
  int m_nBaseHeight;
};
