// The indexer's output pages in a real browser (headless Chromium): a page's own inline
// script and style rules still work in its decorated page, and the query that a click on a
// web-search link sends is the line's words as the search page shows them. The index pages
// look exactly as they did before their lines were grouped in blocks, and the links into
// them still land, highlighted where the page has the highlight script. Each page gets a
// check script that writes its findings into the page; the test reads them from the DOM
// that Chromium dumps. Nothing is fetched from the network.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <regex>
#include <string>
#include <vector>

#include "common/platform.h"
#include "common/text.h"
#include "tests/test_util.h"

namespace {

constexpr char kPagoran[] = "pagoran_01_149.exe";

std::string FindBrowser() {
  std::string found = platform::FindOnPath("chromium");
  return found.empty() ? platform::FindOnPath("chromium-browser") : found;
}

// Runs Chromium on the file `page` (an absolute path), with `fragment` after a "#" unless it
// is empty, and returns what it prints on standard output. Each page gets a profile of its
// own beside it.
std::string RunBrowser(const std::string& browser, const std::string& page,
                       const std::string& options, const std::string& fragment = "") {
  // As root, Chromium starts only without its sandbox.
  std::string command = "timeout 120 '" + browser +
                        "' --headless --no-sandbox --disable-gpu --no-first-run "
                        "--disable-background-networking --disable-component-update "
                        "--disable-sync --user-data-dir='" +
                        page + ".profile' " + options + " 'file://" + page +
                        (fragment.empty() ? "" : "#" + fragment) + "' 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return "";
  std::string out;
  char buffer[4096];
  for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
  pclose(pipe);
  return out;
}

// Loads `page` and returns the text of the element with id "result", which the page's
// check script adds. `options` go to Chromium beside --dump-dom.
std::string CheckInBrowser(const std::string& browser, const std::string& page,
                           const std::string& fragment = "", const std::string& options = "") {
  std::string dom = RunBrowser(browser, page, "--dump-dom " + options, fragment);
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
  InstallPrograms(dir.path(), kPagoran);
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

// A word holding an older entity name without ';' ("&copy", "&sup1") is decoded in the
// search link's query just as in the link built from the words as they stand, unless a
// letter, digit or '=' follows; the one difference left is that an '&' standing for itself
// is sent as "%26", so that it stays in the query.
TEST(OutputPagesInBrowser, SearchLinksSendWhatTheWordsAsTheyStandSend) {
  std::string browser = FindBrowser();
  if (browser.empty()) GTEST_SKIP() << "chromium is not installed: no browser check";
  ScopedWorkDir dir;
  InstallPrograms(dir.path(), kPagoran);
  MakeDirs("htm_in");
  const std::string words = "format&sup1. &copy 2024 &copyx &times= &AMP; &nbsp&yuml;x";
  WriteBytes("htm_in/page.htm", "<html>\n<body>\n<p>" + words + "</p>\n</body>\n</html>\n");
  ProgramRun run = RunProgram(ProgramPath(kPagoran), dir.path(), "11\n");
  ASSERT_EQ(0, run.status) << run.err;
  WriteBytes("search.htm", ReadBytes("htm_out/s_1.htm") +
                               "<a id=\"as_they_stand\" href=\"https://www.google.com/search?q=" +
                               words + " \">x</a>\n" + kCheckStart + R"(
const written = [...document.querySelectorAll("a")].find(a => a.textContent.includes("web_search"));
const as_they_stand = document.getElementById("as_they_stand");
report(written.href == as_they_stand.href.replaceAll("&", "%26") ? "same" : "DIFFERS " + written.href + " / " + as_they_stand.href);
report(new URL(written.href).searchParams.get("q"));
</script>
)");
  // The dump writes the no-break space as "&nbsp;"; the URL loses the phrase's last blank.
  EXPECT_EQ("same\nformat\xc2\xb9. \xc2\xa9 2024 &copyx &times= & &nbsp;\xc3\xbfx\n",
            CheckInBrowser(browser, dir.path() + "/search.htm"));
}

const char* const kIndexPages[] = {"i_1.htm", "s_1.htm", "index.htm", "files_list.htm"};

// Screenshots are this tall, more than any page compared, so that they hold whole pages.
constexpr int kShotHeight = 4000;

// `page` without the lines that open and close its blocks. No other line of an index page is
// ever exactly "<div>" or "</div>": each holds a word, a link or a line of its own template.
std::string WithoutBlockLines(const std::string& page) {
  std::string out;
  for (size_t begin = 0, end; begin < page.size(); begin = end) {
    end = std::min(page.find('\n', begin), page.size() - 1) + 1;
    const std::string line = page.substr(begin, end - begin);
    if (line != "<div>\r\n" && line != "</div>\r\n") out += line;
  }
  return out;
}

// The number of lines in the longest block of `page`.
size_t LongestBlock(const std::string& page) {
  size_t longest = 0, lines = 0;
  for (size_t begin = 0, end; begin < page.size(); begin = end) {
    end = std::min(page.find('\n', begin), page.size() - 1) + 1;
    const std::string line = page.substr(begin, end - begin);
    if (line == "<div>\r\n") lines = 0;
    if (line == "</div>\r\n") longest = std::max(longest, lines - 1);
    ++lines;
  }
  return longest;
}

// The bytes of a screenshot of the page at `path` in a window 1000 pixels wide and
// kShotHeight tall.
std::string Screenshot(const std::string& browser, const std::string& path) {
  RunBrowser(browser, path,
             "--hide-scrollbars --window-size=1000," + std::to_string(kShotHeight) +
                 " --screenshot='" + path + ".png'");
  return ReadBytes(path + ".png");
}

// Reports where the page lands for its URL fragment: whether the target shows at the top of
// the window, or in it with the page scrolled to its end; how the target is styled; how tall
// the page is.
const char kLandingCheck[] = R"(
window.addEventListener("load", function () {
  const target = document.querySelector(":target");
  if (!target) {
    report("no target");
  } else {
    const top = Math.round(target.getBoundingClientRect().top);
    const end = Math.round(scrollY) == document.documentElement.scrollHeight - innerHeight;
    const style = getComputedStyle(target);
    report("target " + target.id + (document.getElementById(target.id) == target ? "" : " not first") +
           (top == 0 || (end && top > 0 && top < innerHeight) ? " landed" : " not landed") +
           " at " + top + ", scrolled " + Math.round(scrollY) + ", " + style.color + " " +
           style.fontSize + " " + style.fontWeight);
  }
  report(document.documentElement.scrollHeight);
});
</script>
)";

// Where the page at `folder`/`page` lands for `fragment`, in a window 600 pixels tall: the
// first line of kLandingCheck's report; the page's height goes to `height`.
std::string Landing(const std::string& browser, const std::string& folder, const std::string& page,
                    const std::string& fragment, int* height) {
  const std::string check = folder + "/check_" + page;
  WriteBytes(check, ReadBytes(folder + "/" + page) + kCheckStart + kLandingCheck);
  std::string report =
      CheckInBrowser(browser, check, fragment, "--window-size=1000,600 --virtual-time-budget=2000");
  size_t end = report.find('\n');
  *height = end == std::string::npos ? 0 : std::atoi(report.c_str() + end + 1);
  return report.substr(0, end);
}

// Writes the four index pages of the overview case as they were before their blocks (its
// expected pages without their block lines, which the blocks only add), and as they are now,
// into overview/before and overview/now.
void WriteOverviewPages() {
  MakeDirs("overview/before");
  MakeDirs("overview/now");
  const std::string expected = std::string(CASES_DIR) + "/pagoran/overview/expected/htm_out/";
  for (const char* page : kIndexPages) {
    const std::string now = ReadBytes(expected + page);
    WriteBytes("overview/before/" + std::string(page), WithoutBlockLines(now));
    WriteBytes("overview/now/" + std::string(page), now);
  }
}

// A set long enough that three of the index pages have blocks ended for their length: a
// word on 24 pages (i_1.htm), a page of 21 lines (s_1.htm), 51 words (index.htm). The
// indexer's pages go to htm_out, the same without their blocks to before/. `work` is the
// current directory, with the programs installed.
void IndexLongerSet(const std::string& work) {
  MakeDirs("htm_in");
  for (int page = 1; page <= 24; ++page) {
    const std::string n = ZeroPadded(page, 3);
    // Lines of the same number on consecutive pages would make one line of the search page.
    std::string text = std::string("<html>\n<body>\n") + (page % 2 ? "\n" : "") + "<p>shared u" +
                       n + "first u" + n + "second</p>\n";
    for (int line = 0; page == 1 && line < 20; ++line) text += "again and again<br>\n";
    WriteBytes("htm_in/p" + n + ".htm", text + "</body>\n</html>\n");
  }
  ProgramRun run = RunProgram(ProgramPath(kPagoran), work, "11shop.example.org\n");
  ASSERT_EQ(0, run.status) << run.err;
  MakeDirs("before");
  for (const char* page : kIndexPages) {
    WriteBytes("before/" + std::string(page),
               WithoutBlockLines(ReadBytes("htm_out/" + std::string(page))));
  }
}

// The blocks change nothing a reader sees: screenshots of whole pages with and without them
// are the same, pixel for pixel. The pages without blocks are the pages with their block
// lines taken out, which gives the pages as the indexer wrote them before it wrote blocks:
// the blocks add lines and change none (the expected files of every indexer case show it).
TEST(IndexPagesInBrowser, LookTheSameInBlocks) {
  ScopedWorkDir dir;
  InstallPrograms(dir.path(), kPagoran);
  WriteOverviewPages();
  IndexLongerSet(dir.path());
  for (const char* page : {"i_1.htm", "s_1.htm", "index.htm"}) {
    size_t longest = LongestBlock(ReadBytes("htm_out/" + std::string(page)));
    EXPECT_TRUE(longest >= 100 && longest <= 110) << page << ": " << longest;
  }
  std::string browser = FindBrowser();
  if (browser.empty()) GTEST_SKIP() << "chromium is not installed: no browser check";
  for (const auto& [before, now] :
       {std::pair{"overview/before", "overview/now"}, {"before", "htm_out"}}) {
    for (const char* page : kIndexPages) {
      SCOPED_TRACE(std::string(now) + "/" + page);
      const std::string shot = Screenshot(browser, dir.path() + "/" + now + "/" + page);
      ASSERT_FALSE(shot.empty());
      EXPECT_TRUE(shot == Screenshot(browser, dir.path() + "/" + before + "/" + page));
    }
  }
  // A page taller than the screenshots would not be compared whole; the overview's pages
  // are shorter than these.
  for (const char* page : kIndexPages) {
    int height = 0;
    Landing(browser, dir.path() + "/htm_out", page, "", &height);
    EXPECT_TRUE(height > 500 && height < kShotHeight - 100) << page << ": " << height;
  }
}

// Links into the index pages land where they did, far down in blocks of their own too: the
// find-word links of a decorated page (i, s), with the occurrence highlighted in the search
// page, and the links of a word index entry (index, Content). A double click on a word of a
// decorated page opens that page at the word.
TEST(IndexPagesInBrowser, FindWordLinksLandAsBefore) {
  std::string browser = FindBrowser();
  if (browser.empty()) GTEST_SKIP() << "chromium is not installed: no browser check";
  ScopedWorkDir dir;
  InstallPrograms(dir.path(), kPagoran);
  IndexLongerSet(dir.path());
  std::vector<std::string> pages;
  for (const std::string& name : ListNames("htm_out")) {
    if (StartsWith(name, "page_")) pages.push_back(name);
  }
  ASSERT_EQ(24u, pages.size());
  // The 17th page holds "shared" and two words of its own, each with its find-word links;
  // the last of them stands in the second block of the all-words index.
  const std::string page = pages[16];
  const std::string text = ReadBytes("htm_out/" + page);
  std::smatch search_link;
  ASSERT_TRUE(std::regex_search(text, search_link,
                                std::regex(R"re(<a href="s_1\.htm#(id\d+_\d+)">s</a>)re")));
  const std::string occurrence = search_link[1];
  std::vector<std::string> word_ids;
  const std::regex index_link(R"re(<a href="i_1\.htm#(id\d+)">i</a>)re");
  for (std::sregex_iterator it(text.begin(), text.end(), index_link), end; it != end; ++it) {
    word_ids.push_back((*it)[1]);
  }
  ASSERT_EQ(3u, word_ids.size());
  const std::string own_word = word_ids[2];

  // The search page's own script highlights the occurrence; the word index page and the
  // all-words index show the word's entry at the top; the contents page the page's link.
  const std::pair<const char*, std::string> targets[] = {{"s_1.htm", occurrence},
                                                         {"i_1.htm", own_word},
                                                         {"index.htm", own_word},
                                                         {"files_list.htm", page}};
  for (const auto& [index_page, fragment] : targets) {
    SCOPED_TRACE(std::string(index_page) + "#" + fragment);
    int height = 0;
    const std::string landing =
        Landing(browser, dir.path() + "/htm_out", index_page, fragment, &height);
    EXPECT_TRUE(StartsWith(landing, "target " + fragment + " landed at ")) << landing;
    EXPECT_EQ(Landing(browser, dir.path() + "/before", index_page, fragment, &height), landing);
    if (fragment == occurrence) {
      EXPECT_TRUE(EndsWith(landing, ", rgb(255, 0, 0) 22.4px 700")) << landing;
    }
  }

  WriteBytes(
      "htm_out/check_" + page, text + kCheckStart + R"(
const opened = [];
window.open = function (address) { opened.push(address); return null; };
document.getElementById(")" + own_word +
                                   R"(").dispatchEvent(new MouseEvent("dblclick", {bubbles: true}));
report("opened " + opened.join(" "));
</script>
)");
  EXPECT_EQ("opened " + page + "#" + own_word + "\n",
            CheckInBrowser(browser, dir.path() + "/htm_out/check_" + page));
}

// In a set of several page groups, the find-word links of a page of group 2 lead into that
// group's own index pages: "i" to the word's entry at the top of i_2.htm, "s" to the
// occurrence in s_2.htm, highlighted there; the "&gt;&gt;" link of a word whose next page lies
// in a later group lands on that page, highlighted. (pagoran_small_groups cuts the groups
// case's five pages into groups of pages 1-2, 3 and 4-5.)
TEST(IndexPagesInBrowser, FindWordLinksOfALaterGroupLandInItsPages) {
  std::string browser = FindBrowser();
  if (browser.empty()) GTEST_SKIP() << "chromium is not installed: no browser check";
  ScopedWorkDir dir;
  InstallPrograms(dir.path(), "pagoran_small_groups.exe");
  MakeDirs("htm_in");
  const std::string in = std::string(CASES_DIR) + "/pagoran/groups/in/htm_in/";
  for (const char* name :
       {"a_river.htm", "b_bridge.htm", "c_market.htm", "d_meadow.htm", "e_evening.htm"}) {
    WriteBytes("htm_in/" + std::string(name), ReadBytes(in + name));
  }
  ProgramRun run = RunProgram(ProgramPath("pagoran_small_groups.exe"), dir.path(), "11\n");
  ASSERT_EQ(0, run.status) << run.err;
  ASSERT_TRUE(PathExists("htm_out/s_3.htm"));

  // The last word of page 3 ("again.") and its occurrence; the page links to no other group.
  const std::string text = ReadBytes("htm_out/page_03.htm");
  EXPECT_EQ(std::string::npos, text.find("i_1.htm")) << "page_03.htm links to group 1";
  std::string word_id, occurrence;
  const std::regex links(
      R"re(<a href="i_2\.htm#(id\d+)">i</a>,\r\n<a href="s_2\.htm#(id\d+_\d+)">)re");
  for (std::sregex_iterator it(text.begin(), text.end(), links), end; it != end; ++it) {
    word_id = (*it)[1];
    occurrence = (*it)[2];
  }
  ASSERT_FALSE(word_id.empty());
  int height = 0;
  std::string landing = Landing(browser, dir.path() + "/htm_out", "i_2.htm", word_id, &height);
  EXPECT_TRUE(StartsWith(landing, "target " + word_id + " landed at ")) << landing;
  landing = Landing(browser, dir.path() + "/htm_out", "s_2.htm", occurrence, &height);
  EXPECT_TRUE(StartsWith(landing, "target " + occurrence + " landed at ")) << landing;
  EXPECT_TRUE(EndsWith(landing, ", rgb(255, 0, 0) 22.4px 700")) << landing;

  // "river" on page 2 (group 1) goes on to page 4 (group 3).
  std::smatch next;
  const std::string page_2 = ReadBytes("htm_out/page_02.htm");
  ASSERT_TRUE(std::regex_search(
      page_2, next, std::regex(R"re(<a href="page_04\.htm#(id\d+)">&gt;&gt;\)</a>)re")));
  landing = Landing(browser, dir.path() + "/htm_out", "page_04.htm", next[1], &height);
  EXPECT_TRUE(StartsWith(landing, "target " + next[1].str() + " landed at ")) << landing;
  EXPECT_TRUE(EndsWith(landing, ", rgb(255, 0, 0) 22.4px 700")) << landing;
}

}  // namespace
