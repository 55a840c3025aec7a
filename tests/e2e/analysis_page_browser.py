#!/usr/bin/python3
"""The analysis page in a real browser: headless Chromium driven over the DevTools
protocol (on a pipe, Python's standard library only).

  analysis_page_browser.py PROGRAM_DIR ARTIFACT_DIR

Grades the demo exam and a hostile exam with vantry-grade, opens each page and checks
what a teacher would see: the student rows, the bars of both charts, sorting by a
clicked column head, a row opening to its explanations, the table without script, the
print layout on A4; and that the hostile names, keywords and marks sheet run nothing.
Keeps a screenshot and a PDF print of the demo page in ARTIFACT_DIR. Exits 77 (skipped)
when Chromium is missing.
"""
import base64
import fcntl
import json
import os
import pathlib
import select
import shutil
import subprocess
import sys
import tempfile
import time

DEMO_ORDER = "3-1,3-2,3-3,5-1,5-2,5-3"
HOSTILE_NAMES = [
    "<script>document.title='pwned';window.pwned=1</script>",
    "\"><img src=x onerror=\"window.pwned=1;alert(1)\">",
    "</script><script>alert(2)</script>",
    "<svg onload=alert(3)>",
    "&lt;b&gt;",
    "王小明",
]
HOSTILE_KEYWORD = "<img src=x onerror=alert(4)>"


class Failure(Exception):
    pass


def check(condition, what):
    if not condition:
        raise Failure(what)


