#include "measurementeditor.h"

#include <QAction>
#include <QApplication>
#include <QGridLayout>
#include <QKeyEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QSpacerItem>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>

#include "fixedtext.h"
#include "edithistory.h"
#include "measurementlist.h"
#include "measurementset.h"
#include "messagebox.h"
#include "editorfields.h"
#include "pointdialog.h"
#include "recordwarnings.h"
#include "uihelpers.h"

namespace
{
QLineEdit* Editor_Field(QWidget* parent, const char* name)
{
  QLineEdit* edit = Named(new QLineEdit(parent), name);
  edit->setAlignment(Qt::AlignCenter);
  return edit;
}

QToolButton* Tool_Button(QWidget* parent, const char* name, const QString& text)
{
  QToolButton* button = Named(new QToolButton(parent), name);
  button->setText(text);
  return button;
}

// Points whose distance differs from the actual length by more than this ask first, mm.
const double POINTS_LENGTH_TOLERANCE = 1.0;

QSpacerItem* Expanding_Spacer()
{
  return new QSpacerItem(0, 0, QSizePolicy::Expanding, QSizePolicy::Minimum);
}
}

TMeasurementEditor::TMeasurementEditor(TMeasurementSet* document, TEditHistory* history, TMessageBox* message_box,
                                       const QFont& header_font, QWidget* parent)
  : QWidget(parent), d_document(document), d_history(history), d_message_box(message_box)
{
  QVBoxLayout* column = new QVBoxLayout(this);
  Create_List(this);
  column->addWidget(measurement_list);
  QHBoxLayout* list_buttons = new QHBoxLayout;
  list_buttons->addItem(Expanding_Spacer());
  list_buttons->addWidget(add_measurement_button);
  list_buttons->addWidget(remove_measurement_button);
  column->addLayout(list_buttons);

  editor_widget = Named(new QWidget(this), "editor_widget");
  editor_widget->setMinimumSize(0, 0);
  Create_Fields(header_font);
  column->addWidget(editor_widget);

  d_list = Named(new TMeasurementList(document, measurement_list, this), "measurement_list_rows");
  d_fields = std::make_unique<TEditorFields>(
    name_edit, std::vector<TEditorFields::TNumberField>{{nominal_length_edit, QStringLiteral("Nominal Length")},
                                                         {actual_length_edit, QStringLiteral("Actual Length")},
                                                         {position_x_edit, QStringLiteral("Position X")},
                                                         {position_y_edit, QStringLiteral("Position Y")},
                                                         {position_z_edit, QStringLiteral("Position Z")},
                                                         {direction_i_edit, QStringLiteral("Direction I")},
                                                         {direction_j_edit, QStringLiteral("Direction J")},
                                                         {direction_k_edit, QStringLiteral("Direction K")}});
  d_scene_box = [] { return TSceneBox(); };

  editor_widget->setEnabled(false);
  remove_measurement_button->setEnabled(false);
  apply_button->setEnabled(false);
  reset_button->setEnabled(false);
  Connect_Widgets();
  Update_Actions();
}

TMeasurementEditor::~TMeasurementEditor() = default;

void TMeasurementEditor::Create_List(QWidget* parent)
{
  measurement_list = Named(new QListWidget(parent), "measurement_list");
  measurement_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
  measurement_list->setSelectionMode(QAbstractItemView::ExtendedSelection);

  add_measurement_button = Tool_Button(parent, "add_measurement_button", QStringLiteral("+"));
  add_measurement_button->setPopupMode(QToolButton::InstantPopup);
  add_measurement_button->setMinimumWidth(24);
  QMenu* add_menu = Named(new QMenu(add_measurement_button), "add_measurement_menu");
  action_add_ballbar = Named(add_menu->addAction(QStringLiteral("BallBar Measurement")), "action_add_ballbar");
  action_add_length = Named(add_menu->addAction(QStringLiteral("Length Measurement")), "action_add_length");
  add_menu->addSeparator();
  action_add_diagonal_set =
    Named(add_menu->addAction(QStringLiteral("Add Diagonal Set\u2026")), "action_add_diagonal_set");
  action_duplicate = Named(new QAction(QStringLiteral("Duplicate"), this), "action_duplicate");
  action_duplicate->setShortcut(QKeySequence(Qt::CTRL + Qt::Key_D));
  add_measurement_button->setMenu(add_menu);
  remove_measurement_button = Tool_Button(parent, "remove_measurement_button", QStringLiteral("-"));
  remove_measurement_button->setMinimumWidth(24);
}

