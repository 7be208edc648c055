#include "controls/ip_address_field.h"

#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>

CIpAddressField::CIpAddressField(QWidget* parent) : QFrame(parent) {
  // One sunken edit-like field; the parts inside have no frames of their own.
  setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  setBackgroundRole(QPalette::Base);
  setAutoFillBackground(true);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(1, 0, 1, 0);
  layout->setSpacing(0);
  for (int part = 0; part < 4; ++part) {
    if (part > 0) layout->addWidget(new QLabel(QStringLiteral("."), this));
    m_parts[part] = new QLineEdit(this);
    m_parts[part]->setObjectName(QStringLiteral("part%1").arg(part));
    m_parts[part]->setValidator(new QIntValidator(0, 255, m_parts[part]));
    m_parts[part]->setMaxLength(3);
    m_parts[part]->setAlignment(Qt::AlignCenter);
    m_parts[part]->setFrame(false);
    connect(m_parts[part], &QLineEdit::textEdited, this,
            [edit = m_parts[part]](const QString& text) {
              if (text.toInt() > 255) edit->setText(QStringLiteral("255"));
            });
    layout->addWidget(m_parts[part], 1);
  }
  setFocusProxy(m_parts[0]);
}

bool CIpAddressField::IsBlank() const {
  for (const QLineEdit* part : m_parts) {
    if (!part->text().isEmpty()) return false;
  }
  return true;
}

int CIpAddressField::GetAddress(uint32_t* address) const {
  uint32_t value = 0;
  int filled = 0;
  for (const QLineEdit* part : m_parts) {
    const QString text = part->text();
    if (!text.isEmpty()) ++filled;
    value = (value << 8) | (text.toUInt() & 0xFF);
  }
  *address = value;
  return filled;
}

void CIpAddressField::SetAddress(uint32_t address) {
  for (int part = 0; part < 4; ++part) {
    m_parts[part]->setText(QString::number((address >> (24 - 8 * part)) & 0xFF));
  }
}

void CIpAddressField::ClearAddress() {
  for (QLineEdit* part : m_parts) part->clear();
}

void CIpAddressField::SetFieldFocus(int part) {
  m_parts[part]->setFocus();
  m_parts[part]->selectAll();
}

void CIpAddressField::SetAccessibleName(const QString& name) {
  setAccessibleName(name);
  for (int part = 0; part < 4; ++part) {
    m_parts[part]->setAccessibleName(QStringLiteral("%1 %2").arg(name).arg(part + 1));
  }
}
