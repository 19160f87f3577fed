'use strict';
// The page follows the timing program: a snapshot first, then the small changes pushed on
// the WebSocket. Without the WebSocket it polls the snapshot and keeps trying to reconnect.
(function () {
  var state = null;
  var socket = null;
  var pollTimer = null;
  var retryDelay = 1000;
  var HEAD_FIELDS = ['event', 'series', 'heatLabel', 'heat', 'clock', 'stateText', 'standingsLabel',
    'classificationLabel', 'fastestLabel', 'fastestTime', 'fastestName'];

  function byId(id) { return document.getElementById(id); }

  function setText(element, text) {
    if (element.textContent !== text) { element.textContent = text; }
  }

  function renderHead() {
    var head = state.head;
    HEAD_FIELDS.forEach(function (name) { setText(byId(name), head[name] || ''); });
    if (head.lang) { document.documentElement.lang = head.lang; }
    document.title = (head.event ? head.event + ' - ' : '') + (head.title || 'Cronovolta');
    byId('fastest').hidden = !head.fastestTime;
    byId('offline').textContent = head.offlineLabel || '';
  }

  function renderTable(id, table) {
    var element = byId(id);
    var head = element.tHead;
    var body = element.tBodies[0];
    var align = table.align || '';
    var headRow = head.rows[0] || head.insertRow();
    while (headRow.cells.length > table.columns.length) { headRow.deleteCell(-1); }
    table.columns.forEach(function (title, c) {
      var cell = headRow.cells[c] || headRow.appendChild(document.createElement('th'));
      cell.className = align.charAt(c) || 'l';
      setText(cell, title);
    });
    while (body.rows.length > table.rows.length) { body.deleteRow(-1); }
    table.rows.forEach(function (cells, r) {
      var row = body.rows[r] || body.insertRow();
      while (row.cells.length > cells.length) { row.deleteCell(-1); }
      cells.forEach(function (text, c) {
        var cell = row.cells[c] || row.insertCell();
        cell.className = align.charAt(c) || 'l';
        setText(cell, text);
      });
    });
  }

  function render() {
    renderHead();
    var running = state.head.state === 'running' || state.head.state === 'paused';
    byId('liveSection').hidden = state.standings.rows.length === 0;
    renderTable('standings', state.standings);
    byId('classificationSection').hidden = running || state.classification.rows.length === 0;
    renderTable('classification', state.classification);
  }

  function applyChange(change) {
    var name;
    for (name in change.head || {}) { state.head[name] = change.head[name]; }
    var s = change.standings;
    if (s) {
      if (s.columns) { state.standings.columns = s.columns; state.standings.align = s.align; }
      state.standings.rows.length = Math.min(state.standings.rows.length, s.count);
      s.rows.forEach(function (entry) { state.standings.rows[entry[0]] = entry[1]; });
    }
    if (change.classification) { state.classification = change.classification; }
    state.v = change.v;
  }

  function receive(message) {
    if (message.type === 'snapshot') {
      state = message;
    } else if (message.type === 'change' && state && message.base === state.v) {
      applyChange(message);
    } else {
      poll();
      return;
    }
    render();
  }

  function poll() {
    fetch('/api/live', { cache: 'no-store' })
      .then(function (response) { return response.json(); })
      .then(function (snapshot) { receive(snapshot); })
      .catch(function () { /* the program is away; the next poll tries again */ });
  }

  function offline(on) {
    byId('offline').hidden = !on;
    if (on && !pollTimer) {
      pollTimer = setInterval(poll, 2000);
    } else if (!on && pollTimer) {
      clearInterval(pollTimer);
      pollTimer = null;
    }
  }

  function connect() {
    var scheme = location.protocol === 'https:' ? 'wss://' : 'ws://';
    try {
      socket = new WebSocket(scheme + location.host + '/ws');
    } catch (e) {
      offline(true);
      return;
    }
    socket.onopen = function () { retryDelay = 1000; offline(false); };
    socket.onmessage = function (event) {
      try { receive(JSON.parse(event.data)); } catch (e) { poll(); }
    };
    socket.onclose = function () {
      socket = null;
      offline(true);
      setTimeout(connect, retryDelay);
      retryDelay = Math.min(retryDelay * 2, 10000);
    };
  }

  poll();
  connect();
})();
