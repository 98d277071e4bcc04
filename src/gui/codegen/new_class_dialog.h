#pragma once
// "Create new class" (template 180): the type of class, its name and the source file,
// then "Choose skeleton >>" goes on to the designer skeletons.

#include <QDialog>
#include <optional>

#include "codegen/code_wizard.h"

class QComboBox;
class QLineEdit;

namespace tamso::gui {

class NewClassDialog : public QDialog {
  Q_OBJECT
 public:
  explicit NewClassDialog(const NewClassChoice& initial, QWidget* parent = nullptr);
  // The fields as they stand (the type index is into NewClassTypes(), not the sorted box).
  NewClassChoice Choice() const;

  QComboBox* TypeBox() const { return type_; }
  QLineEdit* ClassName() const { return name_; }
  QLineEdit* SourceFile() const { return file_; }

 private:
  QComboBox* type_;
  QLineEdit* name_;
  QLineEdit* file_;
};

std::optional<NewClassChoice> RunNewClassDialog(const NewClassChoice& initial, QWidget* parent);

}  // namespace tamso::gui
