#pragma once
// One running program per profile: a second start hands its files to the first
// over a local socket and ends. Programs with different profiles (tests) are
// independent of each other.

#include <QByteArrayList>
#include <QLocalServer>
#include <QObject>
#include <QString>
#include <string>
#include <vector>

namespace tamso::gui {

class SingleInstance : public QObject {
  Q_OBJECT
 public:
  explicit SingleInstance(const QString& profilePath, QObject* parent = nullptr);
  ~SingleInstance() override;

  // The local socket name for a profile.
  static QString ServerName(const QString& profilePath);

  // Tries to hand the files (absolute paths, as the bytes the system gave) to a running
  // instance; true when one took them. Names that are not valid UTF-8 pass unchanged.
  bool HandOver(const std::vector<std::string>& files, int timeoutMs = 2000);
  // Starts listening for later starts; false when the name cannot be taken.
  bool Listen();

 signals:
  // A later start asked to open these files (an empty list: just come to the front).
  void filesReceived(const QByteArrayList& files);

 private:
  void OnConnection();
  QString name_;
  QLocalServer server_;
};

}  // namespace tamso::gui
