#include "app/document_files.h"

#include "platform/atomic_file.h"
#include "platform/file_read.h"
#include "platform/host.h"
#include "platform/save_recovery.h"

namespace tamso {
namespace {

bool Ask(IHost& host, const std::string& question) {
  return host.MessageBox(question, std::string(), MsgIcon::Question, MsgButtons::YesNo) ==
         Answer::Yes;
}

}  // namespace

std::string LargeFileQuestion(const std::string& path, std::uint64_t size) {
  return path + " is " + SizeText(size) + " (" + std::to_string(size) +
         " bytes). Loading it takes long and needs much memory. Open it anyway?";
}

std::string BinaryFileQuestion(const std::string& path) {
  return path + " looks like a binary file. Open it anyway?";
}

std::string ReadOnlyFileQuestion(const std::string& path) {
  return path + " is read-only. Save anyway?";
}

std::string ChangedOnDiskQuestion(const std::string& path) {
  return path + " was changed by another program.\nReload it and lose your changes, or keep yours?";
}

std::string ChangedBeforeSaveQuestion(const std::string& path) {
  return path +
         " was changed by another program since it was opened.\n"
         "Save your text over it?";
}

std::string DeletedOnDiskMessage(const std::string& path) {
  return path +
         " was deleted or renamed by another program.\n"
         "The text is kept; Save writes it back.";
}

std::string ReloadedStatus(const std::string& path) {
  return "Reloaded " + path + ": it was changed by another program.";
}

bool PrepareDocumentOpen(IHost& host, const std::string& path) {
  FileProbe probe = ProbeFile(path);
  if (probe.kind == FileKind::Missing || probe.kind == FileKind::Directory) return true;
  if (probe.kind != FileKind::Regular) {
    host.Message(NotRegularMessage(path, probe.kind));
    return false;
  }
  RecoveryReport recovered = RecoverFile(path);
  // Old text kept aside (the file changed after its save was cut) needs the user's
  // eye; what was simply put right is a passing note.
  if (!recovered.keptCopy.empty())
    host.Message(recovered.status);
  else if (!recovered.status.empty())
    host.ShowStatus(recovered.status);
  return ConfirmLoad(host, path);
}

bool ConfirmLoad(IHost& host, const std::string& path) {
  const FileProbe probe = ProbeFile(path);
  if (probe.size > kLargeDocumentBytes && !Ask(host, LargeFileQuestion(path, probe.size)))
    return false;
  std::string head;
  if (ReadFileHead(path, kBinarySniffBytes, head) && LooksBinary(head) &&
      !Ask(host, BinaryFileQuestion(path)))
    return false;
  return true;
}

std::string NotReloadedStatus(const std::string& path) {
  return "Not reloaded: " + path + " was changed by another program; the text shown is kept.";
}

bool ConfirmSaveOver(IHost& host, const std::string& path) {
  if (!IsReadOnlyFile(path)) return true;
  return Ask(host, ReadOnlyFileQuestion(path));
}

}  // namespace tamso
