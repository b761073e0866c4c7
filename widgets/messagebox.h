// The program's one prompt and notice box: rich text in fixed font styles,
// a fixed width of 500 pixels and buttons without icons.
#ifndef MESSAGEBOX_H
#define MESSAGEBOX_H

#include <QMessageBox>
#include <QString>

class QResizeEvent;
class QShowEvent;
class QWidget;

class TMessageBox : public QMessageBox
{
public:
  explicit TMessageBox(const QWidget* parent);
  ~TMessageBox() override;

  int exec() override;

  // Hide QMessageBox's setters to wrap the texts in the box's font styles.
  virtual void setText(const QString& text);
  virtual void setInformativeText(const QString& text);

  // One use of the box: sets both texts, an empty detailed text, the icon
  // and the buttons, runs it and returns the standard button pressed.
  int Ask(const QString& text, const QString& informative_text, QMessageBox::Icon icon,
          QMessageBox::StandardButtons buttons, QMessageBox::StandardButton default_button);

  // Posts a press and a release of the key to the box; both are delivered
  // once its event loop runs.
  void Send_Key(int key);

protected:
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;

private:
  int d_fixed_width;
};

#endif
