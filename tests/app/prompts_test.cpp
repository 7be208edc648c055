// The window's own prompts on the offscreen platform, as the user meets them: the password
// entry of a refused save and the file-open dialog of Open Firmware, each driven through its
// real widgets.
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <cstdlib>
#include <functional>

#include "app/config_dlg.h"
#include "app/file_dialog.h"
#include "app/password_prompt.h"

namespace {

// Runs `answer` on the modal dialog that the call about to be made opens.
void AnswerNextDialog(const std::function<void(QWidget*)>& answer) {
  QTimer::singleShot(0, [answer] {
    QWidget* dialog = QApplication::activeModalWidget();
    QVERIFY(dialog != nullptr);
    answer(dialog);
  });
}

}  // namespace

class PromptsTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void passwordIsMaskedAndAtMostTenBytes_data();
  void passwordIsMaskedAndAtMostTenBytes();
  void cancelledPasswordGivesNothing();
  void fileDialogOffersTheFiltersAndReturnsThePath();
};

void PromptsTest::init() {
  unsetenv("LC_ALL");
  unsetenv("LC_CTYPE");
  setenv("LANG", "en_US.UTF-8", 1);
}

void PromptsTest::passwordIsMaskedAndAtMostTenBytes_data() {
  QTest::addColumn<int>("codePage");
  QTest::addColumn<QString>("typed");
  QTest::addColumn<QByteArray>("password");
  QTest::addColumn<QString>("caption");
  QTest::newRow("ASCII, cut at 10")
      << 1252 << "0123456789abc" << QByteArray("0123456789") << "Printer password";
  // Three bytes each in UTF-8: a fourth would make 12.
  QTest::newRow("Korean") << 949 << "비밀번호" << QString("비밀번").toUtf8() << "프린터 비밀번호";
}

void PromptsTest::passwordIsMaskedAndAtMostTenBytes() {
  QFETCH(int, codePage);
  QFETCH(QString, typed);
  QFETCH(QByteArray, password);
  QFETCH(QString, caption);
  CConfigDlg window;  // the owner, whose keyboard filter must leave Enter to the prompt
  window.show();
  struct Seen {
    QString caption;
    bool masked = false;
    bool okWhileEmpty = true;
    bool labelled = false;
  } seen;
  AnswerNextDialog([&](QWidget* dialog) {
    seen.caption = dialog->windowTitle();
    auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("password_edit"));
    seen.masked = edit->echoMode() == QLineEdit::Password;
    seen.okWhileEmpty =
        dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->isEnabled();
    seen.labelled = !edit->accessibleName().isEmpty();
    for (const QChar c : typed) {  // keyClicks takes ASCII only
      QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
    QTest::keyClick(edit, Qt::Key_Return);
  });
  const std::optional<QByteArray> answer = AskPassword(&window, codePage, 10);
  QCOMPARE(seen.caption, caption);
  QVERIFY(seen.masked);
  QVERIFY(!seen.okWhileEmpty);
  QVERIFY(seen.labelled);
  QVERIFY(answer.has_value());
  QCOMPARE(*answer, password);
}

void PromptsTest::cancelledPasswordGivesNothing() {
  AnswerNextDialog([](QWidget* dialog) {
    QTest::keyClicks(dialog->findChild<QLineEdit*>(QStringLiteral("password_edit")), "secret");
    QTest::keyClick(dialog, Qt::Key_Escape);
  });
  QVERIFY(!AskPassword(nullptr, 1252, 10).has_value());
}

void PromptsTest::fileDialogOffersTheFiltersAndReturnsThePath() {
  QTemporaryDir folder;
  const QString path = folder.filePath(QStringLiteral("QNEther_v210.bin"));
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.close();
  const QStringList filters{QStringLiteral("Binary File (*.bin)"),
                            QStringLiteral("All Files (*.*)")};
  QStringList offered;
  AnswerNextDialog([&](QWidget* widget) {
    auto* dialog = qobject_cast<QFileDialog*>(widget);
    QVERIFY(dialog != nullptr);
    offered = dialog->nameFilters();
    QCOMPARE(dialog->fileMode(), QFileDialog::ExistingFile);
    dialog->selectFile(path);
    static_cast<QDialog*>(dialog)->accept();  // as the Open button does
  });
  QCOMPARE(ShowOpenFileDialog(nullptr, filters), path);
  QCOMPARE(offered, filters);

  AnswerNextDialog([](QWidget* widget) { qobject_cast<QDialog*>(widget)->reject(); });
  QCOMPARE(ShowOpenFileDialog(nullptr, filters), QString());
}

QTEST_MAIN(PromptsTest)
#include "prompts_test.moc"
