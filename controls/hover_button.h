// CHoverButton: the command button of the dialogs. It paints itself: an icon left of a
// word-wrapped caption on a button face with a 3-D border, a black frame while it is the
// default or focused button, an engraved caption while disabled, and in flat mode a border
// only while the mouse is over it (tracked by a 50 ms poll). A widget: use it on the
// user-interface thread only.
#pragma once

#include <QColor>
#include <QIcon>
#include <QPoint>
#include <QPushButton>
#include <QRect>
#include <QSize>
#include <QString>

class CHoverButton : public QPushButton {
  Q_OBJECT

 public:
  // Button types of the dialog templates: the low four style bits.
  enum ButtonType {
    TYPE_PUSH = 0,
    TYPE_DEFAULT_PUSH = 1,
    TYPE_CHECKBOX = 2,
    TYPE_AUTO_CHECKBOX = 3
  };
  enum IconEntry { ICON_IN = 0, ICON_OUT = 1, ICON_DISABLED = 2 };
  static constexpr int HOVER_POLL_MS = 50;

  explicit CHoverButton(QWidget* parent = nullptr);

  // Takes over a template button of `type`: a default push button keeps its default role
  // (and Enter in the dialog still presses it); a check-box type makes each click toggle a
  // checked state drawn as pressed.
  void PreSubclassWindow(int type);
  // Changes the button type later (push or default push), keeping the button self-painted.
  void SetButtonStyle(int type);

  // Loads the icons by resource id (0: none) and replaces those held; entries 1 and 2 are
  // taken only when entry 0 loaded. Repaints.
  void SetIcon(int idIn, int widthIn, int heightIn, int idOut = 0, int widthOut = 0,
               int heightOut = 0, int idDisabled = 0, int widthDisabled = 0,
               int heightDisabled = 0);
  void SetFlat(bool flat, bool repaint = true);
  void SetDefaultColors(bool repaint = true);

  bool IsFlat() const { return m_bFlat; }
  bool IsMouseOver() const { return m_bMouseOver; }
  bool IsCheckBoxMode() const { return m_bCheckBoxMode; }
  bool IsChecked() const { return m_bChecked; }
  int PriorType() const { return m_nPriorType; }
  bool HoverTimerRunning() const { return m_nTimerId != 0; }
  const QIcon& Icon(int entry) const { return m_icons[entry].icon; }

  // Where paint puts the icon and the caption for the current state and size.
  QRect IconRect() const;
  QRect CaptionRect() const;

  // One tick of the hover poll, with the cursor at `cursorInClient`: ends the hover when
  // the cursor has left the button.
  void PollHover(const QPoint& cursorInClient);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void changeEvent(QEvent* event) override;
  void timerEvent(QTimerEvent* event) override;

  // The two overridable painting steps.
  virtual void DrawBorder(QPainter* painter, const QRect& rect);
  virtual void DrawBackground(QPainter* painter, const QRect& rect);

 private:
  struct IconSlot {
    QIcon icon;
    QSize size;
  };
  bool IsPressed() const;
  const IconSlot* ChooseIcon() const;
  void EndHover();

  bool m_bFlat = true;
  bool m_bMouseOver = false;
  bool m_bCheckBoxMode = false;
  bool m_bDrawBorder = true;
  bool m_bFlatFocus = false;
  QColor m_backgroundIn, m_textIn, m_backgroundOut, m_textOut, m_backgroundFocus, m_textFocus;
  IconSlot m_icons[3];
  bool m_bAlwaysTrack = true;
  bool m_bChecked = false;
  int m_nPriorType = 15;
  int m_nTimerId = 0;
};
