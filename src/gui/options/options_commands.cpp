#include "options/options_commands.h"

#include <QPointer>
#include <QTimer>

#include "app/command_ids.h"
#include "app/main_window.h"
#include "app/recovery_keeper.h"
#include "app/shell_application.h"
#include "options/editor_font.h"
#include "options/options_sheet.h"
#include "options/tips_dialog.h"
#include "platform/startup_trace.h"

namespace tamso::gui {

void InstallOptionsCommands(ShellApplication& shell, IniFile& profile, QtHost& host,
                            bool offerTips) {
  CT2App& app = shell.App();
  auto refresh = [&shell] {
    if (shell.Window()) shell.Window()->RefreshSourceViews();
  };
  app.SetCommandHandler(cmd::kSettings, [&shell, &profile, &host, &app, refresh] {
    OptionsContext context{profile, host, refresh, [&app] { return app.GetBrowserPath(); },
                           [&app](const std::string& path) { app.SetBrowserPath(path); }};
    RunOptionsSheet(context, shell.Window());
  });
  app.SetCommandHandler(cmd::kEditorFont, [&shell, &profile, refresh] {
    ChooseEditorFont(profile, shell.Window(), refresh);
  });
  app.SetCommandHandler(cmd::kWhatsCool,
                        [&shell, &profile] { ShowTipsDialog(shell.Window(), profile); });
  // The Help menu's "Java Tips and Tricks..." shows the same tips.
  app.SetCommandHandler(cmd::kJavaTips,
                        [&shell, &profile] { ShowTipsDialog(shell.Window(), profile); });
  if (!offerTips) return;
  // Offered once the main window is up and the event loop runs, so that start-up
  // (the last project, the files named) is not held up behind the dialog.
  shell.SetTipsOffer([&shell, &profile] {
    QPointer<MainWindow> window = shell.Window();
    QTimer::singleShot(0, window, [window, &profile] {
      if (!window) return;
      // After a run that did not exit cleanly the recovery question comes alone; the
      // tips wait for a later start rather than stack under it.
      if (window->Recovery() && window->Recovery()->HasJournalsToOffer()) return;
      OfferTipsAtStartUp(window, profile);
      startup::Mark("tips offered");
    });
  });
}

}  // namespace tamso::gui
