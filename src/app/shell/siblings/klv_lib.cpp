// libKlvLib.so: brings files of an older installation up to date before the first user is made.
// No older installation of the program exists on this platform, so there is never anything to do.

// 0 and 1 both mean success to the caller.
extern "C" __attribute__((visibility("default"))) int UpdateOldFiles(int, int, int) { return 0; }
