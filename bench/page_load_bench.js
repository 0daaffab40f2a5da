// Loads HTML files in headless Chromium, each time in a browser of its own, and prints one
// line per file: its name, its size in bytes, and the fastest of RUNS runs in seconds to the
// load event and until the whole page has been laid out (its height read after the load),
// tab-separated; "timeout" in place of the times when the load event does not come in time.
// The files take turns, so that a machine that gets slower meanwhile weighs on all alike; a
// file that took over a minute, or timed out, is not loaded again.
//
// Usage: node page_load_bench.js PLAYWRIGHT_CORE_DIR CHROMIUM TIMEOUT_SECONDS RUNS FILE ...

const fs = require("fs");
const path = require("path");

const [playwrightDir, executable, timeoutSeconds, runs, ...files] = process.argv.slice(2);
const { chromium } = require(path.resolve(playwrightDir));

function since(start) {
  return Number(process.hrtime.bigint() - start) / 1e9;
}

// Seconds to the load event and until laid out, or null when the load event did not come.
async function load(file) {
  const browser = await chromium.launch({
    executablePath: executable,
    args: ["--no-sandbox", "--disable-gpu", "--no-first-run"],
  });
  try {
    const page = await browser.newPage({ viewport: { width: 1280, height: 800 } });
    const start = process.hrtime.bigint();
    try {
      await page.goto("file://" + path.resolve(file), {
        waitUntil: "load",
        timeout: Number(timeoutSeconds) * 1000,
      });
    } catch (error) {
      return null;
    }
    const loaded = since(start);
    await page.evaluate(() => document.documentElement.scrollHeight);
    return { loaded, laidOut: since(start) };
  } finally {
    await browser.close();
  }
}

(async () => {
  const best = new Map();
  const done = new Set();
  for (let run = 0; run < Number(runs); ++run) {
    for (const file of files) {
      if (done.has(file)) continue;
      const times = await load(file);
      const old = best.get(file);
      if (!times) {
        if (!old) best.set(file, null);
        done.add(file);
        continue;
      }
      if (!old || times.laidOut < old.laidOut) best.set(file, times);
      if (times.laidOut > 60) done.add(file);
    }
  }
  for (const file of files) {
    const times = best.get(file);
    const bytes = fs.statSync(file).size;
    const columns = times
      ? [times.loaded.toFixed(2), times.laidOut.toFixed(2)]
      : ["timeout", "timeout"];
    console.log([path.basename(file), bytes, ...columns].join("\t"));
  }
})();
