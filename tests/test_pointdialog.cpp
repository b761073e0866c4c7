#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "pointdialog.h"

Q_DECLARE_METATYPE(TVector3)

namespace
{
const char* const EDIT_NAMES[6] = {"start_x_edit", "start_y_edit", "start_z_edit", "end_x_edit", "end_y_edit", "end_z_edit"};

QLineEdit* Edit(const TPointDialog& dialog, int index)
{
  return dialog.findChild<QLineEdit*>(EDIT_NAMES[index]);
}

QPushButton* Button(const TPointDialog& dialog, const char* name)
{
  return dialog.findChild<QPushButton*>(name);
}

bool Same(const TVector3& a, const TVector3& b)
{
  return a.x == b.x && a.y == b.y && a.z == b.z;
}

QString Text(const TVector3& v)
{
  return QString("(%1, %2, %3)").arg(v.x).arg(v.y).arg(v.z);
}
}

class TTestPointDialog : public QObject
{
  Q_OBJECT

private slots:
  void construction();
  void layout();
  void set_points_data();
  void set_points();
  void read_points_data();
  void read_points();
  void cancel_rejects();
  void closing_rejects();
  void accept_reads_typed_values();
  void enter_does_not_accept();
  void set_points_overwrites_last_input();
};

void TTestPointDialog::construction()
{
  QWidget parent;
  TPointDialog dialog(&parent);
  QCOMPARE(dialog.parentWidget(), &parent);
  QCOMPARE(dialog.windowTitle(), QString("Axis Points Editor"));
  QCOMPARE(dialog.size(), QSize(499, 189));

  for(int i = 0; i < 6; ++i)
  {
    QLineEdit* edit = Edit(dialog, i);
    QVERIFY2(edit, EDIT_NAMES[i]);
    QCOMPARE(edit->alignment(), Qt::Alignment(Qt::AlignCenter));
  }

  QPushButton* cancel = Button(dialog, "cancel_button");
  QPushButton* accept = Button(dialog, "accept_button");
  QVERIFY(cancel);
  QVERIFY(accept);
  QCOMPARE(cancel->text(), QString("Cancel"));
  QCOMPARE(accept->text(), QString("Accept"));
  QVERIFY(!cancel->autoDefault());
  QVERIFY(!accept->autoDefault());
  QVERIFY(!cancel->isDefault());
  QVERIFY(!accept->isDefault());
}

void TTestPointDialog::layout()
{
  TPointDialog dialog;
  const QGridLayout* grid = qobject_cast<QGridLayout*>(dialog.layout());
  QVERIFY(grid);
  QCOMPARE(grid->rowCount(), 6);
  QCOMPARE(grid->columnCount(), 4);

  const char* const axes[3] = {"X", "Y", "Z"};
  for(int column = 1; column < 4; ++column)
  {
    const QLabel* label = qobject_cast<QLabel*>(grid->itemAtPosition(0, column)->widget());
    QVERIFY(label);
    QCOMPARE(label->text(), QString(axes[column - 1]));
    QCOMPARE(label->alignment(), Qt::AlignHCenter | Qt::AlignVCenter);
    QCOMPARE(grid->itemAtPosition(1, column)->widget(), Edit(dialog, column - 1));
    QCOMPARE(grid->itemAtPosition(2, column)->widget(), Edit(dialog, column + 2));
  }
  QCOMPARE(qobject_cast<QLabel*>(grid->itemAtPosition(1, 0)->widget())->text(), QString("Start Point:"));
  QCOMPARE(qobject_cast<QLabel*>(grid->itemAtPosition(2, 0)->widget())->text(), QString("End Point:"));

  // The buttons sit at the bottom right, Cancel before Accept.
  dialog.show();
  QVERIFY(QTest::qWaitForWindowExposed(&dialog));
  const QPushButton* cancel = Button(dialog, "cancel_button");
  const QPushButton* accept = Button(dialog, "accept_button");
  QVERIFY(cancel->x() < accept->x());
  QVERIFY(cancel->y() > Edit(dialog, 3)->y());
  QVERIFY(accept->geometry().right() > dialog.width() / 2);
}

void TTestPointDialog::set_points_data()
{
  QTest::addColumn<TVector3>("start");
  QTest::addColumn<TVector3>("end");
  QTest::addColumn<QStringList>("texts");

  QTest::newRow("axis line") << TVector3(0, 0, 0) << TVector3(100, 0, 0)
                             << QStringList{"0.000", "0.000", "0.000", "100.000", "0.000", "0.000"};
  QTest::newRow("rounding") << TVector3(12.3456, -7.0004, 0.0005) << TVector3(-12.3456, 1e6, 2.0 / 3.0)
                            << QStringList{"12.346", "-7.000", "0.001", "-12.346", "1000000.000", "0.667"};
  QTest::newRow("same points") << TVector3(5, 5, 5) << TVector3(5, 5, 5)
                               << QStringList{"5.000", "5.000", "5.000", "5.000", "5.000", "5.000"};
}

void TTestPointDialog::set_points()
{
  QFETCH(TVector3, start);
  QFETCH(TVector3, end);
  QFETCH(QStringList, texts);

  TPointDialog dialog;
  dialog.Set_Points(start, end);
  for(int i = 0; i < 6; ++i)
    QCOMPARE(Edit(dialog, i)->text(), texts[i]);
}