void TMeasurementEditor::Create_Fields(const QFont& header_font)
{
  QVBoxLayout* layout = new QVBoxLayout(editor_widget);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(Sunken_Line(editor_widget));

  QGridLayout* lengths = new QGridLayout;
  lengths->setSpacing(5);
  name_edit = Editor_Field(editor_widget, "name_edit");
  nominal_length_edit = Editor_Field(editor_widget, "nominal_length_edit");
  actual_length_edit = Editor_Field(editor_widget, "actual_length_edit");
  lengths->addWidget(new QLabel(QStringLiteral("Name:"), editor_widget), 0, 0);
  lengths->addWidget(name_edit, 0, 1);
  lengths->addWidget(new QLabel(QStringLiteral("Nominal Length:"), editor_widget), 1, 0);
  lengths->addWidget(nominal_length_edit, 1, 1);
  lengths->addWidget(new QLabel(QStringLiteral("Actual Length:"), editor_widget), 2, 0);
  lengths->addWidget(actual_length_edit, 2, 1);
  lengths->addItem(Expanding_Spacer(), 0, 2, 3, 1);
  layout->addLayout(lengths);
  layout->addWidget(Sunken_Line(editor_widget));

  QGridLayout* vectors = new QGridLayout;
  vectors->setSpacing(5);
  const char* const headers[2][3] = {{"X", "Y", "Z"}, {"I", "J", "K"}};
  for(int column = 0; column < 3; ++column)
  {
    vectors->addWidget(Header_Label(QString::fromLatin1(headers[0][column]), header_font, editor_widget), 0, column + 1);
    vectors->addWidget(Header_Label(QString::fromLatin1(headers[1][column]), header_font, editor_widget), 2, column + 1);
  }
  position_x_edit = Editor_Field(editor_widget, "position_x_edit");
  position_y_edit = Editor_Field(editor_widget, "position_y_edit");
  position_z_edit = Editor_Field(editor_widget, "position_z_edit");
  direction_i_edit = Editor_Field(editor_widget, "direction_i_edit");
  direction_j_edit = Editor_Field(editor_widget, "direction_j_edit");
  direction_k_edit = Editor_Field(editor_widget, "direction_k_edit");
  QLineEdit* const vector_fields[2][3] = {{position_x_edit, position_y_edit, position_z_edit},
                                          {direction_i_edit, direction_j_edit, direction_k_edit}};
  vectors->addWidget(new QLabel(QStringLiteral("Position:"), editor_widget), 1, 0);
  vectors->addWidget(new QLabel(QStringLiteral("Direction:"), editor_widget), 3, 0);
  for(int row = 0; row < 2; ++row)
    for(int column = 0; column < 3; ++column)
    {
      QLineEdit* edit = vector_fields[row][column];
      // Wide enough to read a direction component or a position in full.
      edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("-0.57735027")) + 12);
      vectors->addWidget(edit, 2 * row + 1, column + 1);
    }
  layout->addLayout(vectors);
  editor_message_label = Named(new QLabel(editor_widget), "editor_message_label");
  editor_message_label->setWordWrap(true);
  editor_message_label->setStyleSheet(QStringLiteral("color: #b00000;"));
  editor_message_label->hide();
  layout->addWidget(editor_message_label);
  layout->addWidget(Sunken_Line(editor_widget));

  QHBoxLayout* buttons = new QHBoxLayout;
  edit_points_button = Tool_Button(editor_widget, "edit_points_button", QStringLiteral("Edit Axis Points"));
  apply_button = Tool_Button(editor_widget, "apply_button", QStringLiteral("Apply"));
  reset_button = Tool_Button(editor_widget, "reset_button", QStringLiteral("Reset"));
  buttons->addWidget(edit_points_button);
  buttons->addItem(Expanding_Spacer());
  buttons->addWidget(apply_button);
  buttons->addWidget(reset_button);
  layout->addLayout(buttons);
}

