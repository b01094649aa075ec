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
    if (err) vuntStorageProblem('the save could not be written to the browser\'s storage');
    if (vuntSyncAgain) { vuntSyncAgain = false; Module['vuntFileWritten'](); return; }
    if (Module['vuntStored']) Module['vuntStored'](!err);
  });
};

// The folder name the engine gives a game's saves: the game folder's name, '-', and 8 hex digits
// of the FNV-1a hash of its path, folded to 32 bits.
Module['vuntSaveFolder'] = function (gameDir) {
  // (BigInt() rather than literals: emscripten's minifier cannot print those.)
  var h = BigInt('14695981039346656037'), prime = BigInt('1099511628211');
  var mask = (BigInt(1) << BigInt(64)) - BigInt(1);
  var bytes = new TextEncoder().encode(gameDir);
  for (var i = 0; i < bytes.length; ++i) h = ((h ^ BigInt(bytes[i])) * prime) & mask;
  var folded = (h ^ (h >> BigInt(32))) & BigInt(0xffffffff);
  return gameDir.split('/').pop() + '-' + folded.toString(16).padStart(8, '0');
};
Module['vuntSavePath'] = function (gameDir) {
  return '/persist/data/vunt/' + Module['vuntSaveFolder'](gameDir) + '/VUNT.DAT';
};
