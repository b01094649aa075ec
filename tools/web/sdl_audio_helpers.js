// SDL 2.26's audio code calls autoResumeAudioContext and dynCall from its inline JavaScript, which
// emscripten 3.1.6 links only when something names them: without them every audio callback fails
// and the page stays silent. This library names them.
mergeInto(LibraryManager.library, {
  vunt_sdl_audio_helpers__deps: ['$autoResumeAudioContext', '$dynCall'],
  vunt_sdl_audio_helpers: function () {},
});