void TTestPointDialog::read_points_data()
{
  QTest::addColumn<QStringList>("texts");
  QTest::addColumn<TVector3>("start");
  QTest::addColumn<TVector3>("end");

  QTest::newRow("numbers") << QStringList{"1.5", "-2", "3.25", "100", "0", "-0.001"} << TVector3(1.5, -2, 3.25)
                           << TVector3(100, 0, -0.001);
  QTest::newRow("letters") << QStringList{"abc", "2", "x1", "1", "two", "3"} << TVector3(0, 2, 0) << TVector3(1, 0, 3);
  QTest::newRow("comma decimal") << QStringList{"1,5", "2.5", "3", "4", "5,25", "6"} << TVector3(0, 2.5, 3)
                                 << TVector3(4, 0, 6);
  QTest::newRow("empty and spaces") << QStringList{"", " 7.5 ", "1e3", "", "", ""} << TVector3(0, 7.5, 1000)
                                    << TVector3(0, 0, 0);
}

void TTestPointDialog::read_points()
{
  QFETCH(QStringList, texts);
  QFETCH(TVector3, start);
  QFETCH(TVector3, end);

  TPointDialog dialog;
  for(int i = 0; i < 6; ++i)
    Edit(dialog, i)->setText(texts[i]);
  QVERIFY2(Same(dialog.Start_Point(), start), qPrintable(Text(dialog.Start_Point())));
  QVERIFY2(Same(dialog.End_Point(), end), qPrintable(Text(dialog.End_Point())));
}

void TTestPointDialog::cancel_rejects()
{
  TPointDialog dialog;
  dialog.Set_Points(TVector3(1, 2, 3), TVector3(4, 5, 6));
  QTimer::singleShot(0, &dialog, [&dialog] {
    QTest::keyClicks(Edit(dialog, 0), "99");
    QTest::mouseClick(Button(dialog, "cancel_button"), Qt::LeftButton);
  });
  QCOMPARE(dialog.exec(), int(QDialog::Rejected));
  QCOMPARE(int(QDialog::Rejected), 0);
}

void TTestPointDialog::closing_rejects()
{
  TPointDialog dialog;
  QTimer::singleShot(0, &dialog, [&dialog] { dialog.close(); });
  QCOMPARE(dialog.exec(), int(QDialog::Rejected));

  QTimer::singleShot(0, &dialog, [&dialog] { QTest::keyClick(&dialog, Qt::Key_Escape); });
  QCOMPARE(dialog.exec(), int(QDialog::Rejected));
}

// Letters are no number: the field is marked and Accept waits until they are
// corrected, so no coordinate becomes 0 without a word.
void TTestPointDialog::accept_reads_typed_values()
{
  TPointDialog dialog;
  dialog.Set_Points(TVector3(0, 0, 0), TVector3(100, 0, 0));
  bool accept_waited = false;
  QString mark;
  QTimer::singleShot(0, &dialog, [&] {
    QLineEdit* start_y = Edit(dialog, 1);
    start_y->selectAll();
    QTest::keyClicks(start_y, "25.5");
    QLineEdit* end_x = Edit(dialog, 3);
    end_x->selectAll();
    QTest::keyClicks(end_x, "abc");
    accept_waited = !Button(dialog, "accept_button")->isEnabled();
    mark = end_x->toolTip();
    QTest::mouseClick(Button(dialog, "accept_button"), Qt::LeftButton);
    end_x->selectAll();
    QTest::keyClicks(end_x, "75");
    QTest::mouseClick(Button(dialog, "accept_button"), Qt::LeftButton);
  });
  QCOMPARE(dialog.exec(), int(QDialog::Accepted));
  QVERIFY(accept_waited);
  QVERIFY(mark.startsWith("Not a number"));
  QVERIFY2(Same(dialog.Start_Point(), TVector3(0, 25.5, 0)), qPrintable(Text(dialog.Start_Point())));
  QVERIFY2(Same(dialog.End_Point(), TVector3(75, 0, 0)), qPrintable(Text(dialog.End_Point())));
}

void TTestPointDialog::enter_does_not_accept()
{
  TPointDialog dialog;
  bool still_open = false;
  QTimer::singleShot(0, &dialog, [&dialog, &still_open] {
    QLineEdit* edit = Edit(dialog, 2);
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Return);
    QTest::keyClick(edit, Qt::Key_Enter);
    still_open = dialog.isVisible();
    QTest::mouseClick(Button(dialog, "cancel_button"), Qt::LeftButton);
  });
  QCOMPARE(dialog.exec(), int(QDialog::Rejected));
  QVERIFY(still_open);
}

void TTestPointDialog::set_points_overwrites_last_input()
{
  TPointDialog dialog;
  dialog.Set_Points(TVector3(1, 1, 1), TVector3(2, 2, 2));
  Edit(dialog, 4)->setText("typed and cancelled");
  dialog.Set_Points(TVector3(1, 1, 1), TVector3(2, 2, 2));
  QCOMPARE(Edit(dialog, 4)->text(), QString("2.000"));
  QVERIFY(Same(dialog.End_Point(), TVector3(2, 2, 2)));
}

QTEST_MAIN(TTestPointDialog)
#include "test_pointdialog.moc"
