// What a reload of the database came to, for the windows that show it afterwards.
#pragma once

enum class Reopened {
  takenUp,       // a file was opened and taken up: the caller shows it afresh
  keptOpenFile,  // the file that was open stays, as it was: nothing changed
  closing,       // no file to go on with, or no user to study as: the caller closes
};
