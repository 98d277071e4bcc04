#pragma once
// A source editor with a throw-away profile, shown offscreen at a fixed size.

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "editor/source_editor.h"
#include "editor/source_editor_pane.h"
#include "lang/language.h"
#include "platform/ini_file.h"
#include "support/fake_host.h"

namespace tamso::gui::testing {

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
}

class EditorFixture {
 public:
  explicit EditorFixture(ViewKind kind = ViewKind::Java, const std::string& profileText = "")
      : profile_(dir_.filePath(QStringLiteral("tamso.INI")).toStdString()) {
    if (!profileText.empty()) WriteFile(profile_.Path(), profileText);
    // These tests speak of positions as the line store counts them, from 0.
    if (profile_.GetString("Editor", "NumberFrom", "").empty())
      profile_.WriteInt("Editor", "NumberFrom", 0);
    pane = std::make_unique<SourceEditorPane>(kind, profile_, host);
    pane->resize(640, 480);
    pane->show();
    editor = pane->Editor();
    editor->resize(640, 480);
  }

  std::string Path(const char* name) const {
    return dir_.filePath(QString::fromLatin1(name)).toStdString();
  }

  // Loads text through a file, as a user opening it would.
  void Load(const std::string& text) {
    const std::string path = Path("Loaded.java");
    WriteFile(path, text);
    std::string error;
    if (!pane->LoadFromFile(path, &error)) throw std::runtime_error(error);
  }

  std::string Saved() {
    const std::string path = Path("Saved.java");
    std::string error;
    if (!pane->SaveToFile(path, &error)) throw std::runtime_error(error);
    return ReadFile(path);
  }

  // The viewport painted into an image.
  QImage Paint() {
    QImage image(editor->viewport()->size(), QImage::Format_RGB32);
    image.fill(Qt::magenta);
    QPainter p(&image);
    editor->Paint(p, image.rect());
    return image;
  }

  // A point inside the cell (line, col) of the viewport.
  QPoint CellPoint(int line, int col) const {
    const QRect r = editor->CellRect(line, col);
    return r.topLeft() + QPoint(1, r.height() / 2);
  }

  IniFile& Profile() { return profile_; }

  tamso::testing::FakeHost host;
  std::unique_ptr<SourceEditorPane> pane;
  CSourceEditor* editor = nullptr;

 private:
  QTemporaryDir dir_;
  IniFile profile_;
};

}  // namespace tamso::gui::testing
