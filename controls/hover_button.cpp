#include "controls/hover_button.h"

#include <QCursor>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>

#include "controls/icon_resources.h"

namespace {

constexpr int ICON_MARGIN = 3;      // icon from the left edge, and caption from the icon
constexpr int FOCUS_INSET = 3;      // focus rectangle inside the face
constexpr int CAPTION_LIMIT = 256;  // characters of the caption drawn

// A 3-D rectangle: top and left edges in one colour, bottom and right in the other.
void Draw3dRect(QPainter* painter, const QRect& r, const QColor& topLeft,
                const QColor& bottomRight) {
  painter->setPen(topLeft);
  painter->drawLine(r.topLeft(), QPoint(r.right() - 1, r.top()));
  painter->drawLine(r.topLeft(), QPoint(r.left(), r.bottom() - 1));
  painter->setPen(bottomRight);
  painter->drawLine(r.bottomLeft(), r.bottomRight());
  painter->drawLine(r.topRight(), r.bottomRight());
}

}  // namespace

CHoverButton::CHoverButton(QWidget* parent) : QPushButton(parent) {
  SetDefaultColors(false);
  setMouseTracking(true);
  connect(this, &QPushButton::clicked, this, [this] {
    if (!m_bCheckBoxMode) return;
    m_bChecked = !m_bChecked;
    repaint();
  });
}

void CHoverButton::PreSubclassWindow(int type) {
  m_nPriorType = type & 0x0F;
  if ((m_nPriorType & TYPE_CHECKBOX) != 0) m_bCheckBoxMode = true;
  if (m_nPriorType == TYPE_DEFAULT_PUSH) {
    setDefault(true);
    m_nPriorType = TYPE_PUSH;
  }
}

void CHoverButton::SetButtonStyle(int type) {
  const int buttonType = type & 0x0F;
  if (buttonType == TYPE_PUSH || buttonType == TYPE_DEFAULT_PUSH)
    setDefault(buttonType == TYPE_DEFAULT_PUSH);
  update();
}

void CHoverButton::SetIcon(int idIn, int widthIn, int heightIn, int idOut, int widthOut,
                           int heightOut, int idDisabled, int widthDisabled, int heightDisabled) {
  IconSlot loaded[3];
  loaded[ICON_IN] = {LoadIconResource(idIn, widthIn, heightIn), QSize(widthIn, heightIn)};
  if (!loaded[ICON_IN].icon.isNull()) {
    loaded[ICON_OUT] = {LoadIconResource(idOut, widthOut, heightOut), QSize(widthOut, heightOut)};
    loaded[ICON_DISABLED] = {LoadIconResource(idDisabled, widthDisabled, heightDisabled),
                             QSize(widthDisabled, heightDisabled)};
  }
  for (int entry = 0; entry < 3; ++entry) m_icons[entry] = loaded[entry];  // releases the old
  repaint();
}

void CHoverButton::SetFlat(bool flat, bool repaintNow) {
  m_bFlat = flat;
  if (repaintNow) repaint();
}

void CHoverButton::SetDefaultColors(bool repaintNow) {
  const QColor face = palette().color(QPalette::Button);
  const QColor text = palette().color(QPalette::ButtonText);
  m_backgroundIn = m_backgroundOut = m_backgroundFocus = face;
  m_textIn = m_textOut = m_textFocus = text;
  if (repaintNow) repaint();
}

bool CHoverButton::IsPressed() const { return isDown() || (m_bCheckBoxMode && m_bChecked); }

const CHoverButton::IconSlot* CHoverButton::ChooseIcon() const {
  if (m_icons[ICON_IN].icon.isNull()) return nullptr;
  if (!isEnabled()) {
    return m_icons[ICON_DISABLED].icon.isNull() ? &m_icons[ICON_IN] : &m_icons[ICON_DISABLED];
  }
  if (IsPressed() || (!m_bCheckBoxMode && m_bMouseOver)) return &m_icons[ICON_IN];
  return m_icons[ICON_OUT].icon.isNull() ? &m_icons[ICON_IN] : &m_icons[ICON_OUT];
}

QRect CHoverButton::IconRect() const {
  const IconSlot* slot = ChooseIcon();
  if (slot == nullptr) return QRect();
  const QRect r = rect();
  const QSize size = slot->size;
  const int left =
      text().isEmpty() ? r.left() + (r.width() - size.width()) / 2 : r.left() + ICON_MARGIN;
  QRect icon(QPoint(left, r.top() + (r.height() - size.height()) / 2), size);
  if (IsPressed() && !m_bCheckBoxMode) icon.translate(1, 1);
  return icon;
}

