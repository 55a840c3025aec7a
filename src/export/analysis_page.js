// The analysis page's script: sorts the students' table by a clicked column head, puts
// a student's explanations and answers (the wordings that scored marked) in a row
// below theirs when the row is opened, and opens the row a 需要复核 link points to.
// Texts go in as text nodes, never as markup.
(function () {
  'use strict';
  document.documentElement.className += ' js';
  var table = document.getElementById('student-table');
  if (!table) return;
  var body = table.tBodies[0], heads = table.tHead.rows[0].cells;
  var rows = Array.prototype.slice.call(body.rows);
  rows.forEach(function (row, i) { row.sheetIndex = i; });
  var collator = window.Intl ? new Intl.Collator('zh-Hans-CN-u-co-pinyin') : null;
  function sortBy(col) {
    var th = heads[col], numeric = th.getAttribute('data-type') === 'number';
    var current = th.getAttribute('aria-sort');
    var dir = current ? (current === 'ascending' ? -1 : 1)
                      : (th.getAttribute('data-first') === 'descending' ? -1 : 1);
    var keys = rows.map(function (row) {
      var text = row.cells[col].textContent;
      return numeric ? Number(text) : text;
    });
    var order = rows.map(function (row, i) { return i; });
    order.sort(function (a, b) {
      var x = keys[a], y = keys[b];
      var c = numeric ? x - y : (collator ? collator.compare(x, y) : (x < y ? -1 : x > y ? 1 : 0));
      return c * dir || rows[a].sheetIndex - rows[b].sheetIndex;
    });
    var fragment = document.createDocumentFragment();
    order.forEach(function (i) {
      fragment.appendChild(rows[i]);
      if (rows[i].explained) fragment.appendChild(rows[i].explained);
    });
    body.appendChild(fragment);
    Array.prototype.forEach.call(heads, function (h) { h.removeAttribute('aria-sort'); });
    th.setAttribute('aria-sort', dir > 0 ? 'ascending' : 'descending');
  }
  Array.prototype.forEach.call(heads, function (th, col) {
    th.tabIndex = 0;
    th.addEventListener('click', function () { sortBy(col); });
    th.addEventListener('keydown', function (e) {
      if (e.key === 'Enter' || e.key === ' ') { e.preventDefault(); sortBy(col); }
    });
  });
  var texts = null, answers;
  function data(id) {
    var element = document.getElementById(id);
    return element ? JSON.parse(element.textContent) : null;
  }
  // A question's answer: [note, plain, marked, plain, …]; the marked parts are the
  // wordings that scored.
  function answerBlock(parts) {
    var block = document.createElement('div');
    block.className = 'answer';
    for (var i = 1; i < parts.length; i++) {
      if (!parts[i]) continue;
      var piece = i % 2 ? document.createTextNode(parts[i]) : document.createElement('mark');
      if (!(i % 2)) piece.textContent = parts[i];
      block.appendChild(piece);
    }
    if (parts[0]) {
      var cut = document.createElement('span');
      cut.className = 'cut';
      cut.textContent = parts[0];
      block.appendChild(cut);
    }
    return block;
  }
  table.addEventListener('toggle', function (e) {
    var details = e.target, row = details.parentNode && details.parentNode.parentNode;
    if (!row || !row.hasAttribute('data-e')) return;
    if (!row.explained) {
      if (!texts) {
        texts = data('explanations');
        answers = data('answers');
      }
      var mine = answers ? answers[Number(row.id.slice(1))] : null;
      var list = document.createElement('ol');
      // Each question's explanation: the indexes of its head and its body.
      row.getAttribute('data-e').split(' ').forEach(function (pair, q) {
        var item = document.createElement('li'), why = document.createElement('div');
        var index = pair.split('.');
        why.className = 'why';
        why.textContent = texts.heads[q][Number(index[0])] + texts.bodies[q][Number(index[1])];
        item.appendChild(why);
        if (mine && mine[q] && mine[q].join('')) item.appendChild(answerBlock(mine[q]));
        list.appendChild(item);
      });
      var extra = document.createElement('tr'), cell = document.createElement('td');
      var box = document.createElement('div');
      extra.className = 'explained';
      cell.colSpan = heads.length;
      box.appendChild(list);
      cell.appendChild(box);
      extra.appendChild(cell);
      row.explained = extra;
      body.insertBefore(extra, row.nextSibling);
    }
    row.explained.hidden = !details.open;
  }, true);
  // A link to a paper (需要复核) opens its row and brings it into view.
  function openPaper(id) {
    var row = document.getElementById(id);
    if (!row || !row.hasAttribute('data-e')) return false;
    var details = row.querySelector('details');
    if (details && !details.open) details.open = true;
    row.scrollIntoView({block: 'start'});
    return true;
  }
  document.addEventListener('click', function (e) {
    var link = e.target.closest ? e.target.closest('a.paper') : null;
    if (link && openPaper(link.getAttribute('href').slice(1))) {
      e.preventDefault();
      if (history.replaceState) history.replaceState(null, '', link.getAttribute('href'));
    }
  });
  if (location.hash) openPaper(location.hash.slice(1));
})();
