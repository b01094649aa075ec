// The game's data package: its files and the fonts, in one file that vunt-web writes. Layout:
// "VUNTPAK1", the index's length (4 bytes, little-endian), the index (JSON: the game's folder
// name and each file's path and size), then the files' bytes in the index's order. It is read
// before main() starts, into /games/NAME and /fonts; a package that does not hold together is
// reported and the game does not start.
Module['preRun'] = Module['preRun'] || [];
Module['preRun'].push(function () {
  addRunDependency('vunt-package');
  var source = Module['vuntPackage'];
  var bytes = typeof source === 'string'
      ? fetch(source).then(function (r) {
          if (!r.ok) throw new Error('the game\'s data package ' + source + ' could not be loaded (' + r.status + ')');
          return r.arrayBuffer();
        })
      : Promise.resolve(source);
  bytes.then(function (buffer) {
    var files = vuntUnpack(new Uint8Array(buffer));
    files.forEach(function (f) {
      var dir = f.path.substring(0, f.path.lastIndexOf('/'));
      FS.mkdirTree(dir);
      FS.writeFile(f.path, f.bytes);
    });
    // The game's folder is read-only, as an installed game's is: its saves go to /persist.
    FS.chmod('/games/' + Module['vuntGame'], 365 /* 0555 */);
    removeRunDependency('vunt-package');
  }).catch(function (e) {
    if (Module['vuntFailed']) Module['vuntFailed'](e.message || String(e));
    else console.error('vunt: ' + e);
  });
});

function vuntUnpack(data) {
  var damaged = function (why) { return new Error('the game\'s data package is damaged: ' + why); };
  var magic = 'VUNTPAK1';
  if (data.length < 12 || new TextDecoder().decode(data.subarray(0, 8)) !== magic) throw damaged('not a Vunt package');
  var indexLength = (data[8] | (data[9] << 8) | (data[10] << 16) | (data[11] << 24)) >>> 0;
  if (indexLength > data.length - 12) throw damaged('its index runs past its end');
  var index;
  try { index = JSON.parse(new TextDecoder('utf-8', { fatal: true }).decode(data.subarray(12, 12 + indexLength))); }
  catch (e) { throw damaged('its index cannot be read'); }
  if (!index || index.game !== Module['vuntGame'] || !Array.isArray(index.files))
    throw damaged('it is not the package of the game ' + Module['vuntGame']);
  var at = 12 + indexLength, files = [];
  index.files.forEach(function (f) {
    // Only the game's folder and the fonts' may be written, and no name may climb out of them.
    var ok = f && typeof f.path === 'string' && Number.isInteger(f.size) && f.size >= 0 &&
             /^(games\/[^/]+|fonts)\/[^/]+$/.test(f.path) && f.path.split('/').every(function (p) { return p !== '..' && p !== '.'; }) &&
             (f.path.indexOf('games/') !== 0 || f.path.split('/')[1] === index.game);
    if (!ok) throw damaged('a file of its index has no proper name or size');
    if (f.size > data.length - at) throw damaged(f.path + ' runs past its end');
    files.push({ path: '/' + f.path, bytes: data.subarray(at, at + f.size) });
    at += f.size;
  });
  if (at !== data.length) throw damaged('it holds ' + (data.length - at) + ' bytes more than its index names');
  return files;
}