QRect CHoverButton::CaptionRect() const {
  QRect caption = rect();
  if (const IconSlot* slot = ChooseIcon())
    caption.setLeft(caption.left() + slot->size.width() + ICON_MARGIN);
  if (IsPressed() && !m_bCheckBoxMode) caption.translate(1, 1);
  const QRect measured = QFontMetrics(font()).boundingRect(
      caption, Qt::TextWordWrap | Qt::AlignHCenter, text().left(CAPTION_LIMIT));
  // The measured block, centred in the caption area both ways.
  return QRect(caption.left() + (caption.width() - measured.width()) / 2,
               caption.top() + (caption.height() - measured.height()) / 2, measured.width(),
               measured.height());
}

void CHoverButton::DrawBackground(QPainter* painter, const QRect& rect) {
  const QColor& fill = (m_bMouseOver || IsPressed()) ? m_backgroundIn
                       : hasFocus()                  ? m_backgroundFocus
                                                     : m_backgroundOut;
  painter->fillRect(rect, fill);
}

void CHoverButton::DrawBorder(QPainter* painter, const QRect& rect) {
  const QColor shadow = palette().color(QPalette::Dark);
  const QColor highlight = palette().color(QPalette::Light);
  if (IsPressed()) {
    Draw3dRect(painter, rect, shadow, highlight);
  } else if (!m_bFlat || m_bMouseOver) {
    Draw3dRect(painter, rect, highlight, shadow);
  }
}

void CHoverButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QRect face = rect();
  if (!m_bFlat && (hasFocus() || isDefault())) {
    painter.setPen(Qt::black);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(face.adjusted(0, 0, -1, -1));
    face.adjust(1, 1, -1, -1);
  }
  DrawBackground(&painter, face);
  if (!m_bFlat || m_bDrawBorder) DrawBorder(&painter, face);

  if (const IconSlot* slot = ChooseIcon()) {
    slot->icon.paint(&painter, IconRect());
  }
  const QString caption = text().left(CAPTION_LIMIT);
  if (!caption.isEmpty()) {
    const QRect block = CaptionRect();
    const int flags = Qt::TextWordWrap | Qt::AlignHCenter;
    if (!isEnabled()) {
      painter.setPen(palette().color(QPalette::Light));
      painter.drawText(block.translated(1, 1), flags, caption);
      painter.setPen(palette().color(QPalette::Dark));
    } else {
      painter.setPen((m_bMouseOver || IsPressed()) ? m_textIn : m_textOut);
    }
    painter.drawText(block, flags, caption);
  }
  if (hasFocus() && (!m_bFlat || m_bFlatFocus)) {
    QPen dotted(palette().color(QPalette::ButtonText), 1, Qt::DotLine);
    painter.setPen(dotted);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(face.adjusted(FOCUS_INSET, FOCUS_INSET, -FOCUS_INSET - 1, -FOCUS_INSET - 1));
  }
}

void CHoverButton::mouseMoveEvent(QMouseEvent* event) {
  QPushButton::mouseMoveEvent(event);
  if (!m_bFlat) return;
  if ((event->buttons() & Qt::LeftButton) && !m_bMouseOver) return;
  // The button has no children, so the cursor inside its rectangle is over the button.
  const bool over = rect().contains(event->position().toPoint());
  const bool active = isActiveWindow() || m_bAlwaysTrack;
  if (over && active && !m_bMouseOver) {
    m_bMouseOver = true;
    repaint();
    m_nTimerId = startTimer(HOVER_POLL_MS);
  }
}

void CHoverButton::PollHover(const QPoint& cursorInClient) {
  if (!rect().contains(cursorInClient)) EndHover();
}

void CHoverButton::timerEvent(QTimerEvent* event) {
  if (event->timerId() == m_nTimerId) {
    PollHover(mapFromGlobal(QCursor::pos()));
    return;
  }
  QPushButton::timerEvent(event);
}

void CHoverButton::leaveEvent(QEvent* event) {
  QPushButton::leaveEvent(event);
  EndHover();
}

void CHoverButton::focusOutEvent(QFocusEvent* event) {
  QPushButton::focusOutEvent(event);
  EndHover();
}

void CHoverButton::changeEvent(QEvent* event) {
  QPushButton::changeEvent(event);
  if ((event->type() == QEvent::EnabledChange && !isEnabled()) ||
      (event->type() == QEvent::ActivationChange && !isActiveWindow())) {
    EndHover();
  }
}

void CHoverButton::EndHover() {
  if (!m_bFlat) return;
  if (m_nTimerId != 0) {
    killTimer(m_nTimerId);
    m_nTimerId = 0;
  }
  if (m_bMouseOver) {
    m_bMouseOver = false;
    repaint();
  }
}
