// Under Node.js the engine reads the real file system; it sees the real environment too (HOME and
// XDG_* for its data folders, VUNT_FONT_DIR for the fonts), as the desktop program does.
Module['preRun'] = Module['preRun'] || [];
Module['preRun'].push(function () {
  for (var name in process.env) ENV[name] = process.env[name];
});
