#pragma once
// A small helper for a list of paths kept in one text field (the class path, the
// Java source path): the entries one a line, with buttons to add a directory or an
// archive (.jar, .zip) and to remove or reorder entries.

#include <QDialog>
#include <functional>

class QListWidget;

namespace tamso {
class IHost;
}

namespace tamso::gui {

class PathListDialog : public QDialog {
  Q_OBJECT
 public:
  // list holds the entries separated by separator (':' for a class path, ';' for
  // the source path).
  PathListDialog(const QString& title, const QString& list, char separator, IHost& host,
                 std::function<QString(const QString& start)> chooseDirectory,
                 QWidget* parent = nullptr);

  // The entries joined with the separator again.
  QString List() const;
  QListWidget* Entries() const { return list_; }

  void AddDirectory();
  void AddArchive();

 private:
  void Add(const QString& path);
  void Move(int delta);

  char separator_;
  IHost& host_;
  std::function<QString(const QString&)> chooseDirectory_;
  QListWidget* list_ = nullptr;
};

}  // namespace tamso::gui
