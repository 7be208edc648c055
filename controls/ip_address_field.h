// CIpAddressField: a field for one IPv4 address as four parts of 0..255 (a larger number
// typed into a part becomes 255). It is blank only when all four parts are empty; an empty
// part reads as 0; the value carries the first octet in its most significant byte. A
// widget: use it on the user-interface thread only.
#pragma once

#include <QFrame>
#include <QLineEdit>
#include <cstdint>

class CIpAddressField : public QFrame {
  Q_OBJECT

 public:
  explicit CIpAddressField(QWidget* parent = nullptr);

  bool IsBlank() const;
  // The address, first octet in the most significant byte; returns how many parts were
  // not empty.
  int GetAddress(uint32_t* address) const;
  void SetAddress(uint32_t address);
  void ClearAddress();
  // Puts the keyboard focus into part `part` (0..3) and selects its text.
  void SetFieldFocus(int part);
  // Names the field for screen readers, and its parts "NAME 1" to "NAME 4".
  void SetAccessibleName(const QString& name);

  QLineEdit* Part(int part) const { return m_parts[part]; }

 private:
  QLineEdit* m_parts[4];
};