void TMeasurementEditor::Connect_Widgets()
{
  connect(action_add_ballbar, &QAction::triggered, this, &TMeasurementEditor::Add_Measurement_BallBar);
  connect(action_add_length, &QAction::triggered, this, &TMeasurementEditor::Add_Measurement_Length);
  connect(remove_measurement_button, &QToolButton::clicked, this, &TMeasurementEditor::Remove_Measurement);
  connect(apply_button, &QToolButton::clicked, this, &TMeasurementEditor::Update_Current_Measurement);
  connect(reset_button, &QToolButton::clicked, this, &TMeasurementEditor::Reset_Current_Measurement);
  connect(edit_points_button, &QToolButton::clicked, this, &TMeasurementEditor::Edit_Points);
  connect(action_duplicate, &QAction::triggered, this, &TMeasurementEditor::Duplicate_Measurement);
  connect(action_add_diagonal_set, &QAction::triggered, this, &TMeasurementEditor::Add_Diagonal_Set);
  measurement_list->installEventFilter(this);
  connect(measurement_list, &QListWidget::itemSelectionChanged, this,
          &TMeasurementEditor::Measurement_Selection_Changed);
  for(QLineEdit* edit : {actual_length_edit, name_edit, nominal_length_edit, position_x_edit, position_y_edit,
                         position_z_edit, direction_i_edit, direction_j_edit, direction_k_edit})
  {
    connect(edit, &QLineEdit::textEdited, this, &TMeasurementEditor::Measurement_Data_Changed);
    connect(edit, &QLineEdit::returnPressed, this, [this] {
      if(apply_button->isEnabled())
        Update_Current_Measurement();
    });
    edit->installEventFilter(this);
  }
}

// Escape in a field resets the editor, Delete in the list removes the
// selected measurements, and the field that had the focus last is kept.
bool TMeasurementEditor::eventFilter(QObject* watched, QEvent* event)
{
  if(event->type() == QEvent::KeyPress)
  {
    const int key = static_cast<QKeyEvent*>(event)->key();
    const bool plain = static_cast<QKeyEvent*>(event)->modifiers() == Qt::NoModifier;
    if(watched == measurement_list && key == Qt::Key_Delete && plain)
    {
      Remove_Measurement();
      return true;
    }
    if(watched != measurement_list && key == Qt::Key_Escape && reset_button->isEnabled())
    {
      Reset_Current_Measurement();
      return true;
    }
  }
  else if(event->type() == QEvent::FocusIn && watched != measurement_list)
  {
    d_last_field = static_cast<QLineEdit*>(watched);
  }
  return QWidget::eventFilter(watched, event);
}

std::vector<QWidget*> TMeasurementEditor::Tab_Order() const
{
  return {measurement_list, add_measurement_button, remove_measurement_button, name_edit, nominal_length_edit,
          actual_length_edit, position_x_edit, position_y_edit, position_z_edit, direction_i_edit, direction_j_edit,
          direction_k_edit, apply_button, reset_button};
}

// ---------------------------------------------------------------------------
// Fields

void TMeasurementEditor::Show_Measurement(const TMeasurement* measurement)
{
  Show_Lengths(measurement);
  Show_Position(measurement->Position());
  Show_Direction(measurement->Axis());
  d_fields->Forget_Edits();
  Show_Message(QString());
}

void TMeasurementEditor::Show_Lengths(const TMeasurement* measurement)
{
  name_edit->setText(measurement->Name());
  nominal_length_edit->setText(Fixed_Text(measurement->Nominal_Length(), 4));
  actual_length_edit->setText(Fixed_Text(measurement->Actual_Length(), 4));
}

