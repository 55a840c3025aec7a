// The analysis page's script: sorts the students' table by a clicked column head and
// puts a student's explanations in a row below theirs when the row is opened. Texts
// go in as text nodes, never as markup.
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
  var texts = null;
  table.addEventListener('toggle', function (e) {
    var details = e.target, row = details.parentNode && details.parentNode.parentNode;
    if (!row || !row.hasAttribute('data-e')) return;
    if (!row.explained) {
      if (!texts) texts = JSON.parse(document.getElementById('explanations').textContent);
      var list = document.createElement('ol');
      row.getAttribute('data-e').split(' ').forEach(function (index, q) {
        var item = document.createElement('li');
        item.textContent = texts[q][Number(index)];
        list.appendChild(item);
      });
      var extra = document.createElement('tr'), cell = document.createElement('td');
      extra.className = 'explained';
      cell.colSpan = heads.length;
      cell.appendChild(list);
      extra.appendChild(cell);
      row.explained = extra;
      body.insertBefore(extra, row.nextSibling);
    }
    row.explained.hidden = !details.open;
  }, true);
})();
