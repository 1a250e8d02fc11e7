// Runs inside the program's module before start-up. The save folder (settings,
// log, scores, screenshots, replays) lives in the browser's IndexedDB: it is
// mounted at /save and read in before the program starts, and written back
// whenever the program says a file there changed.
Module.preRun = (Module.preRun || []).concat(function () {
  FS.mkdir('/save');
  FS.mount(IDBFS, {}, '/save');
  addRunDependency('save-folder');
  FS.syncfs(true, function (error) {
    // Without IndexedDB (a private window, say) the game plays on, saving in memory.
    if (error) console.warn('The saved games could not be read: ' + error);
    removeRunDependency('save-folder');
  });
});

// One write-back at a time; changes during one are written by one more after it.
(function () {
  var running = false, again = false;
  function run() {
    running = true;
    again = false;
    FS.syncfs(false, function (error) {
      if (error) console.warn('The save folder could not be stored: ' + error);
      running = false;
      if (again) run();
    });
  }
  Module.saveFolderChanged = function () {
    if (running) again = true;
    else run();
  };
  Module.saveFolderBusy = function () { return running || again; };
})();

// A file of the save folder handed to the player as a download.
Module.offerDownload = function (path, name) {
  var url = URL.createObjectURL(new Blob([FS.readFile(path)], { type: 'application/octet-stream' }));
  var link = document.createElement('a');
  link.href = url;
  link.download = name;
  document.body.appendChild(link);
  link.click();
  setTimeout(function () { URL.revokeObjectURL(url); link.remove(); }, 1000);
};

// The leaderboard server marks the page it serves: then each game's replay is
// posted to it, this page's own origin. Served by anything else the page sends
// nothing; no address ever comes from the query string.
Module.leaderboardOrigin = document.querySelector('meta[name="puffwick-leaderboard"]') ? location.origin : '';

// "?replay=ID" on a page served by the leaderboard server: the page plays that
// stored replay in the canvas (the program's --replay), fetched from the same server;
// with "&headless" it checks it as fast as it can, as the server does.
(function () {
  var m = /[?&]replay=(\d{1,18})(&|$)/.exec(location.search);
  if (!m) return;
  Module.arguments = ['--replay', '/watched-replay.txt'];
  if (/[?&]headless(&|$)/.test(location.search)) Module.arguments.push('--headless');
  Module.preRun = (Module.preRun || []).concat(function () {
    addRunDependency('replay');
    fetch('/api/v1/replays/' + m[1]).then(function (answer) {
      if (!answer.ok) throw new Error('the server answered ' + answer.status);
      return answer.arrayBuffer();
    }).then(function (bytes) {
      FS.writeFile('/watched-replay.txt', new Uint8Array(bytes));
    }).catch(function (error) {
      // The program reports the missing file as the replay's result.
      console.warn('The replay could not be fetched: ' + error);
    }).finally(function () { removeRunDependency('replay'); });
  });
})();