void TMeasurementEditor::Show_Position(const TVector3& position)
{
  position_x_edit->setText(Fixed_Text(position.x, 3));
  position_y_edit->setText(Fixed_Text(position.y, 3));
  position_z_edit->setText(Fixed_Text(position.z, 3));
}

void TMeasurementEditor::Show_Direction(const TVector3& axis)
{
  direction_i_edit->setText(Fixed_Text(axis.x, 8));
  direction_j_edit->setText(Fixed_Text(axis.y, 8));
  direction_k_edit->setText(Fixed_Text(axis.z, 8));
}

void TMeasurementEditor::Clear_Fields()
{
  for(QLineEdit* edit : {name_edit, nominal_length_edit, actual_length_edit, position_x_edit, position_y_edit,
                         position_z_edit, direction_i_edit, direction_j_edit, direction_k_edit})
    edit->clear();
}

void TMeasurementEditor::End_Editing()
{
  apply_button->setEnabled(false);
  reset_button->setEnabled(false);
  measurement_list->setEnabled(true);
  Update_Actions();
}

// Duplicate needs one measurement and no changes waiting in the fields.
void TMeasurementEditor::Update_Actions()
{
  action_duplicate->setEnabled(measurement_list->isEnabled() && d_list->Selected_Measurement() != nullptr);
}

// Disabling Apply and Reset would pass the focus on to the next widget (the
// sign box, where an arrow key changes the convention); it goes back to the
// field the user worked in.
void TMeasurementEditor::Keep_Focus_In_Fields()
{
  QWidget* focus = QApplication::focusWidget();
  const bool in_fields = focus && focus != apply_button && focus != reset_button && editor_widget->isAncestorOf(focus);
  if(!in_fields && d_last_field && editor_widget->isEnabled())
    d_last_field->setFocus(Qt::OtherFocusReason);
}

// Apply is possible only while every changed field can be taken.
bool TMeasurementEditor::Check_Fields()
{
  const TMeasurement* measurement = d_list->Selected_Measurement();
  const QString problems = measurement ? d_fields->Check(*measurement) : QString();
  Show_Message(problems);
  apply_button->setEnabled(problems.isEmpty());
  return problems.isEmpty();
}

void TMeasurementEditor::Show_Message(const QString& message)
{
  editor_message_label->setText(message);
  editor_message_label->setVisible(!message.isEmpty());
}

// A record that the fit will leave out, or whose ball bar disagrees with the
// others, is named in a box the user must dismiss.
void TMeasurementEditor::Warn_About(const TMeasurement& record)
{
  TEnteredRecords entered;
  entered.Add(record);
  const QString text = Record_Warning_Text(entered, QStringList(), *d_document);
  if(!text.isEmpty())
    d_message_box->Ask(QStringLiteral("Check This Measurement"), text, QMessageBox::Warning, QMessageBox::Ok,
                       QMessageBox::Ok);
}

int TMeasurementEditor::Selected_Row() const
{
  return d_document->Row_Of(d_list->Selected_Measurement());
}

// ---------------------------------------------------------------------------
// Slots

void TMeasurementEditor::Measurement_Data_Changed()
{
  apply_button->setEnabled(true);
  reset_button->setEnabled(true);
  measurement_list->setEnabled(false);
  Update_Actions();
  if(QLineEdit* edit = qobject_cast<QLineEdit*>(sender()))
    d_fields->Mark_Edited(edit);
  Check_Fields();
}

void TMeasurementEditor::Select_Record(const TMeasurement* record)
{
  const int row = d_document->Row_Of(record);
  if(row >= 0)
    Select_Row(row);
}

void TMeasurementEditor::Measurement_Selection_Changed()
{
  editor_widget->setEnabled(false);
  apply_button->setEnabled(false);
  reset_button->setEnabled(false);
  remove_measurement_button->setEnabled(!measurement_list->selectedItems().isEmpty());

  const TMeasurement* measurement = d_list->Selected_Measurement();
  if(measurement)
  {
    Show_Measurement(measurement);
    editor_widget->setEnabled(true);
    nominal_length_edit->setEnabled(measurement->Type() == TMeasurement::MEASUREMENT_LENGTH);
  }
  else if(measurement_list->selectedItems().size() != 1)
  {
    Clear_Fields();
  }
  Update_Actions();
  emit Selection_Changed();
}

