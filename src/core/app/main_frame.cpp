#include "app/main_frame.h"

#include <algorithm>

#include "app/command_ids.h"
#include "platform/host.h"
#include "platform/ini_file.h"

namespace tamso {

namespace {
constexpr const char* kHelpText = "&Help";
constexpr const char* kWhatsCoolText = "What's Cool...";
constexpr const char* kBarsSection = "Bars";

struct BarKey {
  int id;
  const char* key;
};
constexpr BarKey kBarKeys[] = {{cmd::kViewToolbar, "Toolbar"},
                               {cmd::kViewStatusBar, "StatusBar"},
                               {cmd::kProjectTree, "ProjectTree"},
                               {cmd::kOutputBar, "OutputBar"}};
}  // namespace

CMainFrame::CMainFrame(IniFile& profile, IHost& host, IFrameWindow& window)
    : profile_(profile), host_(host), window_(window) {
  lineNumbers_ = profile_.GetInt("Editor", "LineNumbers", 1);
  SetHtmlPage("?");

  for (const BarKey& bar : kBarKeys) {
    On(
        bar.id,
        [this, key = bar.key](int id) {
          const bool show = !window_.IsBarVisible(id);
          window_.ShowBar(id, show);
          profile_.WriteInt(kBarsSection, key, show ? 1 : 0);
        },
        [this](int id) {
          return CommandState{true, window_.IsBarVisible(id)};
        });
  }
  On(cmd::kPreviousSourceWindow, [this](int) { window_.ActivateNextChild(); });
  On(
      cmd::kLineNumbers,
      [this](int) {
        lineNumbers_ = lineNumbers_ ? 0 : 1;
        profile_.WriteInt("Editor", "LineNumbers", lineNumbers_);
      },
      [this](int) {
        return CommandState{true, lineNumbers_ == 1};
      });
  // The tree is emptied by the close itself, once every save prompt has been
  // answered: a cancelled Exit keeps it.
  On(cmd::kAppExit, [this](int) { window_.CloseMainWindow(); });
}

void CMainFrame::RestoreBars() {
  for (const BarKey& bar : kBarKeys) {
    const int shown = profile_.GetInt(kBarsSection, bar.key, -1);
    if (shown >= 0) window_.ShowBar(bar.id, shown != 0);
  }
}

void CMainFrame::SetHtmlPage(const std::string& path) {
  htmlPage_ = "file:///" + path;
  std::replace(htmlPage_.begin(), htmlPage_.end(), '\\', '/');
}

bool CMainFrame::OnInitMenu(MenuBar& bar) {
  bool changed = false;

  if (MenuItem* help = bar.FindPopup(kHelpText)) {
    if (help->items.empty() || help->items.front().text != kWhatsCoolText) {
      help->items.insert(help->items.begin(), MenuItem::Command("", 0));
      help->items.insert(help->items.begin(), MenuItem::Command(kWhatsCoolText, cmd::kWhatsCool));
      changed = true;
    }
  } else {
    bar.popups.push_back(
        MenuItem::Popup(kHelpText, {MenuItem::Command(kWhatsCoolText, cmd::kWhatsCool)}));
    changed = true;
  }

  MenuItem* tools = nullptr;
  for (auto& p : bar.popups)
    if (p.text == "Tools") {
      tools = &p;
      break;
    }
  if (!tools) {
    host_.Message("No Tools !");
    return changed;
  }
  std::vector<MenuItem> items(tools->items.begin(),
                              tools->items.begin() + std::min<size_t>(4, tools->items.size()));
  for (int i = 0; i < 10; ++i) {
    std::string text = profile_.GetString("Tools", "Tool" + std::to_string(i), "");
    if (!text.empty()) items.push_back(MenuItem::Command(text, cmd::kToolIds[i]));
  }
  if (items != tools->items) {
    tools->items = std::move(items);
    changed = true;
  }
  return changed;
}

}  // namespace tamso
