#pragma once
// Tells the page that a file the game keeps (the save, the settings) was written. In a browser the
// files live in memory and reach the browser's storage (IndexedDB) only when the page copies them
// there; elsewhere the disk already holds them and this does nothing.
namespace vunt {
void fileWritten();
}
