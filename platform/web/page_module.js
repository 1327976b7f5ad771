// The page's side of the program, run before it starts: where its output
// goes, the sentence for a browser without WebGL, and the end of the program.
// Without WebGL the program does not start: that is said on the page, and is
// no error of the page's.
(function() {
  var probe = document.createElement('canvas');
  if (!probe.getContext('webgl')) {
    document.getElementById('note').textContent =
      'Quorvale needs WebGL, which this browser does not offer or has switched off.';
    document.getElementById('canvas').style.display = 'none';
    document.getElementById('touch-controls').style.display = 'none';
    Module['noInitialRun'] = true;
  }
})();

Module['canvas'] = document.getElementById('canvas');
Module['print'] = function(text) { console.log(text); };
Module['printErr'] = function(text) { console.error(text); };

// exit(), or an error that stops the program: stop the tick, the frames and
// the event handlers, give the pointer back and say so on the page. A reload
// starts the program again. The exception thrown ends the program's current
// task; the page's tasks catch it (an ExitStatus) as a normal end.
Module['quit'] = function(status, toThrow) {
  ABORT = true;
  if (typeof JSEvents != 'undefined') JSEvents.removeAllEventListeners();
  if (document.exitPointerLock) document.exitPointerLock();
  var menu = document.getElementById('quorvale-menu');
  if (menu) menu.style.display = 'none';
  document.getElementById('canvas').style.display = 'none';
  document.getElementById('touch-controls').style.display = 'none';
  document.getElementById('note').textContent = status === 0
    ? 'Quorvale has ended. Reload the page to start it again.'
    : 'Quorvale stopped on an error (the console tells which). Reload the page to start it again.';
  document.title = 'Quorvale 1 (ended)';
  throw toThrow;
};
