// The indexer's output pages in a real browser (headless Chromium): a page's own inline
// script and style rules still work in its decorated page, and the query that a click on a
// web-search link sends is the line's words as the search page shows them. Each page gets a
// check script that writes its findings into the page; the test reads them from the DOM
// that Chromium dumps. Nothing is fetched from the network.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/platform.h"
#include "tests/test_util.h"

namespace {

constexpr char kPagoran[] = "pagoran_01_149.exe";

std::string FindBrowser() {
  std::string found = platform::FindOnPath("chromium");
  return found.empty() ? platform::FindOnPath("chromium-browser") : found;
}

// Loads `page` (an absolute path) and returns the text of the element with id "result",
// which the page's check script adds.
std::string CheckInBrowser(const std::string& browser, const std::string& page) {
  // As root, Chromium starts only without its sandbox.
  std::string command = "timeout 120 '" + browser +
                        "' --headless --no-sandbox --disable-gpu --no-first-run "
                        "--disable-background-networking --disable-component-update "
                        "--disable-sync --user-data-dir='" +
                        page + ".profile' --dump-dom 'file://" + page + "' 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return "no browser run";
  std::string dom;
  char buffer[4096];
  for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) dom.append(buffer, n);
  pclose(pipe);
  const std::string open = "<pre id=\"result\">";
  size_t begin = dom.find(open);
  size_t end = dom.find("</pre>", begin);
  if (begin == std::string::npos || end == std::string::npos) return "no result in:\n" + dom;
  std::string text = dom.substr(begin + open.size(), end - begin - open.size());
  // The text as the DOM serializer escapes it.
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    bool replaced = false;
    for (const auto& [escape, c] : {std::pair{"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}}) {
      if (text.compare(i, std::string(escape).size(), escape) == 0) {
        out += c;
        i += std::string(escape).size() - 1;
        replaced = true;
        break;
      }
    }
    if (!replaced) out += text[i];
  }
  return out;
}

const char kCheckStart[] = R"(<pre id="result"></pre><script>
function report(line) { document.getElementById("result").textContent += line + "\n"; }
)";

TEST(OutputPagesInBrowser, InlineScriptsRunAndSearchLinksCarryTheWholePhrase) {
  std::string browser = FindBrowser();
  if (browser.empty()) GTEST_SKIP() << "chromium is not installed: no browser check";
  ScopedWorkDir dir;
  InstallPrograms(dir.path());
  MakeDirs("htm_in");
  WriteBytes("htm_in/page.htm", R"(<html>
<head>
<style type="text/css">
  h1 {
	color: rgb(1, 2, 3);
  }
</style>
</head>
<body>
<h1>Script check</h1>
<script>
  var value = 6 * 7;
  document.documentElement.setAttribute("data-value", value);
</script>
<p>compute(input: &amp;u32) -> u32</p>
#![allow(unused)] fn main() {}
a+b costs 100% &#35;1 R&amp;D
</body>
</html>
)");
  const std::string address = "shop.example.org/\"><i>a&b";
  ProgramRun run = RunProgram(ProgramPath(kPagoran), dir.path(), "11" + address + "\n");
  ASSERT_EQ(0, run.status) << run.err;

  // Errors are collected from before the page's first line.
  WriteBytes("decorated.htm",
             "<script>var errors = []; window.onerror = function (m) { errors.push(m); };"
             "</script>\n" +
                 ReadBytes("htm_out/page_1.htm") + kCheckStart +
                 R"(report("value " + document.documentElement.getAttribute("data-value"));
report("h1 colour " + getComputedStyle(document.querySelector("h1")).color);
report("errors " + errors.join(" | "));
</script>
)");
  EXPECT_EQ("value 42\nh1 colour rgb(1, 2, 3)\nerrors \n",
            CheckInBrowser(browser, dir.path() + "/decorated.htm"));

  // The words of a line are its links into i_1.htm; its search links follow them, the one
  // with the target address first, web_search last.
  WriteBytes("search.htm", ReadBytes("htm_out/s_1.htm") + kCheckStart + R"(
let words = [];
for (const a of document.querySelectorAll("a")) {
  const href = a.getAttribute("href");
  if (href.startsWith("i_1.htm#") && a.textContent != "i_1") words.push(a.textContent);
  if (!href.startsWith("https:")) continue;
  const text = a.textContent.trim();
  const site = text == "web_search" ? "" : " site:" + text;
  const expected = (words.map(w => w + " ").join("") + site).replace(/ +$/, "");
  const q = new URL(a.href).searchParams.get("q");
  report((q == expected ? "same " : "DIFFERS " + expected + " / ") + q);
  if (!site) words = [];
}
report("elements from the address " + document.querySelectorAll("i").length);
</script>
)");
  std::string site = "  site:" + address;
  EXPECT_EQ("same Script check" + site + "\nsame Script check\n" + "same compute(input: &u32) u32" +
                site + "\nsame compute(input: &u32) u32\n" + "same #![allow(unused)] main()" +
                site + "\nsame #![allow(unused)] main()\n" + "same a+b costs 100% #1 R&D" + site +
                "\nsame a+b costs 100% #1 R&D\n" + "elements from the address 0\n",
            CheckInBrowser(browser, dir.path() + "/search.htm"));
}

}  // namespace
