#include "controls/xp_group_box.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPalette>

namespace {

constexpr int CAPTION_INSET = 10;    // caption distance from the frame's left or right end
constexpr int CORNER_DIAMETER = 10;  // the corners' ellipse
constexpr int BOXED_CAPTION_INSET = 2;
constexpr int BOXED_BODY_GAP = 4;  // between the caption and the body in the boxed style

}  // namespace

CXPGroupBox::CXPGroupBox(QWidget* parent)
    : QGroupBox(parent),
      m_borderColor(palette().color(QPalette::Dark)),
      m_gapColor(palette().color(QPalette::Button)),
      m_bodyColor(palette().color(QPalette::Button)),
      m_captionTextColor(palette().color(QPalette::WindowText)),
      m_font(font()) {}

CXPGroupBox& CXPGroupBox::SetBorderColor(const QColor& color) {
  m_borderColor = color;
  return Repaint();
}

CXPGroupBox& CXPGroupBox::SetCaptionTextColor(const QColor& color) {
  m_captionTextColor = color;
  return Repaint();
}

CXPGroupBox& CXPGroupBox::SetBackgroundColors(const QColor& gap, const QColor& body) {
  m_gapColor = gap;
  m_bodyColor = body;
  return Repaint();
}

CXPGroupBox& CXPGroupBox::SetBackgroundColor(const QColor& color) {
  return SetBackgroundColors(color, color);
}

CXPGroupBox& CXPGroupBox::SetBoxStyle(int style) {
  m_nStyle = style;
  return Repaint();
}

CXPGroupBox& CXPGroupBox::SetCaptionText(const QString& text) {
  m_strCaption = QLatin1Char(' ') + text + QLatin1Char(' ');
  return Repaint();
}

CXPGroupBox& CXPGroupBox::SetFontBold(bool bold) {
  m_font.setWeight(bold ? QFont::Bold : QFont::Normal);
  return Repaint();
}

CXPGroupBox& CXPGroupBox::SetFontName(const QString& family) {
  m_font.setFamily(family);
  return Repaint();
}

CXPGroupBox& CXPGroupBox::SetFontUnderline(bool underline) {
  m_font.setUnderline(underline);
  return Repaint();
}

CXPGroupBox& CXPGroupBox::SetFontItalic(bool italic) {
  m_font.setItalic(italic);
  return Repaint();
}

CXPGroupBox& CXPGroupBox::SetFontSize(int points) {
  m_font.setPointSize(points);
  return Repaint();
}

CXPGroupBox& CXPGroupBox::SetFontDescription(const QFont& font) {
  m_font = font;
  return Repaint();
}

CXPGroupBox& CXPGroupBox::SetCaptionAlignment(int alignment) {
  m_nAlignment = (alignment == ALIGN_CENTER || alignment == ALIGN_RIGHT) ? alignment : ALIGN_LEFT;
  return Repaint();
}

CXPGroupBox& CXPGroupBox::Repaint() {
  // The parent repaints the box's area as well, so no trace of the old caption stays.
  repaint();
  if (parentWidget() != nullptr) parentWidget()->update(geometry());
  return *this;
}

const QString& CXPGroupBox::EnsureCaption() {
  if (m_strCaption.isEmpty() && !title().isEmpty()) {
    m_strCaption = QLatin1Char(' ') + title() + QLatin1Char(' ');
  }
  return m_strCaption;
}

QSize CXPGroupBox::CaptionExtent() const {
  if (m_strCaption.isEmpty()) return QSize(0, 0);
  const QFontMetrics metrics(m_font);
  return QSize(metrics.horizontalAdvance(m_strCaption), metrics.height());
}

QRect CXPGroupBox::CaptionRect() const {
  const QRect r = rect().adjusted(1, 1, -1, -1);
  const QSize extent = CaptionExtent();
  const int inset = m_nStyle == STYLE_BOXED ? BOXED_CAPTION_INSET : CAPTION_INSET;
  const int top = m_nStyle == STYLE_BOXED ? r.top() + BOXED_CAPTION_INSET : r.top();
  // Edges as exclusive right ends, as the frame's arithmetic counts them.
  const int right = r.left() + r.width();
  int left = r.left() + inset;
  if (m_nAlignment == ALIGN_CENTER) left = r.left() + (right - extent.width() - r.left()) / 2;
  if (m_nAlignment == ALIGN_RIGHT) left = right - inset - extent.width();
  return QRect(left, top, extent.width(), extent.height());
}

QRect CXPGroupBox::FrameRect() const {
  const QRect r = rect().adjusted(1, 1, -1, -1);
  const int h = CaptionExtent().height();
  const int top = m_nStyle == STYLE_BOXED ? r.top() + h + BOXED_BODY_GAP : r.top() + h / 2;
  return QRect(QPoint(r.left(), top), r.bottomRight());
}

void CXPGroupBox::paintEvent(QPaintEvent*) {
  EnsureCaption();
  QPainter painter(this);
  painter.setFont(m_font);
  const QRect caption = CaptionRect();
  const QRect frame = FrameRect();
  painter.setPen(QPen(m_borderColor, 1));
  if (m_nStyle == STYLE_BOXED) {
    painter.setBrush(m_bodyColor);
    painter.drawRect(frame);
  } else {
    painter.setBrush(Qt::NoBrush);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.drawRoundedRect(frame, CORNER_DIAMETER / 2.0, CORNER_DIAMETER / 2.0);
    // The gap erases the frame line behind the caption.
    painter.setClipRect(caption);
    painter.fillRect(caption, m_gapColor);
  }
  painter.setPen(m_captionTextColor);
  painter.drawText(caption, Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextDontClip, m_strCaption);
}
