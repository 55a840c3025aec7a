#!/usr/bin/python3
"""The analysis page in a real browser: headless Chromium driven over the DevTools
protocol (on a pipe, Python's standard library only).

  analysis_page_browser.py PROGRAM_DIR ARTIFACT_DIR

Grades the demo exam (with the teacher's marks of a few papers, one name misspelt, half
marks), an exam whose rules give every paper 3.5 points less than the teacher, and a
hostile exam with vantry-grade, opens each page and checks what a teacher would see:
the exam's name, the student rows, the bars of both charts, sorting by a clicked column
head, a row opening to its explanations and answers with the scoring wordings marked,
需要复核 with its links, the verdict in plain words, the page at 1366 and 390 pixels
wide (no sideways page scroll, chart texts at least 10 px, keywords not squeezed), the
table without script, the print layout on A4; and that the hostile names, keywords,
answers and marks sheet run nothing. Keeps screenshots and a PDF print of the demo page
in ARTIFACT_DIR. Exits 77 (skipped) when Chromium is missing.
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


# The teacher's marks of a few demo papers: 王小明 misspelt as 王晓明, half marks.
DEMO_MARKS = ("姓名,第1题,第2题,第3题,第4题,第5题\r\n王晓明,10,8,8,6,10\r\n"
              "李华,8.5,6,7,5,9.5\r\n张伟,4,3.5,6,3,6\r\n马超,0,0,0,0,1\r\n")

# Rules that give every paper 3.5 points less than the teacher: kappa is about 0.96,
# the verdict must still not say 高度一致.
SHIFT_NAMES = ["赵一", "钱二", "孙三", "李四", "周五", "吴六", "郑七", "王八", "冯九", "陈十",
               "褚十一", "卫十二", "蒋十三", "沈十四", "韩十五", "杨十六", "朱十七", "秦十八",
               "尤十九", "许二十"]


def write_shift_exam(folder):
    words = ["词%02d" % k for k in range(1, 26)]
    rules = "<综合题><分值>50</分值>%s</综合题>\r\n" % "".join(
        "<关键词>%s</关键词>" % w for w in words)
    sheet = "".join("<姓名>\t%s\t</姓名>\r\n<答题文本>\t%s\t</答题文本>\r\n"
                    % (n, "、".join(words[:i + 3])) for i, n in enumerate(SHIFT_NAMES))
    marks = "姓名,第1题\r\n" + "".join("%s,%s\r\n" % (n, 2 * (i + 3) + 3.5)
                                        for i, n in enumerate(SHIFT_NAMES))
    (folder / "参数设置.txt").write_bytes(rules.encode("gbk"))
    (folder / "学生答题文本.txt").write_bytes(sheet.encode("gbk"))
    (folder / "教师评分.csv").write_bytes(marks.encode("gbk"))


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


def check_width(browser, width, what):
    """At `width` pixels: no sideways scroll of the page (wide tables and charts scroll
    in their own box), chart texts at least 10 px, keyword cells not squeezed."""
    browser.page("Emulation.setDeviceMetricsOverride",
                 {"width": width, "height": 800, "deviceScaleFactor": 1,
                  "mobile": width < 600})
    wide = browser.run("""(function(){var w=document.documentElement.clientWidth,out=[];
      if (document.documentElement.scrollWidth > w) out.push('page ' +
          document.documentElement.scrollWidth);
      Array.prototype.forEach.call(document.querySelectorAll('body *'), function(e){
        var r=e.getBoundingClientRect();
        if (r.width===0 || r.right <= w + 1) return;
        for (var a=e.parentElement; a; a=a.parentElement) {
          var o=getComputedStyle(a).overflowX;
          if ((o==='auto'||o==='scroll') && a.getBoundingClientRect().right <= w + 1) return;
        }
        out.push(e.tagName + '.' + e.className + ' ' + Math.round(r.right));
      });
      return out.slice(0, 10);})()""")
    check(not wide, "%s: wider than the screen: %s" % (what, wide))
    small = browser.run("""Array.prototype.map.call(document.querySelectorAll('svg.chart'),
      function(svg){var scale=svg.getBoundingClientRect().width/svg.viewBox.baseVal.width;
        return Math.min.apply(null, Array.prototype.map.call(svg.querySelectorAll('text'),
          function(t){return parseFloat(getComputedStyle(t).fontSize)*scale;}));})""")
    check(all(size >= 9.99 for size in small), "%s: chart texts %s px" % (what, small))
    squeezed = browser.run("""Math.min.apply(null, Array.prototype.map.call(
      document.querySelectorAll('td.kw'), function(c){
        return c.getBoundingClientRect().width / parseFloat(getComputedStyle(c).fontSize);}))""")
    check(squeezed >= 5, "%s: keyword cells %.1f characters wide" % (what, squeezed))


def check_demo(browser, page, papers, artifacts):
    browser.open(page.as_uri())
    check(browser.run("document.title").startswith("阅卷分析 demo "),
          "title: %s" % browser.run("document.title"))
    check(browser.run("document.querySelector('h1').textContent") == "阅卷分析 · demo",
          "heading: %s" % browser.run("document.querySelector('h1').textContent"))
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
    # 需要复核: the blank paper, the answer with content that scored 0, the misspelt name
    # with the name it means; a link opens the paper's row.
    review = browser.run("document.getElementById('review').textContent")
    for said in ("空白试卷（1）", "杨帆：没有作答任何题目", "有内容却得 0 分",
                 "马超：第1题：", "王晓明：答题文本里没有这个姓名；是不是“王小明”？",
                 "与教师评分相差最大"):
        check(said in review, "需要复核 lacks %r: %s" % (said, review[:600]))
    browser.click("#review a.paper[href='#p12']")
    browser.wait_until("(function(){var r=document.getElementById('p12');"
                       "return r.querySelector('details').open && r.nextElementSibling"
                       ".className==='explained';})()", "the link did not open 马超's row")
    check(browser.run("location.hash") == "#p12", "location %s" % browser.run("location.hash"))
    # The verdict comes first in the check, in plain words.
    verdict = browser.run("document.querySelector('#check .verdict').textContent")
    check(verdict.startswith("规则平均比您") and "结论：" in verdict, "verdict: %s" % verdict)
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
    # Each answer stands under its explanation, the wordings that scored marked.
    wang = browser.run("""(function(){var r=document.getElementById('p0');
      r.querySelector('details').open=true; return true;})()""")
    browser.wait_until("document.getElementById('p0').nextElementSibling.className"
                       "==='explained'", "王小明's row did not open")
    opened = browser.run("""(function(){var x=document.getElementById('p0').nextElementSibling;
      return [x.querySelector('.answer').textContent,
              Array.prototype.map.call(x.querySelectorAll('.answer')[0]
                .querySelectorAll('mark'), function(m){return m.textContent;})];})()""")
    check(wang and opened[0].startswith("光合作用是绿色植物通过叶绿体，利用光能"),
          "王小明's first answer: %s" % opened[0][:40])
    check({"二氧化碳", "水", "有机物", "氧气", "光照", "叶绿体"} <= set(opened[1]),
          "marked wordings: %s" % opened[1])


    check_width(browser, 1366, "1366 px")
    check_width(browser, 390, "390 px")
    browser.page("Emulation.setDeviceMetricsOverride",
                 {"width": 390, "height": 844, "deviceScaleFactor": 1, "mobile": True})
    shot = browser.page("Page.captureScreenshot", {"format": "png"})["data"]
    (artifacts / "analysis_page_demo_390.png").write_bytes(base64.b64decode(shot))
    browser.page("Emulation.clearDeviceMetricsOverride")

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
    # No ▶ before the names, no ↕ ▲ ▼ after the heads on paper.
    marks = browser.run("""[getComputedStyle(document.querySelector('summary')).listStyleType,
      getComputedStyle(document.querySelector('#student-table th'), '::after').content]""")
    check(marks[0] == "none" and marks[1] in ('""', "none", "normal"),
          "marks printed: %s" % marks)
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
          == 3, "markup appeared after opening the rows")
    answers = browser.run("Array.prototype.map.call(document.querySelectorAll("
                          "'tr.explained .answer'),function(a){return a.textContent;})"
                          ".join('\\n')")
    check(HOSTILE_KEYWORD in answers and "</textarea>细胞核" in answers,
          "answers: %s" % answers)
    check(browser.run("typeof window.pwned") == "undefined" and
          browser.run("document.title") == title, "a hostile text ran after opening")
    check(not browser.problems(), "dialogs or script errors: %s" % browser.problems())


def check_shift(browser, page):
    """Kappa high, the mean difference large: the verdict says what a teacher feels."""
    browser.open(page.as_uri())
    verdict = browser.run("document.querySelector('#check .verdict').textContent")
    check(verdict.startswith("规则平均比您少给 3.5 分；20 份中 20 份相差超过 1 分，") and
          "加权 kappa = 0.96" in verdict and "结论：一般（平均差偏大" in verdict and
          "高度一致" not in verdict, "verdict: %s" % verdict)
    check(not browser.problems(), "problems: %s" % browser.problems())


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
        (demo / "教师评分.csv").write_bytes(DEMO_MARKS.encode("gbk"))
        papers = (demo / "学生答题文本.txt").read_bytes().decode("gbk").count("<姓名>\t")
        demo_page = grade(program_dir, demo, "--order", DEMO_ORDER)
        shift = work / "shift"
        shift.mkdir()
        write_shift_exam(shift)
        shift_page = grade(program_dir, shift)
        hostile = work / "hostile"
        hostile.mkdir()
        write_hostile_exam(hostile)
        hostile_page = grade(program_dir, hostile)

        browser = Browser(chromium, str(work / "profile"))
        try:
            check_demo(browser, demo_page, papers, artifacts)
            check_shift(browser, shift_page)
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