// Only the fields the user changed are written; the others keep the record's
// full values. While a changed field cannot be taken nothing is written and
// the editor stays as it is.
void TMeasurementEditor::Update_Current_Measurement()
{
  const int row = Selected_Row();
  if(row >= 0)
  {
    if(!Check_Fields())
      return;
    std::unique_ptr<TMeasurement> edited = d_document->At(row)->Clone();
    d_fields->Write_Into(edited.get());
    name_edit->setText(edited->Name());
    Show_Direction(edited->Axis());
    d_fields->Forget_Edits();
    d_last_axis = edited->Axis();
    d_history->Push_Edit(QStringLiteral("Apply %1").arg(edited->Name()), row, *edited);
    End_Editing();
    Keep_Focus_In_Fields();
    Warn_About(*d_document->At(row));
    return;
  }
  End_Editing();
}

void TMeasurementEditor::Reset_Current_Measurement()
{
  const TMeasurement* measurement = d_list->Selected_Measurement();
  if(measurement)
  {
    Show_Measurement(measurement);
    emit Selection_Changed();
  }
  End_Editing();
  Keep_Focus_In_Fields();
}

// The dialog fixes the direction and the midpoint of the record; its lengths stay.
void TMeasurementEditor::Edit_Points()
{
  const int row = Selected_Row();
  if(row < 0)
    return;
  const TMeasurement* measurement = d_document->At(row);
  Show_Lengths(measurement);

  if(!point_dialog)
    point_dialog = Named(new TPointDialog(window()), "point_dialog");
  point_dialog->Set_Points(measurement->Start_Point(), measurement->End_Point());
  if(point_dialog->exec() != QDialog::Accepted)
    return;
  measurement = d_document->At(row);

  const TVector3 start = point_dialog->Start_Point();
  const TVector3 end = point_dialog->End_Point();
  TVector3 direction = end - start;
  if(!(direction.Length() > 1e-6))
    return;

  const double distance = direction.Length();
  direction.Normal();
  std::unique_ptr<TMeasurement> edited = measurement->Clone();
  edited->Set_Axis(direction);
  edited->Set_Position((start + end) / 2.0);
  if(std::fabs(distance - edited->Actual_Length()) > POINTS_LENGTH_TOLERANCE && Take_Distance(distance, *edited))
  {
    edited->Set_Actual_Length(distance);
    actual_length_edit->setText(Fixed_Text(distance, 4));
  }
  Show_Direction(direction);
  Show_Position(edited->Position());
  d_last_axis = direction;
  d_history->Push_Edit(QStringLiteral("Edit Axis Points %1").arg(edited->Name()), row, *edited);
}

// Points that no longer match the actual length: the user says which to keep.
bool TMeasurementEditor::Take_Distance(double distance, const TMeasurement& record)
{
  const int answer = d_message_box->Ask(
    QStringLiteral("Points and Length Differ"),
    QStringLiteral("The new points are %1 mm apart, but the actual length of %2 is %3 mm.  Take the distance "
                   "between the points as the actual length?  (No keeps the actual length.)")
      .arg(Fixed_Text(distance, 4), record.Name().toHtmlEscaped(), Fixed_Text(record.Actual_Length(), 4)),
    QMessageBox::Question, QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
  return answer == QMessageBox::Yes;
}

void TMeasurementEditor::Update_Nominal_Ballbar_Length()
{
  const TMeasurement* measurement = d_list->Selected_Measurement();
  if(!measurement || measurement->Type() != TMeasurement::MEASUREMENT_BALLBAR)
    return;
  d_document->Set_Default_Ballbar_Length(measurement->Nominal_Length());
  nominal_length_edit->setText(Fixed_Text(measurement->Nominal_Length(), 4));
}
