#include "jobs/run_html.h"

#include <algorithm>

#include "jobs/process_runner.h"
#include "platform/command_line.h"
#include "project/project.h"

namespace tamso {

std::vector<std::string> BrowserCommand(std::string_view setting) {
  const std::size_t first = setting.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  setting = setting.substr(first, setting.find_last_not_of(" \t") - first + 1);
  if (setting.size() < 2) return {};
  const std::string whole(setting);
  if (!FindProgram(whole).empty()) return {whole};
  return SplitCommandLine(setting);
}

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string FileUrl(std::string_view path) {
  static const char* hex = "0123456789ABCDEF";
  std::string url = "file://";
  for (char ch : path) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c <= 0x20 || c >= 0x7f || c == '%' || c == '#' || c == '?' || c == '"') {
      url += '%';
      url += hex[c >> 4];
      url += hex[c & 15];
    } else {
      url += ch;
    }
  }
  return url;
}

std::string PathOfFileUrl(std::string_view url) {
  if (url.substr(0, 7) != "file://") return std::string(url);
  std::string_view rest = url.substr(7);
  std::string out;
  for (size_t i = 0; i < rest.size(); ++i) {
    if (rest[i] == '%' && i + 2 < rest.size() && HexValue(rest[i + 1]) >= 0 &&
        HexValue(rest[i + 2]) >= 0) {
      out += static_cast<char>(HexValue(rest[i + 1]) * 16 + HexValue(rest[i + 2]));
      i += 2;
    } else {
      out += rest[i];
    }
  }
  // "file:////home/x" (the prefix put before an absolute path) names /home/x.
  while (out.size() > 1 && out[0] == '/' && out[1] == '/') out.erase(0, 1);
  return out;
}

bool HasFileUrlPrefix(std::string_view html) {
  return html.find("file:///") != std::string_view::npos;
}

std::vector<std::string> ProjectHtmlUrls(const Project& project) {
  std::vector<std::string> out;
  for (const std::string& s : project.StoredPaths()) {
    if (s.find(".htm") == std::string::npos && s.find(".HTM") == std::string::npos) continue;
    if (s.find(':') != std::string::npos)
      out.push_back("file:///" + s);  // a drive-letter path from another system
    else
      out.push_back(FileUrl(project.ResolveMember(s)));
  }
  return out;
}

HtmlRun AppletViewerRun(const std::string& command, const std::string& html) {
  HtmlRun run;
  std::string page = html;
  std::replace(page.begin(), page.end(), '\\', '/');
  run.commandLine = command + " " + page;
  run.args = SplitCommandLine(command);
  run.args.push_back(page);
  std::string path = page;
  const size_t at = page.find("file://");
  if (at != std::string::npos) path = PathOfFileUrl(page.substr(at));
  // The untouched default page "file:///?" names no folder: its "?" stays the directory.
  if (path == "/?") path = "?";
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos)
    run.directory = path;
  else
    run.directory = slash == 0 ? "/" : path.substr(0, slash);
  return run;
}

}  // namespace tamso
