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
