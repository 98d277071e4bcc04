#include "platform/host.h"

namespace tamso {

const char* ToString(BeepKind kind) {
  switch (kind) {
    case BeepKind::Default:
      return "default";
    case BeepKind::Hand:
      return "hand";
    case BeepKind::Exclamation:
      return "exclamation";
    case BeepKind::Asterisk:
      return "asterisk";
    case BeepKind::Question:
      return "question";
  }
  return "?";
}

const char* ToString(Answer answer) {
  switch (answer) {
    case Answer::Ok:
      return "ok";
    case Answer::Cancel:
      return "cancel";
    case Answer::Yes:
      return "yes";
    case Answer::No:
      return "no";
    case Answer::Retry:
      return "retry";
    case Answer::Abort:
      return "abort";
    case Answer::Ignore:
      return "ignore";
  }
  return "?";
}

}  // namespace tamso
