// The program's exit status: what a script or a desktop shortcut that started it learns of the
// run. Each failure has a code of its own; listed in the README.
#pragma once

enum ExitCode : int {
  // A normal end, and every end the user chose (a cancelled dialog, a cancelled study).
  ExitNormal = 0,
  // The database could not be opened, and the user gave up choosing another.
  ExitDatabaseNotOpened = 1,
  // The command line was refused.
  ExitOptionsRefused = 2,
  // The problem set the command line names does not exist.
  ExitSetNotFound = 3,
  // A study of the run could not be saved.
  ExitStudyNotSaved = 4,
  // The run stopped because the data it needs could not be read or written: the settings or the
  // database's users at start-up, the problem set the main window opens on, or the problem set of
  // the command line and what its study reads: its history's ids, the database for the study
  // window, its questions (another program holds the database, the disk is full, the file
  // refuses the user).
  ExitDataUnusable = 5,
};