class Browser:
    """One headless Chromium with one page, spoken to over --remote-debugging-pipe."""

    def __init__(self, chromium, profile):
        to_child = os.pipe()
        from_child = os.pipe()
        # The child reads commands on fd 3 and writes replies on fd 4; park the ends
        # above 10 first so that moving them onto 3 and 4 cannot clobber each other.
        ends = [fcntl.fcntl(fd, fcntl.F_DUPFD, 10) for fd in (to_child[0], from_child[1])]

        def onto_3_and_4():
            os.dup2(ends[0], 3)
            os.dup2(ends[1], 4)

        self.process = subprocess.Popen(
            [chromium, "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
             "--no-first-run", "--disable-background-networking",
             "--disable-component-update", "--disable-sync",
             "--user-data-dir=" + profile, "--remote-debugging-pipe", "about:blank"],
            pass_fds=(3, 4), preexec_fn=onto_3_and_4,
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for fd in ends + [to_child[0], from_child[1]]:
            os.close(fd)
        self.writer = os.fdopen(to_child[1], "wb")
        self.reader = from_child[0]
        self.buffer = b""
        self.next_id = 0
        self.events = []
        target = self.call("Target.createTarget", {"url": "about:blank"})["targetId"]
        self.session = self.call("Target.attachToTarget",
                                 {"targetId": target, "flatten": True})["sessionId"]
        for domain in ("Page", "Runtime", "Log"):
            self.call(domain + ".enable", session=True)

    def close(self):
        try:
            self.call("Browser.close")
        except Exception:  # already gone
            pass
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()

    def _message(self, deadline):
        while b"\0" not in self.buffer:
            if time.monotonic() > deadline:
                raise Failure("Chromium did not answer in time")
            ready, _, _ = select.select([self.reader], [], [], 0.5)
            if ready:
                chunk = os.read(self.reader, 1 << 20)
                if not chunk:
                    raise Failure("Chromium ended")
                self.buffer += chunk
        message, self.buffer = self.buffer.split(b"\0", 1)
        return json.loads(message)

    def call(self, method, params=None, session=False, timeout=30):
        self.next_id += 1
        request = {"id": self.next_id, "method": method, "params": params or {}}
        if session:
            request["sessionId"] = self.session
        self.writer.write(json.dumps(request).encode() + b"\0")
        self.writer.flush()
        deadline = time.monotonic() + timeout
        while True:
            message = self._message(deadline)
            if message.get("id") == self.next_id:
                if "error" in message:
                    raise Failure("%s failed: %s" % (method, message["error"]))
                return message.get("result", {})
            self._event(message)

    def _event(self, message):
        self.events.append(message)
        # A dialog would stop the page: answer it, the check below reports it.
        if message.get("method") == "Page.javascriptDialogOpening":
            self.writer.write(json.dumps({
                "id": 0, "method": "Page.handleJavaScriptDialog",
                "params": {"accept": True}, "sessionId": self.session}).encode() + b"\0")
            self.writer.flush()

    def wait_for(self, method, timeout=30):
        deadline = time.monotonic() + timeout
        for event in self.events:
            if event.get("method") == method:
                self.events.remove(event)
                return event
        while True:
            message = self._message(deadline)
            if message.get("method") == method:
                return message
            if "method" in message:
                self._event(message)

    def page(self, method, params=None):
        return self.call(method, params, session=True)

    def open(self, url):
        self.events.clear()
        self.page("Page.navigate", {"url": url})
        self.wait_for("Page.loadEventFired")

    def run(self, expression):
        result = self.page("Runtime.evaluate", {
            "expression": expression, "returnByValue": True, "awaitPromise": True})
        if "exceptionDetails" in result:
            raise Failure("script failed: %s\n%s" % (expression, result["exceptionDetails"]))
        return result["result"].get("value")

    def wait_until(self, expression, what, timeout=10):
        """Polls `expression` until it is true (the toggle event comes as a task)."""
        deadline = time.monotonic() + timeout
        while not self.run(expression):
            if time.monotonic() > deadline:
                raise Failure(what)
            time.sleep(0.02)

    def click(self, selector, index=0):
        """A real mouse click in the middle of the element."""
        box = self.run(
            "(function(){var e=document.querySelectorAll(%s)[%d];"
            "e.scrollIntoView({block:'center'});var r=e.getBoundingClientRect();"
            "return [r.left+r.width/2,r.top+r.height/2];})()" % (json.dumps(selector), index))
        for kind in ("mousePressed", "mouseReleased"):
            self.page("Input.dispatchMouseEvent", {
                "type": kind, "x": box[0], "y": box[1], "button": "left", "clickCount": 1})

    def problems(self):
        """Dialogs opened, script errors thrown and anything the page's security policy
        refused since the page was opened."""
        return [e for e in self.events if e.get("method") in (
            "Page.javascriptDialogOpening", "Runtime.exceptionThrown") or (
            e.get("method") == "Log.entryAdded" and
            e["params"]["entry"].get("source") in ("security", "violation"))]


def grade(program_dir, folder, *args):
    result = subprocess.run(
        [str(program_dir / "vantry-grade"), "--dir", str(folder), "--quiet", *args],
        capture_output=True, text=True, timeout=120)
    check(result.returncode == 0, "vantry-grade failed (%d): %s%s" % (
        result.returncode, result.stdout, result.stderr))
    pages = sorted(folder.glob("阅卷分析*.html"))
    check(len(pages) == 1, "no analysis page in %s" % folder)
    return pages[0]


COLUMN = """(function(col){return Array.prototype.map.call(
  document.querySelectorAll('#student-table tbody tr:not(.explained)'),
  function(r){return r.cells[col].textContent;});})"""


def check_demo(browser, page, papers, artifacts):
    browser.open(page.as_uri())
    policy = browser.run("document.querySelector('meta[http-equiv=Content-Security-Policy]')"
                         ".content")
    check(policy.startswith("default-src 'none';") and "script-src 'sha256-" in policy,
          "security policy: %s" % policy)
    rows = browser.run("document.querySelectorAll('#student-table tbody tr').length")
    check(rows == papers, "%s student rows, the sheet has %d papers" % (rows, papers))
    heads = browser.run("Array.prototype.map.call(document.querySelectorAll("
                        "'#student-table th'),function(h){return h.textContent;})")
    questions = len(heads) - 3
    check(heads[:2] == ["名次", "姓名"] and heads[-1] == "总分" and questions == 5,
          "column heads: %s" % heads)

    # Both charts: 10 bands, one bar per question; heights follow the value labels.
    charts = browser.run("""Array.prototype.map.call(document.querySelectorAll('svg.chart'),
      function(svg){return Array.prototype.map.call(svg.querySelectorAll('g.bar'),
        function(g){return [g.querySelector('rect').getBBox().height,
                            g.querySelector('text.value').textContent];});})""")
    check(len(charts) == 2, "%d charts" % len(charts))
    check(len(charts[0]) == 10 and len(charts[1]) == questions,
          "bars: %d and %d" % (len(charts[0]), len(charts[1])))
    counts = [int(label) for _, label in charts[0]]
    check(sum(counts) == papers, "the bands hold %d papers" % sum(counts))
    scale = max(h for h, _ in charts[0]) / max(counts)
    for height, label in charts[0]:
        check(abs(height - int(label) * scale) < 0.6, "bar of %s is %.1f high" % (label, height))
    for height, label in charts[1]:
        check(label.endswith("%") and (height > 0) == (label != "0%"),
              "question bar %s, height %.1f" % (label, height))

    # Sorting by a clicked column head: totals high to low, then low to high; names by
    # pinyin; ranks back in order. Ties keep the sheet's order.
    total_col = len(heads) - 1
    browser.click("#student-table th", total_col)
    totals = [int(t) for t in browser.run(COLUMN + "(%d)" % total_col)]
    check(totals == sorted(totals, reverse=True), "not sorted high to low: %s" % totals)
    check(browser.run("document.querySelectorAll('#student-table th')[%d]"
                      ".getAttribute('aria-sort')" % total_col) == "descending", "aria-sort")
    browser.click("#student-table th", total_col)
    totals = [int(t) for t in browser.run(COLUMN + "(%d)" % total_col)]
    check(totals == sorted(totals), "not sorted low to high: %s" % totals)
    browser.click("#student-table th", 1)
    check(browser.run("""(function(){var n=%s(1);for(var i=1;i<n.length;i++)
        if(n[i-1].localeCompare(n[i],'zh-Hans-CN-u-co-pinyin')>0)return false;
        return true;})()""" % COLUMN), "names not in pinyin order")
    browser.click("#student-table th", 0)
    ranks = [int(r) for r in browser.run(COLUMN + "(0)")]
    check(ranks == sorted(ranks) and ranks[0] == 1, "ranks: %s" % ranks)

    # A row opens to one explanation per question, and its explanations move with it.
    browser.click("#student-table td.name summary", 2)
    browser.wait_until("document.querySelector('tr.explained') !== null", "no row opened")
    opened = browser.run("""(function(){var r=document.querySelectorAll(
        '#student-table tbody tr:not(.explained)')[2],x=r.nextElementSibling;
      return [r.cells[1].textContent, x && x.className,
              x ? Array.prototype.map.call(x.querySelectorAll('li'),
                    function(l){return l.textContent;}) : []];})()""")
    name, kind, items = opened
    check(kind == "explained" and len(items) == questions,
          "opened row: %s %s %s" % (name, kind, items))
    for q, item in enumerate(items, 1):
        check(item.startswith("第%d题 " % q), "explanation %d: %s" % (q, item))
    browser.click("#student-table th", total_col)
    follows = browser.run("""(function(){var rows=document.querySelectorAll(
        '#student-table tbody tr');for(var i=0;i<rows.length;i++)
        if(rows[i].className==='explained')return rows[i-1].cells[1].textContent;})()""")
    check(follows == name, "the explanations of %s stand under %s" % (name, follows))
    browser.click("#student-table td.name summary",
                  browser.run("Array.prototype.findIndex.call(document.querySelectorAll("
                              "'#student-table td.name'),function(c){return c.textContent"
                              "===%s;})" % json.dumps(name)))
    browser.wait_until("document.querySelector('tr.explained').hidden", "row did not close")
    check(not browser.problems(), "problems: %s" % browser.problems())

    # The screenshot for the artifacts, the whole page at desktop width.
    browser.click("#student-table th", 0)
    browser.page("Emulation.setDeviceMetricsOverride",
                  {"width": 1200, "height": 900, "deviceScaleFactor": 1, "mobile": False})
    height = browser.run("document.documentElement.scrollHeight")
    browser.page("Emulation.setDeviceMetricsOverride",
                 {"width": 1200, "height": min(height, 16000), "deviceScaleFactor": 1,
                  "mobile": False})
    shot = browser.page("Page.captureScreenshot", {"format": "png"})["data"]
    (artifacts / "analysis_page_demo.png").write_bytes(base64.b64decode(shot))

    # Print: A4 less the page margins is about 700 CSS pixels wide; nothing may run
    # past it, and the rows and question blocks are kept whole.
    browser.page("Emulation.setEmulatedMedia", {"media": "print"})
    browser.page("Emulation.setDeviceMetricsOverride",
                 {"width": 700, "height": 1000, "deviceScaleFactor": 1, "mobile": False})
    wide = browser.run("""Array.prototype.filter.call(document.querySelectorAll(
        'table, svg, section, .question'), function(e){
          return e.getBoundingClientRect().right > document.documentElement.clientWidth + 1;
        }).map(function(e){return e.tagName + '#' + e.id;})""")
    check(not wide, "too wide for A4: %s" % wide)
    check(browser.run("getComputedStyle(document.querySelector('#student-table tbody tr'))"
                      ".breakInside") == "avoid", "rows may be split across pages")
    browser.page("Emulation.setEmulatedMedia", {"media": ""})
    browser.page("Emulation.clearDeviceMetricsOverride")
    pdf = browser.page("Page.printToPDF", {"paperWidth": 8.27, "paperHeight": 11.69,
                                          "preferCSSPageSize": True,
                                          "printBackground": True})["data"]
    (artifacts / "analysis_page_demo.pdf").write_bytes(base64.b64decode(pdf))

    # Without script the table is all there, in rank order.
    browser.page("Emulation.setScriptExecutionDisabled", {"value": True})
    browser.open(page.as_uri())
    check(browser.run("document.querySelectorAll('#student-table tbody tr').length") ==
          papers, "rows without script")
    browser.page("Emulation.setScriptExecutionDisabled", {"value": False})


def write_hostile_exam(folder):
    names = HOSTILE_NAMES
    answers = ["光合作用 %s 叶绿体\t细胞膜" % HOSTILE_KEYWORD, "光合\t</textarea>细胞核",
               "叶绿体\t", "\t细胞膜 细胞核", "光合作用\t细胞膜", "无"]
    sheet = "".join("<姓名>\t%s\t</姓名>\r\n<答题文本>\t%s\t</答题文本>\r\n" % (n, a)
                    for n, a in zip(names, answers))
    rules = ("<综合题><分值>6</分值><关键词>光合作用|光合</关键词><关键词>叶绿体</关键词>"
             "<关键词>%s</关键词></综合题>\r\n"
             "<综合题><分值>4</分值><关键词>细胞膜</关键词><关键词>细胞核</关键词></综合题>\r\n"
             % HOSTILE_KEYWORD)
    (folder / "学生答题文本.txt").write_bytes(sheet.encode("gbk"))
    (folder / "参数设置.txt").write_bytes(rules.encode("gbk"))
    marks = "姓名,第1题,第2题\r\n" + "".join(
        '"%s",%d,%d\r\n' % (n.replace('"', '""'), i % 5, i % 3) for i, n in enumerate(names))
    marks += '"<img src=x onerror=alert(5)>",1,1\r\n'
    (folder / "教师评分.csv").write_bytes(b"\xef\xbb\xbf" + marks.encode("utf-8"))


def check_hostile(browser, page):
    browser.open(page.as_uri())
    title = browser.run("document.title")
    check(title.startswith("阅卷分析 "), "the title became %r" % title)
    check(browser.run("typeof window.pwned") == "undefined", "a hostile name ran")
    check(browser.run("document.querySelectorAll('img').length") == 0, "an image appeared")
    shown = browser.run("Array.prototype.map.call(document.querySelectorAll("
                        "'#student-table summary'),function(s){return s.textContent;})")
    check(sorted(shown) == sorted(HOSTILE_NAMES), "names shown: %s" % shown)
    check_text = browser.run("document.getElementById('check').textContent")
    check("<img src=x onerror=alert(5)>" in check_text, "check section: %s" % check_text)
    # Open every row: the explanations quote the hostile keyword as text.
    # One at a time: an opened row moves the rows below it.
    for i in range(len(HOSTILE_NAMES)):
        browser.click("#student-table td.name summary", i)
        browser.wait_until("document.querySelectorAll('tr.explained').length == %d" % (i + 1),
                           "row %d did not open" % i)
    explained = browser.run("Array.prototype.map.call(document.querySelectorAll("
                            "'tr.explained li'),function(l){return l.textContent;}).join('\\n')")
    check(HOSTILE_KEYWORD in explained, "explanations: %s" % explained)
    check(browser.run("document.querySelectorAll('img').length + document.scripts.length")
          == 2, "markup appeared after opening the rows")
    check(browser.run("typeof window.pwned") == "undefined" and
          browser.run("document.title") == title, "a hostile text ran after opening")
    check(not browser.problems(), "dialogs or script errors: %s" % browser.problems())


def main():
    program_dir = pathlib.Path(sys.argv[1])
    artifacts = pathlib.Path(sys.argv[2])
    chromium = shutil.which("chromium") or shutil.which("chromium-browser")
    if not chromium:
        print("skipped: Chromium is missing (Debian package chromium)")
        return 77
    artifacts.mkdir(parents=True, exist_ok=True)
    with tempfile.TemporaryDirectory(prefix="vantry-page-") as work:
        work = pathlib.Path(work)
        demo = work / "demo"
        demo.mkdir()
        for name in ("学生答题文本.txt", "参数设置.txt"):
            shutil.copy(program_dir / name, demo / name)
        papers = (demo / "学生答题文本.txt").read_bytes().decode("gbk").count("<姓名>\t")
        demo_page = grade(program_dir, demo, "--order", DEMO_ORDER)
        hostile = work / "hostile"
        hostile.mkdir()
        write_hostile_exam(hostile)
        hostile_page = grade(program_dir, hostile)

        browser = Browser(chromium, str(work / "profile"))
        try:
            check_demo(browser, demo_page, papers, artifacts)
            check_hostile(browser, hostile_page)
        except Failure as failure:
            print("analysis page: FAILED: %s" % failure)
            return 1
        finally:
            browser.close()
    print("analysis page: demo and hostile pages checked in Chromium; screenshot in %s"
          % artifacts)
    return 0


if __name__ == "__main__":
    sys.exit(main())
