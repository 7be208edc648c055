// CXPGroupBox: a group box that paints itself as a thin frame with rounded corners, its
// caption in a gap of the top edge, in its own colour and font. Used by the main dialog's
// three groups. A widget: use it on the user-interface thread only.
#pragma once

#include <QColor>
#include <QFont>
#include <QGroupBox>
#include <QRect>
#include <QString>

class CXPGroupBox : public QGroupBox {
  Q_OBJECT

 public:
  enum BoxStyle { STYLE_ROUNDED_FRAME = 0, STYLE_BOXED = 1 };
  enum Alignment { ALIGN_LEFT = 0, ALIGN_CENTER = 1, ALIGN_RIGHT = 2 };

  explicit CXPGroupBox(QWidget* parent = nullptr);

  // Each setter stores its value, repaints and returns the box, so calls chain.
  CXPGroupBox& SetBorderColor(const QColor& color);
  CXPGroupBox& SetCaptionTextColor(const QColor& color);
  CXPGroupBox& SetBackgroundColors(const QColor& gap, const QColor& body);
  CXPGroupBox& SetBackgroundColor(const QColor& color);
  CXPGroupBox& SetBoxStyle(int style);
  CXPGroupBox& SetCaptionText(const QString& text);
  CXPGroupBox& SetFontBold(bool bold);
  CXPGroupBox& SetFontName(const QString& family);
  CXPGroupBox& SetFontUnderline(bool underline);
  CXPGroupBox& SetFontItalic(bool italic);
  CXPGroupBox& SetFontSize(int points);
  CXPGroupBox& SetFontDescription(const QFont& font);
  CXPGroupBox& SetCaptionAlignment(int alignment);  // 1 centred, 2 right, others left

  const QFont& CaptionFont() const { return m_font; }
  // The caption as drawn: the text with one space on each side, empty until known.
  const QString& Caption() const { return m_strCaption; }
  int CaptionAlignment() const { return m_nAlignment; }

  // Where the caption goes and where the frame runs, for a box of this size and font.
  QRect CaptionRect() const;
  QRect FrameRect() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  CXPGroupBox& Repaint();
  // The caption, taken from the title the first time it is needed while empty.
  const QString& EnsureCaption();
  QSize CaptionExtent() const;

  QString m_strCaption;
  QColor m_borderColor;
  QColor m_gapColor;
  QColor m_bodyColor;
  QColor m_captionTextColor;
  int m_nStyle = STYLE_ROUNDED_FRAME;
  int m_nAlignment = ALIGN_LEFT;
  QFont m_font;
};
