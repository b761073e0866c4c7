#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTextDocument>
#include <QTimer>
#include <QtTest>

#include "messagebox.h"

namespace
{
const QString BOLD_SPAN("<span style=\"font-size:10pt; font-weight:600; color:#000000;\" >%1</span>");
const QString NORMAL_SPAN("<span style=\"font-size:10pt; font-weight:400; color:#000000;\" >%1</span>");

QString Plain_Text(const QString& html)
{
  QTextDocument document;
  document.setHtml(html);
  return document.toPlainText();
}

// Records the key events that reach the box.
class TKeyRecorder : public QObject
{
public:
  struct TKey
  {
    QEvent::Type type;
    int key;
    Qt::KeyboardModifiers modifiers;
    QString text;
    bool auto_repeat;
    int count;
  };

  QList<TKey> keys;

protected:
  bool eventFilter(QObject* watched, QEvent* event) override
  {
    if(event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease)
    {
      const QKeyEvent* key_event = static_cast<const QKeyEvent*>(event);
      keys.append({event->type(), key_event->key(), key_event->modifiers(), key_event->text(),
                   key_event->isAutoRepeat(), key_event->count()});
    }
    return QObject::eventFilter(watched, event);
  }
};
}

class TTestMessageBox : public QObject
{
  Q_OBJECT

private slots:
  void texts_are_wrapped_data();
  void texts_are_wrapped();
  void markup_is_rendered();
  void appearance();
  void fixed_width_after_show();
  void resize_snaps_back();
  void exec_returns_pressed_button();
  void send_key_posts_press_and_release();
  void send_key_escape_closes_box();
  void reuse_between_questions();
};

void TTestMessageBox::texts_are_wrapped_data()
{
  QTest::addColumn<QString>("text");

  QTest::newRow("empty") << QString();
  QTest::newRow("plain") << QString("Save changes?");
  QTest::newRow("markup") << QString("<b>bold</b> and <i>italic</i>");
  QTest::newRow("ampersand") << QString("a & b");
  QTest::newRow("placeholder") << QString("100%1 done %2");
}

void TTestMessageBox::texts_are_wrapped()
{
  QFETCH(QString, text);

  QWidget parent;
  TMessageBox box(&parent);
  box.setText(text);
  box.setInformativeText(text);

  const QString bold = QString(BOLD_SPAN).replace("%1", text);
  const QString normal = QString(NORMAL_SPAN).replace("%1", text);
  QCOMPARE(box.text(), bold);
  QCOMPARE(box.informativeText(), normal);

  const QLabel* label = box.findChild<QLabel*>("qt_msgbox_label");
  const QLabel* informative = box.findChild<QLabel*>("qt_msgbox_informativelabel");
  QVERIFY(label);
  QVERIFY(informative);
  QCOMPARE(label->text(), bold);
  QCOMPARE(informative->text(), normal);
}

void TTestMessageBox::markup_is_rendered()
{
  TMessageBox box(nullptr);
  box.setText("<b>Measurement</b> &lt;1&gt;");
  const QLabel* label = box.findChild<QLabel*>("qt_msgbox_label");
  QVERIFY(label);
  QCOMPARE(box.textFormat(), Qt::RichText);
  QCOMPARE(label->textFormat(), Qt::RichText);
  QCOMPARE(Plain_Text(label->text()), QString("Measurement <1>"));
}

void TTestMessageBox::appearance()
{
  QWidget parent;
  TMessageBox box(&parent);
  QCOMPARE(box.parentWidget(), &parent);
  QCOMPARE(box.styleSheet(), QString("dialogbuttonbox-buttons-have-icons: 0;\nbutton-layout: 1;"));

  box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
  box.setText("Question");
  box.show();
  QVERIFY(QTest::qWaitForWindowExposed(&box));

  const QAbstractButton* ok = box.button(QMessageBox::Ok);
  const QAbstractButton* cancel = box.button(QMessageBox::Cancel);
  QVERIFY(ok->icon().isNull());
  QVERIFY(cancel->icon().isNull());
  // Layout 1 puts the accepting button last, to the right of Cancel.
  QVERIFY2(cancel->x() < ok->x(), qPrintable(QString("cancel %1, ok %2").arg(cancel->x()).arg(ok->x())));
}

