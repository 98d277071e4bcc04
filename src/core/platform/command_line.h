#pragma once
// Splitting a command-line string into arguments with the classic Windows rules,
// so that every child process is started from an argument vector, never a shell:
//  - blanks (space, tab) separate arguments outside double quotes;
//  - a double quote starts or ends a quoted run; inside one, blanks are literal;
//  - 2n backslashes before a quote give n backslashes and the quote is a delimiter;
//    2n+1 backslashes give n backslashes and a literal quote;
//  - backslashes not followed by a quote are literal;
//  - inside a quoted run, two double quotes in a row give one literal quote.

#include <string>
#include <string_view>
#include <vector>

namespace tamso {

std::vector<std::string> SplitCommandLine(std::string_view commandLine);

// A relative name that a program would take for an option ("-x.java") or for a file
// of arguments ("@x.java") with "./" before it; any other name as it is.
std::string NotAnOption(std::string_view name);

// The inverse: quotes one argument so that SplitCommandLine gives it back unchanged
// (only when it needs quotes, unless alwaysQuote).
std::string QuoteArgument(std::string_view arg, bool alwaysQuote = false);

}  // namespace tamso

namespace tamso {

// Splitting with the rules of a Linux shell's words, for what the user types as a
// program's arguments (nothing is expanded, and no shell ever runs):
//  - blanks (space, tab, line ends) separate words outside quotes;
//  - '...' keeps everything inside literally, backslashes too;
//  - "..." keeps blanks and single quotes; inside it a backslash escapes only
//    '"', '\\', '$' and '`' (before anything else it stays);
//  - outside quotes a backslash makes the next character literal (a backslash and
//    a line end together vanish);
//  - '' or "" make an empty word; an unclosed quote runs to the end of the text.
std::vector<std::string> SplitShellWords(std::string_view text);

// The inverse: one word that SplitShellWords gives back unchanged, in single quotes
// only when it needs them.
std::string QuoteShellWord(std::string_view word);

// Words joined with blanks, each quoted as needed.
std::string JoinShellWords(const std::vector<std::string>& words);

}  // namespace tamso
