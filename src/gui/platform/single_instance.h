#pragma once
// One running program per profile: a second start hands its files to the first
// over a local socket and ends. Programs with different profiles (tests) are
// independent of each other.

#include <QLocalServer>
#include <QObject>
#include <QStringList>

namespace tamso::gui {

class SingleInstance : public QObject {
  Q_OBJECT
 public:
  explicit SingleInstance(const QString& profilePath, QObject* parent = nullptr);
  ~SingleInstance() override;

  // The local socket name for a profile.
  static QString ServerName(const QString& profilePath);

  // Tries to hand the files (made absolute) to a running instance; true when one took them.
  bool HandOver(const QStringList& files, int timeoutMs = 2000);
  // Starts listening for later starts; false when the name cannot be taken.
  bool Listen();

 signals:
  // A later start asked to open these files (an empty list: just come to the front).
  void filesReceived(const QStringList& files);

 private:
  void OnConnection();
  QString name_;
  QLocalServer server_;
};

}  // namespace tamso::gui