void TTestMessageBox::fixed_width_after_show()
{
  TMessageBox short_box(nullptr);
  short_box.setText("Title");
  short_box.setInformativeText("Short.");
  short_box.show();
  QVERIFY(QTest::qWaitForWindowExposed(&short_box));
  QCOMPARE(short_box.width(), 500);

  TMessageBox long_box(nullptr);
  long_box.setText("Title");
  long_box.setInformativeText(QString("A long explanation that has to wrap over several lines. ").repeated(20));
  long_box.show();
  QVERIFY(QTest::qWaitForWindowExposed(&long_box));
  QCOMPARE(long_box.width(), 500);
  QVERIFY2(long_box.height() > short_box.height(),
           qPrintable(QString("long %1, short %2").arg(long_box.height()).arg(short_box.height())));
}

void TTestMessageBox::resize_snaps_back()
{
  TMessageBox box(nullptr);
  box.setText("Title");
  box.setInformativeText("Some text");
  box.show();
  QVERIFY(QTest::qWaitForWindowExposed(&box));

  box.resize(900, box.height());
  QCoreApplication::processEvents();
  QCOMPARE(box.width(), 500);
  box.resize(200, box.height());
  QCoreApplication::processEvents();
  QCOMPARE(box.width(), 500);
}

void TTestMessageBox::exec_returns_pressed_button()
{
  TMessageBox box(nullptr);
  box.setText("Save changes?");
  box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
  box.setDefaultButton(QMessageBox::Yes);

  QTimer::singleShot(0, &box, [&box] { QTest::mouseClick(box.button(QMessageBox::No), Qt::LeftButton); });
  QCOMPARE(box.exec(), int(QMessageBox::No));
}

void TTestMessageBox::send_key_posts_press_and_release()
{
  TMessageBox box(nullptr);
  TKeyRecorder recorder;
  box.installEventFilter(&recorder);

  box.Send_Key(Qt::Key_A);
  QVERIFY(recorder.keys.isEmpty());
  QCoreApplication::processEvents();

  QCOMPARE(recorder.keys.size(), 2);
  QCOMPARE(recorder.keys[0].type, QEvent::KeyPress);
  QCOMPARE(recorder.keys[1].type, QEvent::KeyRelease);
  for(const TKeyRecorder::TKey& key : recorder.keys)
  {
    QCOMPARE(key.key, int(Qt::Key_A));
    QCOMPARE(key.modifiers, Qt::KeyboardModifiers(Qt::NoModifier));
    QCOMPARE(key.text, QString());
    QCOMPARE(key.auto_repeat, false);
    QCOMPARE(key.count, 1);
  }
}

void TTestMessageBox::send_key_escape_closes_box()
{
  TMessageBox box(nullptr);
  box.setText("Discard?");
  box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);

  // Safety net so that a lost key cannot hang the test; it gives a distinct result.
  QTimer::singleShot(10000, &box, [&box] { box.done(-1); });
  box.Send_Key(Qt::Key_Escape);
  QCOMPARE(box.exec(), int(QMessageBox::Cancel));
}

void TTestMessageBox::reuse_between_questions()
{
  TMessageBox box(nullptr);
  box.setText("First");
  box.setStandardButtons(QMessageBox::Ok);
  QTimer::singleShot(0, &box, [&box] { QTest::mouseClick(box.button(QMessageBox::Ok), Qt::LeftButton); });
  QCOMPARE(box.exec(), int(QMessageBox::Ok));

  box.setText("Second");
  box.setInformativeText("More");
  box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
  QTimer::singleShot(0, &box, [&box] { QTest::mouseClick(box.button(QMessageBox::Yes), Qt::LeftButton); });
  QCOMPARE(box.exec(), int(QMessageBox::Yes));
  QCOMPARE(box.width(), 500);
  QCOMPARE(box.text(), QString(BOLD_SPAN).arg("Second"));
}

QTEST_MAIN(TTestMessageBox)
#include "test_messagebox.moc"
