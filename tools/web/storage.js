// The page's lasting files. The saves ($XDG_DATA_HOME) and the settings ($XDG_CONFIG_HOME) live
// under /persist, a file system kept in the browser's IndexedDB: read into memory before main()
// starts, written back after every file the game writes (the engine calls vuntFileWritten).
Module['preRun'] = Module['preRun'] || [];
Module['preRun'].push(function () {
  FS.mkdir('/persist');
  ENV['XDG_DATA_HOME'] = '/persist/data';
  ENV['XDG_CONFIG_HOME'] = '/persist/config';
  try {
    FS.mount(IDBFS, {}, '/persist');
  } catch (e) {
    // Without IndexedDB (some private modes) the files last as long as the page.
    vuntStorageProblem('the browser keeps no storage for this page: saves last until it is closed');
    return;
  }
  addRunDependency('vunt-persist');
  FS.syncfs(true, function (err) {
    if (err) vuntStorageProblem('the saved files could not be read from the browser\'s storage');
    removeRunDependency('vunt-persist');
  });
});

function vuntStorageProblem(text) {
  console.warn('vunt: ' + text);
  if (Module['vuntNotice']) Module['vuntNotice'](text);
}

// One write-back at a time; files written meanwhile go with the next.
var vuntSyncing = false, vuntSyncAgain = false;
Module['vuntFileWritten'] = function () {
  if (vuntSyncing) { vuntSyncAgain = true; return; }
  vuntSyncing = true;
  FS.syncfs(false, function (err) {
    vuntSyncing = false;
    if (err) vuntStorageProblem('the save could not be written to the browser\'s storage (' + (err.message || err) + ')');
    if (vuntSyncAgain) { vuntSyncAgain = false; Module['vuntFileWritten'](); return; }
    if (Module['vuntStored']) Module['vuntStored'](!err);
  });
};

// Calls a function of the engine's (src/web/saves_bridge.cpp) that takes strings and answers one.
function vuntCall(name, args) {
  var pointers = args.map(function (a) { return allocateUTF8(a); });
  try { return UTF8ToString(Module['_' + name].apply(null, pointers)); }
  finally { pointers.forEach(function (p) { _free(p); }); }
}

// The game's saves as one file, read and put together by the engine: { bytes } or { error }.
Module['vuntExportSaves'] = function (gameDir) {
  var path = '/tmp/vunt-export';
  var error = vuntCall('vunt_export_saves', [gameDir, path]);
  if (error) return { error: error };
  var bytes = FS.readFile(path);
  FS.unlink(path);
  return { bytes: bytes };
};

// A file the player picked (the saves file, or one save or slot by its name), checked by the
// engine as LOAD checks it and written only when all of it is good; then kept in IndexedDB.
// Answers "" or why nothing was taken.
Module['vuntImportSaves'] = function (gameDir, name, bytes) {
  var path = '/tmp/vunt-import';
  FS.writeFile(path, bytes);
  var error;
  try { error = vuntCall('vunt_import_saves', [gameDir, name, path]); }
  finally { FS.unlink(path); }
  if (!error) Module['vuntFileWritten']();
  return error;
};
