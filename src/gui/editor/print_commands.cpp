#include "editor/print_commands.h"

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProgressDialog>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/child_frame.h"
#include "app/command_ids.h"
#include "app/source_document.h"
#include "app/t2_app.h"
#include "app/view_commands.h"
#include "editor/print_document.h"
#include "editor/print_layout.h"
#include "editor/source_editor.h"
#include "editor/source_editor_pane.h"
#include "platform/ini_file.h"

namespace tamso::gui {

namespace {

bool g_blackOnWhite = false;

CSourceEditor* EditorOf(ChildFrame& view) {
  auto* pane = dynamic_cast<SourceEditorPane*>(view.Pane());
  return pane ? pane->Editor() : nullptr;
}

PrintOptions OptionsFor(CSourceEditor& editor, const QString& title) {
  PrintOptions o;
  o.title = title;
  o.blackOnWhite = g_blackOnWhite;
  o.lineNumbers = editor.GutterCells() > 0;
  return o;
}

// Names the print after the document: the printer's document name, and the PDF file
// offered is the document's name with ".pdf", beside it. The printer itself is sent
// to that file only when it prints to a file already (or there is no other printer);
// otherwise the name waits in the dialog's file field.
QString NameThePrint(ChildFrame& view) {
  QPrinter& printer = SessionPrinter();
  const std::string title = view.Document()->Title();
  printer.setDocName(QString::fromStdString(title));
  const QString pdf = QString::fromStdString(
      PrintFileName(view.Document()->PathName(), title, QDir::homePath().toStdString()));
  if (printer.outputFormat() == QPrinter::PdfFormat ||
      QPrinterInfo::availablePrinterNames().isEmpty())
    printer.setOutputFileName(pdf);
  return pdf;
}

// The print dialog, with our own page of options; pdfName, when given, is the file
// offered for printing to a file.
bool RunPrintDialog(QWidget* parent, bool setupOnly, const QString& pdfName = QString()) {
  QPrintDialog dialog(&SessionPrinter(), parent);
  if (!pdfName.isEmpty())
    if (auto* file = dialog.findChild<QLineEdit*>(QStringLiteral("filename")))
      file->setText(pdfName);
  auto* page = new QWidget;
  page->setWindowTitle(QStringLiteral("Source"));
  auto* layout = new QVBoxLayout(page);
  auto* mono =
      new QCheckBox(QStringLiteral("Print in &black on white (not the editor's colours)"), page);
  mono->setObjectName(QStringLiteral("blackOnWhite"));
  mono->setAccessibleName(QStringLiteral("Print in black on white"));
  mono->setChecked(g_blackOnWhite);
  layout->addWidget(mono);
  layout->addStretch(1);
  dialog.setOptionTabs({page});
  if (setupOnly) {
    dialog.setWindowTitle(QStringLiteral("Print Setup"));
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    for (QPushButton* b : dialog.findChildren<QPushButton*>())
      if (b->text().remove(QLatin1Char('&')) == QStringLiteral("Print"))
        b->setText(QStringLiteral("OK"));
  }
  if (dialog.exec() != QDialog::Accepted) return false;
  g_blackOnWhite = mono->isChecked();
  return true;
}

}  // namespace

QPrinter& SessionPrinter() {
  static QPrinter printer(QPrinter::HighResolution);
  return printer;
}

int PreviewPages(const IniFile& profile) {
  return profile.GetInt("Settings", "PreviewPages", 1) == 2 ? 2 : 1;
}

bool PrintEditor(CSourceEditor& editor, IniFile& profile, const char* title, QWidget* parent) {
  QProgressDialog progress(QStringLiteral("Printing..."), QStringLiteral("Cancel"), 0, 1, parent);
  progress.setWindowTitle(QStringLiteral("Print"));
  progress.setWindowModality(Qt::WindowModal);
  progress.setMinimumDuration(400);
  progress.setAccessibleName(QStringLiteral("Printing"));
  QString error;
  bool ok = PrintText(
      SessionPrinter(), editor.Store(), profile, OptionsFor(editor, QString::fromUtf8(title)),
      [&](int page, int pages) {
        progress.setMaximum(pages);
        progress.setLabelText(QStringLiteral("Printing page %1 of %2").arg(page + 1).arg(pages));
        progress.setValue(page);
        return !progress.wasCanceled();
      },
      &error);
  progress.reset();
  if (!ok && !progress.wasCanceled()) QMessageBox::warning(parent, QStringLiteral("Print"), error);
  return ok;
}

void InstallPrintCommands(IniFile& profile, CT2App& app) {
  SetViewCommand(cmd::kFilePrint, [&profile](ChildFrame& view) {
    CSourceEditor* editor = EditorOf(view);
    if (!editor || !RunPrintDialog(view.window(), false, NameThePrint(view))) return;
    PrintEditor(*editor, profile, view.Document()->Title().c_str(), view.window());
  });
  SetViewCommand(cmd::kFilePrintPreview, [&profile](ChildFrame& view) {
    CSourceEditor* editor = EditorOf(view);
    if (!editor) return;
    const QString title = QString::fromStdString(view.Document()->Title());
    QPrintPreviewDialog dialog(&SessionPrinter(), view.window());
    dialog.setWindowTitle(QStringLiteral("Print Preview - ") + title);
    QObject::connect(
        &dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&](QPrinter* printer) {
          QString error;
          PaintText(*printer, editor->Store(), profile, OptionsFor(*editor, title), {}, &error);
        });
    auto* widget = dialog.findChild<QPrintPreviewWidget*>();
    const int pages = PreviewPages(profile);
    if (widget && pages == 2) widget->setViewMode(QPrintPreviewWidget::FacingPagesView);
    dialog.resize(900, 800);
    dialog.exec();
    // The number of pages shown is kept for the next preview.
    if (widget) {
      const int now = widget->viewMode() == QPrintPreviewWidget::FacingPagesView ? 2 : 1;
      if (now != pages) profile.WriteInt("Settings", "PreviewPages", now);
    }
  });
  app.SetCommandHandler(cmd::kFilePrintSetup, [] { RunPrintDialog(nullptr, true); });
  app.SetCommandHandler(cmd::kPageSetup, [] {
    QPageSetupDialog dialog(&SessionPrinter(), nullptr);
    dialog.exec();
  });
}

void RemovePrintCommands(CT2App& app) {
  SetViewCommand(cmd::kFilePrint, {});
  SetViewCommand(cmd::kFilePrintPreview, {});
  app.SetCommandHandler(cmd::kFilePrintSetup, {});
  app.SetCommandHandler(cmd::kPageSetup, {});
}

}  // namespace tamso::gui
